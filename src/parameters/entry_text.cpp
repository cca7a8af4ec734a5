#include "parameters/entry_text.h"

namespace kvn {

QString TrimEntry(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text.at(first).unicode() <= 32) ++first;
  while (last > first && text.at(last - 1).unicode() <= 32) --last;
  return text.mid(first, last - first);
}

bool TextKeyPasses(QChar key) {
  const char16_t code = key.unicode();
  return code >= 32 && code <= 126 && code != u'|';
}

}  // namespace kvn

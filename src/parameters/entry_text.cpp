#include "parameters/entry_text.h"

#include "parameters/parameter_table.h"
#include "texts/texts.h"
#include "texts/tr_context.h"

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

namespace {
KVN_TR_CONTEXT(kvn::EntryText)
enum Msg { kMsgTooLong = 3, kMsgTooLongEnd = 4, kMsgPasswordMissing = 60 };
}  // namespace

QString NewPasswordProblem(const QString& typed, const Texts& texts) {
  const QString entered = TrimEntry(typed);
  const int longest = FindParameter("txt_password")->detail;
  if (entered.isEmpty()) return texts.GetMessageText(kMsgPasswordMissing);
  if (entered.size() > longest)
    return texts.GetMessageText(kMsgTooLong) + QString::number(longest) + texts.GetMessageText(kMsgTooLongEnd);
  for (const QChar c : entered)
    if (!TextKeyPasses(c)) return Tr("the new password holds a character the password field does not take: %1").arg(c);
  return {};
}

}  // namespace kvn

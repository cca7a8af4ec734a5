#pragma once
#include <QCoreApplication>
#include <QString>

namespace kvn {

// The translation of a text beyond the text table, written in a file whose texts belong to
// `context` (the name of the file's class, "kvn::DeviceBackup"). lupdate, told to read Tr as
// tr, files a text under the class of the function it is written in, or under "kvn" when that
// function belongs to no class: both are looked up, the file's own context first.
inline QString TranslateIn(const char* context, const char* text) {
  const QString own = QCoreApplication::translate(context, text);
  if (own != QString::fromUtf8(text)) return own;
  return QCoreApplication::translate("kvn", text);
}

}  // namespace kvn

// KVN_TR_CONTEXT(kvn::Name) defines the file-local Tr(text) of a file whose texts belong to
// kvn::Name (hidden from lupdate, which reads only the calls).
#define KVN_TR_CONTEXT(context) \
  QString Tr(const char* text) { return ::kvn::TranslateIn(#context, text); }

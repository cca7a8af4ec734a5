#include "texts/texts.h"

namespace kvn {

namespace {

QString UnknownIndexText() { return QStringLiteral("text index unknown..."); }
QString LineBreak() { return QStringLiteral("\r\n"); }

}  // namespace

QString ExpandLines(const QString& text) {
  const qsizetype bars = text.count(QLatin1Char('|'));
  QString result = text;
  result.replace(QLatin1Char('|'), LineBreak());
  // Long balloon and box texts get extra room at the bottom: one more line per three breaks.
  for (qsizetype i = 0; i < bars / 3; ++i) result += LineBreak();
  return result;
}

std::pair<QString, QString> NextField(const QString& list) {
  const qsizetype bar = list.indexOf(QLatin1Char('|'));
  if (bar < 0) return {list, QString()};
  return {list.left(bar), list.mid(bar + 1)};
}

const TextEntry* MainWindowLabelRow(const QString& key) {
  for (const TextEntry& entry : TextTable) {
    if (entry.kind == TextKind::Label && entry.number == 0 && key == QLatin1String(entry.key))
      return &entry;
  }
  return nullptr;
}

QString IndentedCaption(const QString& key, const QString& caption) {
  const TextEntry* row = MainWindowLabelRow(key);
  return row != nullptr ? IndentedCaption(*row, caption) : caption;
}

QString IndentedCaption(const TextEntry& row, const QString& caption) {
  return row.indent == 1 ? QStringLiteral("  ") + caption : caption;
}

Texts::Texts() : CurrentTexts(kTextRowCount) {}

void Texts::FillFromDefaults() {
  for (int row = 0; row < kTextRowCount; ++row) {
    const TextEntry& entry = TextTable[row];
    CurrentTexts[row] =
        QString::fromUtf8(entry.default_text) + QString::fromUtf8(entry.extra_text);
  }
}

QString Texts::TextOfFamily(TextKind kind, int index) const {
  for (int row = 0; row < kTextRowCount; ++row) {
    const TextEntry& entry = TextTable[row];
    if (entry.kind == kind && entry.number == index) return CurrentTexts.value(row);
  }
  return UnknownIndexText();
}

QString Texts::GetMessageText(int index) const {
  return ExpandLines(TextOfFamily(TextKind::Message, index));
}

QString Texts::GetErrorText(int index) const { return TextOfFamily(TextKind::ErrorText, index); }

QString Texts::GetReportText(int index) const { return TextOfFamily(TextKind::ReportText, index); }

QString Texts::GetEventText(int index) const { return TextOfFamily(TextKind::EventText, index); }

QString Texts::GetTextByKey(const QString& key) const {
  for (int row = 0; row < kTextRowCount; ++row) {
    if (key == QLatin1String(TextTable[row].key)) return CurrentTexts.value(row);
  }
  return QString();
}

}  // namespace kvn

#include "parameters/form/key_filters.h"

namespace kvn {

namespace {

// Numeric fields hold at most 11 characters: the 12th key is refused while typing.
constexpr qsizetype kMaxTypedNumberLength = 10;

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool TooLongForMore(const QString& fieldText) {
  return TrimEntry(fieldText).size() > kMaxTypedNumberLength;
}

}  // namespace

KeyFilterKind KeyFilterFor(const ParameterDescriptor& row) {
  switch (row.fieldType) {
    case FieldType::Text:
    case FieldType::Password: return KeyFilterKind::Text;
    case FieldType::Int16: return row.detail <= 0 ? KeyFilterKind::Integer : KeyFilterKind::Number;
    case FieldType::Int32:
    case FieldType::Float:
    case FieldType::OffsetLevel: return KeyFilterKind::Number;
    default: return KeyFilterKind::None;
  }
}

bool FilterNumericKey(QChar key, const QString& currentText, QChar decimalSeparator) {
  if (key.unicode() < 32) return true;
  if (IsDigit(key)) return true;
  if (key == QLatin1Char('-')) return false;
  if (key == decimalSeparator) return !currentText.contains(decimalSeparator);
  return false;
}

KeyVerdict FilterKey(KeyFilterKind kind, QChar key, const QString& fieldText,
                     QChar decimalSeparator) {
  if (kind == KeyFilterKind::None) return KeyVerdict::Pass;
  switch (key.unicode()) {
    case kKeyEnter: return KeyVerdict::TakeEdit;
    case kKeyEscape: return KeyVerdict::RestoreEntry;
    case kKeyBackspace: return KeyVerdict::Pass;
    default: break;
  }
  switch (kind) {
    case KeyFilterKind::Text: return TextKeyPasses(key) ? KeyVerdict::Pass : KeyVerdict::Discard;
    case KeyFilterKind::Integer:
      if (!IsDigit(key) && key != QLatin1Char('-')) return KeyVerdict::Discard;
      return TooLongForMore(fieldText) ? KeyVerdict::Discard : KeyVerdict::Pass;
    case KeyFilterKind::Number:
      if (TooLongForMore(fieldText)) return KeyVerdict::Discard;
      return FilterNumericKey(key, fieldText, decimalSeparator) ? KeyVerdict::Pass
                                                                : KeyVerdict::Discard;
    case KeyFilterKind::None: break;
  }
  return KeyVerdict::Pass;
}

QString KeptOfPaste(KeyFilterKind kind, const QString& pasted, const QString& fieldText,
                    QChar decimalSeparator) {
  if (kind == KeyFilterKind::None) return pasted;
  QString kept;
  QString after = fieldText;  // where the characters go does not matter to the filters
  for (QChar c : pasted) {
    if (!c.isPrint()) continue;
    if (FilterKey(kind, c, after, decimalSeparator) != KeyVerdict::Pass) continue;
    kept += c;
    after += c;
  }
  return kept;
}

}  // namespace kvn

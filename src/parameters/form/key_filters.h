#pragma once
#include <QChar>
#include <QString>

#include "parameters/entry_text.h"
#include "parameters/parameter_table.h"

namespace kvn {

// The three kinds of edit field, each with its own filter of typed characters.
enum class KeyFilterKind {
  None,     // not an edit field of the parameter table
  Text,     // Text and Password rows (check_key_text)
  Integer,  // Int16 rows without decimals (check_key_int)
  Number,   // every other numeric row (check_key_float)
};

// What happens to one typed character.
enum class KeyVerdict {
  Pass,          // the field inserts it
  Discard,       // dropped as if never typed
  TakeEdit,      // Enter: the entry is checked and stored now
  RestoreEntry,  // Escape: the field shows the text it had when it was entered
};

inline constexpr char16_t kKeyBackspace = 8;
inline constexpr char16_t kKeyEnter = 13;
inline constexpr char16_t kKeyEscape = 27;

// The filter a row's edit field uses.
KeyFilterKind KeyFilterFor(const ParameterDescriptor& row);

// Character test of the number fields: control characters and digits pass, "-" never, the
// decimal separator only while the text has none yet, anything else is dropped.
bool FilterNumericKey(QChar key, const QString& currentText, QChar decimalSeparator);

// The verdict of a field's filter for one character. Enter, Escape and Backspace are the
// characters 13, 27 and 8. Escape restores in every kind of field, also in a number field
// that already holds more than 10 characters.
KeyVerdict FilterKey(KeyFilterKind kind, QChar key, const QString& fieldText,
                     QChar decimalSeparator);

// The characters of a pasted text that the field keeps, judged one at a time by the field's
// filter as if typed in order into fieldText (the field's text without the selection the
// paste replaces). Characters that insert nothing when typed (control characters) are
// dropped in every kind of filtered field.
QString KeptOfPaste(KeyFilterKind kind, const QString& pasted, const QString& fieldText,
                    QChar decimalSeparator);

}  // namespace kvn

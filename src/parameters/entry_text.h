#pragma once
#include <QChar>
#include <QString>

namespace kvn {

// Leading and trailing blanks and control characters removed (every code up to 32).
QString TrimEntry(const QString& text);

// A character a text entry (a device comment, the admin password) may hold: printable ASCII
// but "|", which separates the fields of a record.
bool TextKeyPasses(QChar key);

class Texts;

// What stands against a new admin password, by the rules of the password field, for every
// front end: the first rule it breaks in the current texts (none typed: message 60; too long:
// messages 3 and 4; a character the field does not take), or empty when it may be set.
QString NewPasswordProblem(const QString& typed, const Texts& texts);

}  // namespace kvn

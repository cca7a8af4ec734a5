#pragma once
#include <QChar>
#include <QString>

namespace kvn {

// Leading and trailing blanks and control characters removed (every code up to 32).
QString TrimEntry(const QString& text);

// A character a text entry (a device comment, the admin password) may hold: printable ASCII
// but "|", which separates the fields of a record.
bool TextKeyPasses(QChar key);

}  // namespace kvn

#pragma once
#include <QChar>
#include <QLocale>

namespace kvn {

// The separators the user's locale writes between the fields of a date and of a time of
// day ("/" and ":" where it gives none). The texts of the program that show dates and times
// put these in place of "/" and ":".
struct DateTimeSeparators {
  QChar date = QLatin1Char('/');
  QChar time = QLatin1Char(':');
};
DateTimeSeparators SeparatorsOf(const QLocale& locale);

}  // namespace kvn

#include "texts/locale_separators.h"

namespace kvn {
namespace {

// The first character of a format that is neither a letter, a blank nor a quote.
QChar FirstSeparator(const QString& format, QChar fallback) {
  for (const QChar c : format)
    if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\'')) return c;
  return fallback;
}

}  // namespace

DateTimeSeparators SeparatorsOf(const QLocale& locale) {
  return {FirstSeparator(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/')),
          FirstSeparator(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'))};
}

}  // namespace kvn

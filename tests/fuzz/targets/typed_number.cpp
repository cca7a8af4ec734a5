// A number as the engineer types it into a parameter field: with implied decimals (integer
// fields) or as a single (floating-point fields), with either decimal separator.
#include <cmath>

#include "fuzz/targets/fuzz_property.h"
#include "parameters/value_codec.h"

using namespace kvn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const uint8_t mode = in.Byte();
  const NumberFormat numbers(mode & 1 ? QLatin1Char(',') : QLatin1Char('.'));
  const int decimals = (mode >> 1) % 7;
  const QString text = QString::fromUtf8(in.Rest());

  // A value taken prints as a text that is taken as the same value, with no blanks and at most
  // one separator.
  if (const ScaledValue v = numbers.ParseScaled(text, decimals); v.ok) {
    const QString printed = numbers.FormatScaled(v.value, decimals);
    const ScaledValue back = numbers.ParseScaled(printed, decimals);
    FUZZ_REQUIRE(back.ok && back.value == v.value);
    FUZZ_REQUIRE(printed.count(numbers.DecimalSeparator()) == (decimals > 0 ? 1 : 0));
    FUZZ_REQUIRE(!printed.contains(QLatin1Char(' ')));
  }
  // A single taken is finite and, printed with all its digits, is taken as itself again.
  if (const std::optional<float> f = numbers.ParseFloat(text)) {
    FUZZ_REQUIRE(std::isfinite(*f));
    QString printed = QString::number(static_cast<double>(*f), 'g', 9);
    printed.replace(QLatin1Char('.'), numbers.DecimalSeparator());
    const std::optional<float> back = numbers.ParseFloat(printed);
    FUZZ_REQUIRE(back && *back == *f);
    // Fixed notation as the fields show it is taken as a single too.
    FUZZ_REQUIRE(numbers.ParseFloat(numbers.FormatFixed(*f, decimals)).has_value());
  }
  return 0;
}

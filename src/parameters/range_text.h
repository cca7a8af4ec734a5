#pragma once
#include <QString>
#include <cstdint>
#include <optional>

#include "device_link/register_image.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"

namespace kvn {

// Limits of an Int16 or Int32 entry in raw units. Both 0: not limited.
struct IntLimits {
  int64_t lower = 0;
  int64_t upper = 0;
  bool zeroAllowed = false;  // DynamicOrZero: an entered 0 passes whatever the limits
  bool Unlimited() const { return lower == 0 && upper == 0; }
};

// Limits of a Float or OffsetLevel entry. Both 0: not limited (Float rows only).
struct FloatLimits {
  float lower = 0.0f;
  float upper = 0.0f;
  bool Unlimited() const { return lower == 0.0f && upper == 0.0f; }
};

// The limits of an Int16/Int32 row as they stand now: the table's own for Static rows,
// otherwise the cells (Int16) or 32-bit values (Int32) at minRegister/maxRegister of
// EditImage, the lower one 0 for DynamicMax.
IntLimits IntRangeLimits(const ParameterDescriptor& row, const RegisterImage& edit);

// The limits of a Float/OffsetLevel row as they stand now. Float rows as above, read as
// singles. OffsetLevel rows: floatMin and floatMax, the upper one reduced by OffsetVoltage
// while the sensor type is "2-Wire voltage" (the field then shows the level above the offset).
FloatLimits FloatRangeLimits(const ParameterDescriptor& row, const Codec& codec);

// "lower ... upper", each formatted like the field: FormatScaled with the implied decimals,
// or FormatFloat with the row's display mode.
QString IntRangeText(const NumberFormat& format, const IntLimits& limits, int decimals);
QString FloatRangeText(const Codec& codec, const FloatLimits& limits, int mode);

// The allowed range of a numeric row with its current limits, as appended to the
// out-of-range message; empty for rows that have no range.
QString RowRangeText(const Codec& codec, const ParameterDescriptor& row);

// The stored value of a numeric row in EditImage against its current limits: the range text
// the out-of-range message shows when it lies outside, nothing when it passes. Rows that are
// not numeric pass; so does a stored 0 in the DynamicOrZero row, as it did when entered.
std::optional<QString> OutsideRangeText(const ParameterDescriptor& row, const Codec& codec);

// Replaces the first range placeholder of an info text ("@s", "@a", "@h", "@i", "@v", "@p",
// "@r", looked for in this order; only the first one found, only its first occurrence) by
// " lower - upper " with the current limits from EditImage.
QString SubstituteRange(const QString& text, const Codec& codec);

}  // namespace kvn

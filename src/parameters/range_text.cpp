#include "parameters/range_text.h"

#include <array>
#include <cmath>

namespace kvn {

namespace {

constexpr QLatin1StringView kRangeJoin(" ... ");

int64_t DynamicInt(const ParameterDescriptor& row, const RegisterImage& edit, int r) {
  if (row.fieldType == FieldType::Int32) return ReadInt32(edit, r);
  return edit[static_cast<size_t>(r)];
}

enum class PlaceholderFormat { AutoFloat, TwoDecimals, Integer };

// An info text's range placeholder and the factory limits it stands for. A lower register of
// 0 means the lower value is 0.
struct RangePlaceholder {
  QLatin1StringView tag;
  int minRegister;
  int maxRegister;
  PlaceholderFormat format;
};

// Looked for in this order; the first one present wins.
constexpr std::array<RangePlaceholder, 7> kPlaceholders = {{
    {QLatin1StringView("@s"), 6006, 6004, PlaceholderFormat::AutoFloat},    // speed limits
    {QLatin1StringView("@a"), 6010, 6008, PlaceholderFormat::AutoFloat},    // acceleration
    {QLatin1StringView("@h"), 0, 6008, PlaceholderFormat::AutoFloat},       // acceleration hysteresis
    {QLatin1StringView("@i"), 5036, 5034, PlaceholderFormat::TwoDecimals},  // sensor current
    {QLatin1StringView("@v"), 5040, 5038, PlaceholderFormat::TwoDecimals},  // sensor voltage
    {QLatin1StringView("@p"), 5048, 5046, PlaceholderFormat::Integer},      // bad-pulse time
    {QLatin1StringView("@r"), 5032, 5030, PlaceholderFormat::TwoDecimals},  // analog output error
}};

QString PlaceholderValue(const Codec& codec, const RangePlaceholder& p, int r) {
  const RegisterImage& edit = codec.Edit();
  switch (p.format) {
    case PlaceholderFormat::AutoFloat:
      return codec.FormatFloat(r == 0 ? 0.0f : ReadFloat(edit, r), kAutoDecimals);
    case PlaceholderFormat::TwoDecimals:
      return codec.FormatFloat(r == 0 ? 0.0f : ReadFloat(edit, r), 2);
    case PlaceholderFormat::Integer: break;
  }
  return QString::number(r == 0 ? 0 : ReadInt32(edit, r));
}

}  // namespace

IntLimits IntRangeLimits(const ParameterDescriptor& row, const RegisterImage& edit) {
  switch (row.rangeSource) {
    case RangeSource::Static: return {row.intMin, row.intMax, false};
    case RangeSource::Dynamic:
      return {DynamicInt(row, edit, row.minRegister), DynamicInt(row, edit, row.maxRegister), false};
    case RangeSource::DynamicMax: return {0, DynamicInt(row, edit, row.maxRegister), false};
    case RangeSource::DynamicOrZero:
      return {DynamicInt(row, edit, row.minRegister), DynamicInt(row, edit, row.maxRegister), true};
  }
  return {};
}

FloatLimits FloatRangeLimits(const ParameterDescriptor& row, const Codec& codec) {
  if (row.fieldType == FieldType::OffsetLevel) {
    const float upper = codec.IsTwoWireVoltage() ? row.floatMax - codec.OffsetVoltage() : row.floatMax;
    return {row.floatMin, upper};
  }
  const RegisterImage& edit = codec.Edit();
  switch (row.rangeSource) {
    case RangeSource::Static: return {row.floatMin, row.floatMax};
    case RangeSource::Dynamic:
    case RangeSource::DynamicOrZero:
      return {ReadFloat(edit, row.minRegister), ReadFloat(edit, row.maxRegister)};
    case RangeSource::DynamicMax: return {0.0f, ReadFloat(edit, row.maxRegister)};
  }
  return {};
}

QString IntRangeText(const NumberFormat& format, const IntLimits& limits, int decimals) {
  return format.FormatScaled(limits.lower, decimals) + kRangeJoin +
         format.FormatScaled(limits.upper, decimals);
}

QString FloatRangeText(const Codec& codec, const FloatLimits& limits, int mode) {
  return codec.FormatFloat(limits.lower, mode) + kRangeJoin + codec.FormatFloat(limits.upper, mode);
}

QString RowRangeText(const Codec& codec, const ParameterDescriptor& row) {
  switch (row.fieldType) {
    case FieldType::Int16:
    case FieldType::Int32:
      return IntRangeText(codec, IntRangeLimits(row, codec.Edit()), row.detail);
    case FieldType::Float:
    case FieldType::OffsetLevel:
      return FloatRangeText(codec, FloatRangeLimits(row, codec), row.detail);
    default: return {};
  }
}

namespace {

bool InIntRange(int64_t v, const IntLimits& limits) {
  return limits.Unlimited() || (limits.lower <= v && v <= limits.upper);
}

bool InFloatRange(float x, float lower, float upper) { return !std::isnan(x) && lower <= x && x <= upper; }

}  // namespace

std::optional<QString> OutsideRangeText(const ParameterDescriptor& row, const Codec& codec) {
  const RegisterImage& edit = codec.Edit();
  const int reg = RegisterOf(row);
  switch (row.fieldType) {
    case FieldType::Int16:
    case FieldType::Int32: {
      const IntLimits limits = IntRangeLimits(row, edit);
      const int64_t value = row.fieldType == FieldType::Int16 ? edit[static_cast<size_t>(reg)] : ReadInt32(edit, reg);
      if ((limits.zeroAllowed && value == 0) || InIntRange(value, limits)) return std::nullopt;
      return IntRangeText(codec, limits, row.detail);
    }
    case FieldType::Float: {
      const FloatLimits limits = FloatRangeLimits(row, codec);
      if (limits.Unlimited() || InFloatRange(ReadFloat(edit, reg), limits.lower, limits.upper)) return std::nullopt;
      return FloatRangeText(codec, limits, row.detail);
    }
    // The register holds the absolute level, so it is held against the table's own limits; the
    // message shows the range as the field offers it (upper limit less the sensor offset).
    case FieldType::OffsetLevel:
      if (InFloatRange(ReadFloat(edit, reg), row.floatMin, row.floatMax)) return std::nullopt;
      return FloatRangeText(codec, FloatRangeLimits(row, codec), row.detail);
    default: return std::nullopt;
  }
}

QString SubstituteRange(const QString& text, const Codec& codec) {
  for (const RangePlaceholder& p : kPlaceholders) {
    const qsizetype at = text.indexOf(p.tag);
    if (at < 0) continue;
    const QString range = QLatin1Char(' ') + PlaceholderValue(codec, p, p.minRegister) +
                          QLatin1StringView(" - ") + PlaceholderValue(codec, p, p.maxRegister) +
                          QLatin1Char(' ');
    QString result = text;
    result.replace(at, p.tag.size(), range);
    return result;
  }
  return text;
}

}  // namespace kvn

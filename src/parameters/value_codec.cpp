#include "device_link/block_table.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"

#include <QLocale>
#include <QRegularExpression>
#include <bit>
#include <cmath>
#include <limits>

namespace kvn {

namespace {

int32_t SignExtend16(uint32_t word) { return static_cast<int16_t>(static_cast<uint16_t>(word)); }


// Characters outside one byte cannot travel in a register half.
uint32_t ByteCode(QChar c) { return c.unicode() <= 0xFF ? c.unicode() : uint32_t{'?'}; }

}  // namespace

int32_t ReadInt32(const RegisterImage& image, int r) {
  return CombineWords(Cell(image, r), Cell(image, r + 1));
}

void WriteInt32(RegisterImage& image, int r, int32_t v) {
  const auto bits = static_cast<uint32_t>(v);
  image[static_cast<size_t>(r)] = SignExtend16(bits & 0xFFFFu);
  image[static_cast<size_t>(r + 1)] = SignExtend16(bits >> 16);
}

float ReadFloat(const RegisterImage& image, int r) {
  return std::bit_cast<float>(ReadInt32(image, r));
}

void WriteFloat(RegisterImage& image, int r, float x) {
  WriteInt32(image, r, std::bit_cast<int32_t>(x));
}

QString ReadText(const RegisterImage& image, int r, int n) {
  QString text;
  text.reserve(2 * n);
  for (int i = 0; i < n; ++i) {
    const uint32_t word = static_cast<uint32_t>(Cell(image, r + i)) & 0xFFFFu;
    text.append(QChar(static_cast<char16_t>(word & 0xFFu)));
    text.append(QChar(static_cast<char16_t>(word >> 8)));
  }
  return text;
}

void WriteText(RegisterImage& image, int r, int n, const QString& text) {
  QString padded = text.left(2 * n);
  padded = padded.leftJustified(2 * n, QLatin1Char(' '));
  for (int i = 0; i < n; ++i) {
    const uint32_t low = ByteCode(padded.at(2 * i));
    const uint32_t high = ByteCode(padded.at(2 * i + 1));
    image[static_cast<size_t>(r + i)] = static_cast<int32_t>(low + 256u * high);
  }
}

int32_t CombineWords(int32_t low, int32_t high) {
  const uint32_t bits = (static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xFFFFu);
  return static_cast<int32_t>(bits);
}

QString CrcText(int32_t cell) {
  return QStringLiteral("%1").arg(static_cast<uint32_t>(cell) & 0xFFFFu, 4, 16, QLatin1Char('0')).toUpper();
}

QChar LocaleDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

// ---------------------------------------------------------------------------------------------

QString NumberFormat::FormatScaled(int64_t v, int d) const {
  const bool negative = v < 0;
  // Magnitude in unsigned arithmetic so that the most negative value has one too.
  const uint64_t magnitude = negative ? 0u - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  QString t = QString::number(magnitude);
  if (d > 0) {
    if (t.size() < d + 1) t = t.rightJustified(d + 1, QLatin1Char('0'));
    t = t.left(t.size() - d) + separator_ + t.right(d);
  }
  return negative ? QLatin1Char('-') + t : t;
}

ScaledValue NumberFormat::ParseScaled(const QString& text, int d) const {
  // Blanks around the entry are dropped first: a trailing one would otherwise count as a
  // decimal digit and shift the value.
  QString digits = text.trimmed();
  const qsizetype sep = digits.indexOf(separator_);
  if (d <= 0) {
    if (sep >= 0) digits.truncate(sep);
  } else {
    QString whole = sep >= 0 ? digits.left(sep) : digits;
    QString fraction = sep >= 0 ? digits.mid(sep + 1) : QString();
    if (fraction.size() < d) fraction = fraction.leftJustified(d, QLatin1Char('0'));
    digits = whole + fraction.left(d);
  }
  static const QRegularExpression kInteger(QStringLiteral("^[+-]?\\d+$"));
  if (!kInteger.match(digits).hasMatch()) return {};
  bool ok = false;
  const qlonglong value = digits.toLongLong(&ok, 10);
  return ok ? ScaledValue{true, value} : ScaledValue{};
}

QString NumberFormat::FormatFixed(double x, int decimals) const {
  QString t = QString::number(x, 'f', decimals);
  if (separator_ != QLatin1Char('.')) t.replace(QLatin1Char('.'), separator_);
  return t;
}

std::optional<float> NumberFormat::ParseFloat(const QString& text) const {
  QString t = text.trimmed();
  // With another separator a "." is not part of a number.
  if (separator_ != QLatin1Char('.')) {
    if (t.contains(QLatin1Char('.'))) return std::nullopt;
    t.replace(separator_, QLatin1Char('.'));
  }
  static const QRegularExpression kNumber(
      QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
  if (!kNumber.match(t).hasMatch()) return std::nullopt;
  bool ok = false;
  const double value = t.toDouble(&ok);
  if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
    return std::nullopt;
  return static_cast<float>(value);
}

// ---------------------------------------------------------------------------------------------

int AutoDecimalsFor(float referenceSpeed) {
  if (std::isnan(referenceSpeed)) return 5;
  if (referenceSpeed < 1.0f) return 6;
  if (referenceSpeed < 10.0f) return 5;
  if (referenceSpeed < 100.0f) return 4;
  if (referenceSpeed < 1000.0f) return 3;
  if (referenceSpeed < 10000.0f) return 2;
  return 1;
}

int DecimalsIn(const RegisterImage& image, int mode) {
  if (mode >= 0) return mode > 6 ? 6 : mode;
  return AutoDecimalsFor(ReadFloat(image, ParamRegs().ratedSpeed));
}

QString FormatFloatIn(const NumberFormat& format, const RegisterImage& image, float x, int mode) {
  return format.FormatFixed(x, DecimalsIn(image, mode));
}

float OffsetLevelShownIn(const RegisterImage& image, int r) {
  float x = ReadFloat(image, r);
  if (Cell(image, ParamRegs().sensorType) == kSensorTwoWireVoltage) {
    x -= ReadFloat(image, reg::OffsetVoltage);
    if (x < 0.0f) x = 0.0f;
  }
  return x;
}

int32_t LatchForceMaskIn(const RegisterImage& image) { return ReadInt32(image, reg::LatchForceMask); }

QString ResponseTimeTextIn(const NumberFormat& format, const RegisterImage& image) {
  const int32_t averaging = Cell(image, ParamRegs().averaging);
  const int32_t teeth = Cell(image, ParamRegs().teeth);
  const float rated = ReadFloat(image, ParamRegs().ratedSpeed);
  if (averaging <= 0 || teeth <= 0 || !(rated > 0.0f)) return {};
  // Tenths of a millisecond; 80 is the fixed 8 ms reaction time of the hardware.
  const double ticks = std::nearbyint(double(averaging) * 10000.0 * 60.0 / (double(rated) * teeth));
  constexpr double kLimit = 9.0e18;  // beyond this the sum no longer fits 64 bits
  if (!std::isfinite(ticks) || ticks > kLimit) return {};
  return format.FormatScaled(static_cast<int64_t>(ticks) + 80, 1);
}

int Codec::DecimalsFor(int mode) const {
  return DecimalsIn(mode == kAutoDecimalsDevice ? Device() : Edit(), mode);
}

QString Codec::FormatFloat(float x, int mode) const { return FormatFixed(x, DecimalsFor(mode)); }

float Codec::ReferenceSpeed(const RegisterImage& image) const {
  return ReadFloat(image, ParamRegs().ratedSpeed);
}

int32_t Codec::SensorType() const { return Cell(Edit(), ParamRegs().sensorType); }

float Codec::OffsetVoltage() const { return ReadFloat(Edit(), reg::OffsetVoltage); }

int32_t Codec::LatchForceMask() const { return LatchForceMaskIn(Edit()); }

QString Codec::ResponseTimeText() const { return ResponseTimeTextIn(*this, Edit()); }

QString Codec::CutInRpmText() const {
  const int32_t teeth = Cell(Edit(), ParamRegs().teeth);
  if (teeth <= 0) return {};
  const float rpm = static_cast<float>(double(ReadFloat(Edit(), ParamRegs().cutInFrequency)) * 60.0 / teeth);
  return FormatFloat(rpm, kAutoDecimals);
}

QString Codec::BadPulseFrequencyText() const {
  const int32_t time = ReadInt32(Edit(), ParamRegs().badPulseTime);
  const float frequency = time != 0 ? static_cast<float>(1000.0 / time) : 0.0f;
  return FormatFloat(frequency, 3);
}

QString Codec::OffsetLevelText() const {
  return FormatFloat(ReadFloat(Edit(), ParamRegs().triggerLevelU), 2);
}

float Codec::OffsetLevelShown(int r) const { return OffsetLevelShownIn(Edit(), r); }

QString Codec::OffsetLevelDisplay(int r, int mode) const { return FormatFloat(OffsetLevelShown(r), mode); }

}  // namespace kvn

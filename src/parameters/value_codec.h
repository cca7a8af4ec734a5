#pragma once
#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

#include "device_link/register_image.h"

namespace kvn {

inline constexpr int32_t kSensorTwoWireVoltage = 2;  // SensorType index of "2-Wire voltage"

// FormatFloat modes below zero: decimals chosen from the rated speed.
inline constexpr int kAutoDecimals = -1;        // rated speed from EditImage
inline constexpr int kAutoDecimalsDevice = -2;  // rated speed from DeviceImage (live data)

// --- Register access. Combining readers use only the low 16 bits of each cell. ---

// (cell r+1 << 16) | (cell r & 0xFFFF): the low word sits at the lower address.
int32_t ReadInt32(const RegisterImage& image, int r);
// Low and high word of v into cells r and r+1, each sign-extended.
void WriteInt32(RegisterImage& image, int r, int32_t v);
// The IEEE single whose bit pattern is ReadInt32(image, r).
float ReadFloat(const RegisterImage& image, int r);
// Stores the bit pattern of x with WriteInt32.
void WriteFloat(RegisterImage& image, int r, float x);
// 2n characters, low byte first in each register; nothing trimmed, zero bytes kept.
QString ReadText(const RegisterImage& image, int r, int n);
// Pads with blanks to 2n characters and packs two per register; characters beyond 2n are
// dropped, characters outside 0..255 are stored as "?".
void WriteText(RegisterImage& image, int r, int n, const QString& text);
// (high << 16) | (low & 0xFFFF).
int32_t CombineWords(int32_t low, int32_t high);
// Low 16 bits as four upper-case hexadecimal digits (the CRC labels).
QString CrcText(int32_t cell);

// The user's locale decimal separator. Call once at start and hand the result to NumberFormat.
QChar LocaleDecimalSeparator();

struct ScaledValue {
  bool ok = false;
  int64_t value = 0;
};

// Number texts with the decimal separator taken once at start. Needs no register image.
class NumberFormat {
 public:
  explicit NumberFormat(QChar decimalSeparator) : separator_(decimalSeparator) {}

  QChar DecimalSeparator() const { return separator_; }

  // Integer v with d implied decimals: 1500, 3 → "1.500"; 0, 1 → "0.0". A negative value is
  // written as "-" followed by the text of its magnitude ("-0.005").
  QString FormatScaled(int64_t v, int d) const;
  // Text → raw integer with d implied decimals; surplus decimals are cut, not rounded.
  ScaledValue ParseScaled(const QString& text, int d) const;
  // Fixed notation with N decimals (0..6), at least one integer digit, no grouping.
  QString FormatFixed(double x, int decimals) const;
  // A floating-point text with this separator (blanks around it allowed, an exponent
  // allowed) as a single; nullopt when it is not a number or does not fit a single.
  std::optional<float> ParseFloat(const QString& text) const;

 private:
  QChar separator_;
};

// Number of decimals for a rated speed in the automatic display modes.
int AutoDecimalsFor(float referenceSpeed);

// The same conversions for any one register image (a scratch copy, a file's set): decimals in
// the automatic modes and the sensor values come from that image itself.
int DecimalsIn(const RegisterImage& image, int mode);
QString FormatFloatIn(const NumberFormat& format, const RegisterImage& image, float x, int mode);
float OffsetLevelShownIn(const RegisterImage& image, int r);
int32_t LatchForceMaskIn(const RegisterImage& image);
QString ResponseTimeTextIn(const NumberFormat& format, const RegisterImage& image);

// Value conversions that depend on the register images: automatic decimals and the derived
// values. Created once with the program's images and passed by reference.
class Codec : public NumberFormat {
 public:
  Codec(QChar decimalSeparator, const RegisterImages& images)
      : NumberFormat(decimalSeparator), images_(images) {}

  // mode >= 0: that many decimals, at most 6. mode -2: decimals from DeviceImage's rated
  // speed; any other negative mode: from EditImage's.
  QString FormatFloat(float x, int mode) const;
  int DecimalsFor(int mode) const;

  float ReferenceSpeed(const RegisterImage& image) const;
  int32_t SensorType() const;
  float OffsetVoltage() const;
  int32_t LatchForceMask() const;
  bool IsTwoWireVoltage() const { return SensorType() == kSensorTwoWireVoltage; }

  // Derived texts; empty when the value cannot be computed.
  QString ResponseTimeText() const;
  QString CutInRpmText() const;
  QString BadPulseFrequencyText() const;
  QString OffsetLevelText() const;

  // An OffsetLevel row's value as shown: relative to OffsetVoltage (never below 0) when the
  // sensor type is "2-Wire voltage", else the absolute level held in the register.
  float OffsetLevelShown(int r) const;
  QString OffsetLevelDisplay(int r, int mode) const;

  const RegisterImage& Edit() const { return images_.EditImage; }
  const RegisterImage& Device() const { return images_.DeviceImage; }

 private:
  const RegisterImages& images_;
};

}  // namespace kvn

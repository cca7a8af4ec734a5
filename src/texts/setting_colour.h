#pragma once
#include <QColor>
#include <cstdint>

namespace kvn {

// Colours in the program settings are 0x00BBGGRR: red in the low byte. The high byte carries
// nothing and is ignored.
inline QColor ColorOfSetting(int32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline int32_t SettingOfColor(const QColor& colour) {
  return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

}  // namespace kvn

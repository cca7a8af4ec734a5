#include "parameters/config_file.h"

#include "device_link/block_transfer.h"
#include "texts/texts.h"

namespace kvn {
namespace {

bool CrcMatches(const RegisterImage& image, const BlockDescriptor& b) {
  return ImageCrc(image, b.start, b.count - 1) == (Cell(image, b.CrcRegister()) & 0xFFFF);
}

}  // namespace

QString ConfigurationText(const RegisterImage& edit) {
  QString text;
  for (const BlockDescriptor& b : BlockTable) {
    if (!IsStoredBlock(b)) continue;
    for (int r = b.start; r < b.start + b.count; ++r) {
      text += QString::number(Cell(edit, r) & 0xFFFF);
      text += QLatin1Char('|');
    }
  }
  return text;
}

bool ReadConfigurationText(const QString& text, RegisterImage& image) {
  image.fill(0);
  QString rest = text;
  for (const BlockDescriptor& b : BlockTable) {
    if (!IsStoredBlock(b)) continue;
    for (int r = b.start; r < b.start + b.count; ++r) {
      auto [field, remaining] = NextField(rest);
      rest = std::move(remaining);
      bool ok = false;
      const int value = field.toInt(&ok);
      image[static_cast<size_t>(r)] = ok ? value : 0;
    }
    if (!CrcMatches(image, b)) return false;
    if (b.id != BlockId::Output) continue;
    for (int r = reg::OutputConfig; r < reg::OutputConfig + kRelayWords; ++r)
      image[static_cast<size_t>(r)] &= 0xFFFF & ~DeviceOwnedBits(r);
    image[static_cast<size_t>(b.CrcRegister())] = ImageCrc(image, b.start, b.count - 1);
  }
  return true;
}

}  // namespace kvn

#include "operations/device_reading.h"

#include <algorithm>

#include "device_link/block_transfer.h"
#include "texts/setup_record.h"

namespace kvn {
namespace {
constexpr uint32_t kBit5Cleared = 0xFFDF;
constexpr int kOutputWords = 5;
}  // namespace

DeviceState IdentityState(const RegisterImage& device) {
  if (Cell(device, reg::DeviceType) != kAcceptedDeviceType) return DeviceState::UnknownDevice;
  const int firmware = Cell(device, reg::Firmware);
  if (firmware < kFirmwareMin || firmware > kFirmwareMax) return DeviceState::VersionIncompatible;
  return DeviceState::Accepted;
}

bool DeviceModeAccepted(const RegisterImage& device) { return (Cell(device, reg::DeviceMode) & 3) == 3; }

bool InProgrammingMode(const RegisterImage& device) { return (Cell(device, reg::ProgStatus) & 0xFF) != 0; }

bool SetIncludesPassword(const RegisterImage& identification, const InterfaceSettings& settings) {
  return Cell(identification, reg::AccessLevel) > 0 && settings.usb;
}

std::vector<BlockDescriptor> ParameterBlocks(bool withPassword) {
  std::vector<BlockDescriptor> list;
  for (const BlockDescriptor& b : BlockTable)
    if (b.is_parameter && (b.id != BlockId::Password || withPassword)) list.push_back(b);
  return list;
}

bool ReadParameterBlocks(BlockTransfer& blocks, bool withPassword, const BlockProgress& progress) {
  const std::vector<BlockDescriptor> list = ParameterBlocks(withPassword);
  const int total = static_cast<int>(list.size());
  for (int done = 0; done < total; ++done) {
    if (!blocks.ReadBlock(list[static_cast<size_t>(done)].id, false, ImageSelector::Device)) return false;
    if (progress) progress(done + 1, total);
  }
  return true;
}

bool ParameterBlocksEqual(const RegisterImage& edit, const RegisterImage& device, bool withPassword) {
  const std::vector<BlockDescriptor> list = ParameterBlocks(withPassword);
  return std::all_of(list.begin(), list.end(), [&](const BlockDescriptor& b) { return BlockEquals(edit, device, b); });
}

void AdoptParameterBlocks(BlockTransfer& blocks, RegisterImages& images, bool withPassword) {
  RegisterImage& edit = images.EditImage;
  const RegisterImage& device = images.DeviceImage;
  for (const BlockDescriptor& b : ParameterBlocks(withPassword)) {
    std::copy(device.begin() + b.start, device.begin() + b.start + b.count, edit.begin() + b.start);
    if (b.id != BlockId::Output) continue;
    for (int r = reg::OutputConfig; r < reg::OutputConfig + kOutputWords; ++r)
      edit[static_cast<size_t>(r)] = static_cast<int32_t>(static_cast<uint32_t>(edit[static_cast<size_t>(r)]) & kBit5Cleared);
    blocks.UpdateBlockCrc(b);
  }
}

}  // namespace kvn

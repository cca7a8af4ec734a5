#include "device_link/block_transfer.h"

#include <algorithm>

#include "device_link/crc16.h"
#include "device_link/modbus_master.h"

namespace kvn {

uint16_t ImageCrc(const RegisterImage& image, int first, int count) {
  Crc16 crc;
  for (int r = first; r < first + count; ++r)
    crc.AddRegister(static_cast<uint16_t>(image[static_cast<size_t>(r)] & 0xFFFF));
  return crc.Value();
}

// The device's own bits are no setting, and its CRC covers them: a block that differs in them
// alone is the same set, whatever its CRC register holds.
bool BlockEquals(const RegisterImage& a, const RegisterImage& b, const BlockDescriptor& block) {
  bool ownBitsDiffer = false;
  for (int r = block.start; r < block.CrcRegister(); ++r) {
    const int differing = (Cell(a, r) ^ Cell(b, r)) & 0xFFFF;
    if (differing & ~DeviceOwnedBits(r)) return false;
    ownBitsDiffer = ownBitsDiffer || differing != 0;
  }
  const int crc = block.CrcRegister();
  return ownBitsDiffer || ((Cell(a, crc) ^ Cell(b, crc)) & 0xFFFF) == 0;
}

BlockTransfer::BlockTransfer(ModbusMaster& master, RegisterImages& images,
                             const InterfaceSettings& settings)
    : master_(master), images_(images), settings_(settings) {}

bool BlockTransfer::ReadChunks(const BlockDescriptor& b, RegisterImage& image, bool retry,
                               bool showMessage) {
  for (int position = b.start, remaining = b.count; remaining > 0;) {
    const int n = std::min(remaining, kMaxReadCount);
    const std::span<int32_t> dest(image.data() + position, static_cast<size_t>(n));
    const bool ok =
        retry ? master_.ReadWithRetry(kFnReadHolding, settings_.addr, position, showMessage, dest)
              : master_.ReadRegisters(kFnReadHolding, settings_.addr, position, dest) == ModbusResult::Ok;
    if (!ok) return false;
    position += n;
    remaining -= n;
  }
  return true;
}

bool BlockTransfer::ReadBlock(BlockId id, bool showMessage, ImageSelector target) {
  return IsBlockId(static_cast<int>(id)) && ReadChunks(Block(id), images_.Select(target), true, showMessage);
}

bool BlockTransfer::ReadBlockInto(BlockId id, bool showMessage, RegisterImage& target) {
  return IsBlockId(static_cast<int>(id)) && ReadChunks(Block(id), target, true, showMessage);
}

bool BlockTransfer::PollBlock(const BlockDescriptor& block) {
  return ReadChunks(block, images_.DeviceImage, false, false);
}

bool BlockTransfer::WriteBlock(const BlockDescriptor& block) {
  UpdateBlockCrc(block);
  for (int position = block.start, remaining = block.count; remaining > 0;) {
    const int n = std::min(remaining, kMaxWriteCount);
    const std::span<const int32_t> source(images_.EditImage.data() + position, static_cast<size_t>(n));
    if (!master_.WriteWithRetry(settings_.addr, position, source)) return false;
    position += n;
    remaining -= n;
  }
  return true;
}

uint16_t BlockTransfer::UpdateBlockCrc(const BlockDescriptor& block) {
  const uint16_t crc = ImageCrc(images_.EditImage, block.start, block.count - 1);
  images_.EditImage[static_cast<size_t>(block.CrcRegister())] = crc;
  return crc;
}

bool BlockTransfer::CheckBlockCrc(BlockId id) const {
  if (!IsBlockId(static_cast<int>(id))) return false;
  const BlockDescriptor& b = Block(id);
  return ImageCrc(images_.EditImage, b.start, b.count - 1) ==
         (images_.EditImage[static_cast<size_t>(b.CrcRegister())] & 0xFFFF);
}

}  // namespace kvn

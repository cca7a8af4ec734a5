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

BlockTransfer::BlockTransfer(ModbusMaster& master, RegisterImages& images,
                             const InterfaceSettings& settings)
    : master_(master), images_(images), settings_(settings) {}

bool BlockTransfer::ReadChunks(const BlockDescriptor& b, RegisterImage& image, bool retry,
                               bool showMessage) {
  for (int position = b.start, remaining = b.count; remaining > 0;) {
    const int n = std::min(remaining, kMaxReadCount);
    int32_t* dest = image.data() + position;
    const bool ok =
        retry ? master_.ReadWithRetry(kFnReadHolding, settings_.addr, position, showMessage, dest, n)
              : master_.ReadRegisters(kFnReadHolding, settings_.addr, position, dest, n) ==
                    ModbusResult::Ok;
    if (!ok) return false;
    position += n;
    remaining -= n;
  }
  return true;
}

bool BlockTransfer::ReadBlock(int id, bool showMessage, ImageSelector target) {
  const BlockDescriptor* b = FindBlock(id);
  return b && ReadChunks(*b, images_.Select(target), true, showMessage);
}

bool BlockTransfer::PollBlock(int row) {
  if (row < 1 || row > kBlockRows) return false;
  return ReadChunks(BlockRow(row), images_.DeviceImage, false, false);
}

bool BlockTransfer::WriteBlock(int row) {
  if (row < 1 || row > kBlockRows) return false;
  UpdateBlockCrc(row);
  const BlockDescriptor& b = BlockRow(row);
  for (int position = b.start, remaining = b.count; remaining > 0;) {
    const int n = std::min(remaining, kMaxWriteCount);
    if (!master_.WriteWithRetry(settings_.addr, position, n, images_.EditImage.data() + position))
      return false;
    position += n;
    remaining -= n;
  }
  return true;
}

uint16_t BlockTransfer::UpdateBlockCrc(int row) {
  const BlockDescriptor& b = BlockRow(row);
  const uint16_t crc = ImageCrc(images_.EditImage, b.start, b.count - 1);
  images_.EditImage[static_cast<size_t>(b.CrcRegister())] = crc;
  return crc;
}

bool BlockTransfer::CheckBlockCrc(int id) const {
  const BlockDescriptor* b = FindBlock(id);
  if (!b) return false;
  return ImageCrc(images_.EditImage, b->start, b->count - 1) ==
         (images_.EditImage[static_cast<size_t>(b->CrcRegister())] & 0xFFFF);
}

}  // namespace kvn

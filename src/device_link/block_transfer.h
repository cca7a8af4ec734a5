#pragma once
#include <cstdint>

#include "device_link/block_table.h"
#include "device_link/register_image.h"
#include "texts/setup_record.h"

namespace kvn {

class ModbusMaster;

// CRC-16 over image registers first..first+count-1, each register low byte first.
uint16_t ImageCrc(const RegisterImage& image, int first, int count);

// The block's registers, its CRC included, are equal in both images as far as the device
// keeps them: 16 bits. What an image holds above them is sign extension or a caller's scratch.
// The bits the device owns (DeviceOwnedBits) count in no comparison of sets.
bool BlockEquals(const RegisterImage& a, const RegisterImage& b, const BlockDescriptor& block);

// Block reads, polls and writes between the device and the register images.
class BlockTransfer {
 public:
  BlockTransfer(ModbusMaster& master, RegisterImages& images, const InterfaceSettings& settings);

  // Reads the block with that id into the selected image, 125 registers per request, with
  // retries. Stops at the first failing chunk; earlier chunks stay stored.
  bool ReadBlock(BlockId id, bool showMessage, ImageSelector target);
  // The same into an image of the caller's (a scratch copy that none of the three may see).
  bool ReadBlockInto(BlockId id, bool showMessage, RegisterImage& target);
  // A row of BlockTable into DeviceImage: one attempt per chunk, no message.
  bool PollBlock(const BlockDescriptor& block);
  // A row of BlockTable from EditImage, 123 registers per request, after storing its CRC.
  bool WriteBlock(const BlockDescriptor& block);
  // Computes the block CRC over EditImage and stores it in the block's last cell.
  uint16_t UpdateBlockCrc(const BlockDescriptor& block);
  // True when the stored CRC of block id matches its registers in EditImage.
  bool CheckBlockCrc(BlockId id) const;

 private:
  bool ReadChunks(const BlockDescriptor& b, RegisterImage& image, bool retry, bool showMessage);

  ModbusMaster& master_;
  RegisterImages& images_;
  const InterfaceSettings& settings_;
};

}  // namespace kvn

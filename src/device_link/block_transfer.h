#pragma once
#include <cstdint>

#include "device_link/block_table.h"
#include "device_link/register_image.h"
#include "texts/setup_record.h"

namespace kvn {

class ModbusMaster;

// CRC-16 over image registers first..first+count-1, each register low byte first.
uint16_t ImageCrc(const RegisterImage& image, int first, int count);

// Block reads, polls and writes between the device and the register images.
class BlockTransfer {
 public:
  BlockTransfer(ModbusMaster& master, RegisterImages& images, const InterfaceSettings& settings);

  // Reads the block with that id into the selected image, 125 registers per request, with
  // retries. Stops at the first failing chunk; earlier chunks stay stored.
  bool ReadBlock(int id, bool showMessage, ImageSelector target);
  // Row 1..14 into DeviceImage: one attempt per chunk, no message.
  bool PollBlock(int row);
  // Row 1..14 from EditImage, 123 registers per request, after storing its CRC.
  bool WriteBlock(int row);
  // Computes the block CRC of row 1..14 over EditImage and stores it in the block's last cell.
  uint16_t UpdateBlockCrc(int row);
  // True when the stored CRC of block id matches its registers in EditImage.
  bool CheckBlockCrc(int id) const;

 private:
  bool ReadChunks(const BlockDescriptor& b, RegisterImage& image, bool retry, bool showMessage);

  ModbusMaster& master_;
  RegisterImages& images_;
  const InterfaceSettings& settings_;
};

}  // namespace kvn

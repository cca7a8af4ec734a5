#pragma once
#include <functional>

#include "device_link/block_table.h"
#include "device_link/register_image.h"
#include "operations/poll_state.h"

namespace kvn {

class BlockTransfer;
struct InterfaceSettings;

// Accepted when the identification block names an acceptable device, else unknown device or
// incompatible firmware. The device mode is judged separately.
DeviceState IdentityState(const RegisterImage& device);
// True when the device-mode bits of the factory block are both set.
bool DeviceModeAccepted(const RegisterImage& device);
// The device reports programming mode (its programming status is not zero).
bool InProgrammingMode(const RegisterImage& device);

// The password block belongs to the set only for an admin over USB: the device gives it to no
// one else. The level is the one in `identification` (register 14 as last read).
bool SetIncludesPassword(const RegisterImage& identification, const InterfaceSettings& settings);
// The parameter blocks of the device's set, in table order (the password block only when asked).
std::vector<BlockDescriptor> ParameterBlocks(bool withPassword);

// Called after each block of a read: blocks read so far and the blocks to read.
using BlockProgress = std::function<void(int done, int total)>;

// Reads the parameter blocks into DeviceImage, stopping at the first that fails (false).
bool ReadParameterBlocks(BlockTransfer& blocks, bool withPassword, const BlockProgress& progress = {});
// True when edit and device hold the same parameter blocks.
bool ParameterBlocksEqual(const RegisterImage& edit, const RegisterImage& device, bool withPassword);
// Copies the parameter blocks read into DeviceImage into EditImage, the set a save or a write
// starts from. Bit 5 of the output words is the device's own: a read set never carries it on.
void AdoptParameterBlocks(BlockTransfer& blocks, RegisterImages& images, bool withPassword);

}  // namespace kvn

#include "operations/device_poll.h"

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "device_link/serial_link.h"
#include "operations/device_reading.h"
#include "operations/poll_state.h"

namespace kvn {
namespace {

// The parameter blocks a poll reads after ConfigBlocksPolled was reset.
bool PolledParameterBlock(BlockId id) {
  switch (id) {
    case BlockId::UserConfig:
    case BlockId::FactoryDevice:
    case BlockId::Measurement:
    case BlockId::Diagnostics:
    case BlockId::Output: return true;
    default: return false;
  }
}

bool PollBlocks(BlockTransfer& blocks, const RegisterImages& images, PollState& poll) {
  for (const BlockDescriptor& b : BlockTable) {
    const bool wanted = !b.is_parameter || (!poll.ConfigBlocksPolled && PolledParameterBlock(b.id));
    if (!wanted) continue;
    if (!blocks.PollBlock(b)) return false;
    if (b.id == BlockId::FactoryDevice && !DeviceModeAccepted(images.DeviceImage)) {
      poll.DeviceState = DeviceState::ModeMismatch;
      return false;
    }
  }
  return true;
}

}  // namespace

void PollDeviceOnce(SerialLink& link, BlockTransfer& blocks, RegisterImages& images, PollState& poll) {
  if (link.ShouldReopen()) link.Reopen();
  poll.DeviceState = DeviceState::Accepted;
  poll.LinkOk = blocks.PollBlock(Block(BlockId::Identification));
  if (poll.LinkOk) {
    poll.DeviceState = IdentityState(images.DeviceImage);
    poll.LinkOk = poll.DeviceState == DeviceState::Accepted;
  }
  if (poll.LinkOk) poll.LinkOk = PollBlocks(blocks, images, poll);
}

}  // namespace kvn

#pragma once

namespace kvn {

class BlockTransfer;
class SerialLink;
struct PollState;
struct RegisterImages;

// One poll of the device into DeviceImage: a port lost through a failure is tried again first
// (only on the device it belonged to), then the identification block is read and judged, then
// the live blocks, and the parameter blocks again while ConfigBlocksPolled is reset. Sets
// LinkOk and DeviceState; the poll's phase and pace are the caller's.
void PollDeviceOnce(SerialLink& link, BlockTransfer& blocks, RegisterImages& images, PollState& poll);

}  // namespace kvn

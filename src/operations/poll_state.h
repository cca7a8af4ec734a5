#pragma once

namespace kvn {

// What the poll knows about the link and the device, shared by the connection display and
// the live-data poll.
struct PollState {
  bool LinkOk = false;              // last poll good and the device accepted
  int DeviceState = 0;              // 0 accepted, 1 unknown device, 2 version, 3 device mode
  int PollPhase = 1;                // 1 after a good poll, 2 after a failed one
  bool ConfigBlocksPolled = false;  // false: the next good poll reads the parameter blocks
};

}  // namespace kvn

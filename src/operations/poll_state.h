#pragma once

namespace kvn {

// How the last poll judged the device.
enum class DeviceState {
  Accepted = 0,
  UnknownDevice = 1,
  VersionIncompatible = 2,
  ModeMismatch = 3,
};

enum class PollPhase {
  AfterGoodPoll = 1,
  AfterFailedPoll = 2,
};

// What the poll knows about the link and the device, shared by the connection display and
// the live-data poll.
struct PollState {
  bool LinkOk = false;  // last poll good and the device accepted
  kvn::DeviceState DeviceState = DeviceState::Accepted;
  kvn::PollPhase PollPhase = PollPhase::AfterGoodPoll;
  bool ConfigBlocksPolled = false;  // false: the next good poll reads the parameter blocks
};

}  // namespace kvn

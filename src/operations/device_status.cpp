#include "operations/device_status.h"

#include "device_link/block_table.h"
#include "operations/device_reading.h"

namespace kvn {

int DeviceStatusMessage(const RegisterImage& device) {
  constexpr int kMsgOperating = 10, kMsgSafeState = 11, kMsgProgramming = 12;
  if (Cell(device, reg::SafeState) == 0) return kMsgOperating;
  return InProgrammingMode(device) ? kMsgProgramming : kMsgSafeState;
}

}  // namespace kvn

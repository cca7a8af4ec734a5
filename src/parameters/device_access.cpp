#include "parameters/device_access.h"

#include "device_link/block_table.h"

namespace kvn {

int DeviceAccessLevel(const LocSetupRec& setup, const RegisterImages& images) {
  if (setup.offline_mode != 0 || !setup.usb) return -1;
  return images.DeviceImage[static_cast<size_t>(reg::AccessLevel)];
}

}  // namespace kvn

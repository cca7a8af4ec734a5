#pragma once
#include "device_link/register_image.h"

namespace kvn {

// The message that names the state a linked device reports: operating (10), safe state (11)
// or programming, which keeps it in safe state (12).
int DeviceStatusMessage(const RegisterImage& device);

}  // namespace kvn

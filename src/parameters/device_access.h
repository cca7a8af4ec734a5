#pragma once
#include "device_link/register_image.h"
#include "texts/setup_record.h"

namespace kvn {

// The access level the device granted: -1 while off-line or not linked over USB (levels are
// granted over USB only), otherwise register 14 of DeviceImage (0 user, 1 admin).
int DeviceAccessLevel(const LocSetupRec& setup, const RegisterImages& images);

}  // namespace kvn

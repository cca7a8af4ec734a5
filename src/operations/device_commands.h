#pragma once
#include "operations/device_context.h"

namespace kvn {

class ModbusMaster;
class Pause;
class Prompts;

// The device commands outside a programming session: clearing the min/max values and the
// error memory, and test-and-reset switched on and off or pulsed. Each is a single register
// written while the poll timer is stopped; the next poll shows what the device made of it.
class DeviceCommands {
 public:
  struct Services : DeviceContext {
    ModbusMaster& master;
    Prompts& prompts;
    Pause& pause;
  };

  static constexpr int kPulseMs = 100;

  explicit DeviceCommands(Services services) : s_(std::move(services)) {}

  void cmd_clr_minmaxClick();
  void cmd_reset_errClick();
  void cmd_ppt_onClick();
  void cmd_ppt_pulseClick();

 private:
  void SendDeviceCommand(int command);
  bool ConfirmTestOn();
  bool WriteTestRequest(int value);

  Services s_;
};

}  // namespace kvn

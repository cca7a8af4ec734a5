#include "operations/device_commands.h"

#include "device_link/block_table.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "operations/device_transaction.h"
#include "parameters/parameter_table.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"

namespace kvn {
namespace {

enum Msg {
  kMsgConfirmDiagnosticsAndTest = 42,
  kMsgConfirmTest = 80,
};

// Register 111: what the device is told to clear.
enum DeviceCommand { ClearMinMax = 1, ResetErrorMemory = 2 };


}  // namespace

// The value goes through EditImage like every other write; its effect shows with the next poll.
void DeviceCommands::SendDeviceCommand(int command) {
  RegisterImage& edit = s_.images.EditImage;
  edit[static_cast<size_t>(reg::ClearCommand)] = command;
  const PollTimerStopped noPoll(s_.timer);
  s_.master.WriteWithRetry(s_.setup.addr, reg::ClearCommand,
                           std::span<const int32_t>(edit.data() + reg::ClearCommand, 1));
}

void DeviceCommands::cmd_clr_minmaxClick() { SendDeviceCommand(ClearMinMax); }
void DeviceCommands::cmd_reset_errClick() { SendDeviceCommand(ResetErrorMemory); }

// The test switches relays: which ones depends on the device's test-and-reset action.
bool DeviceCommands::ConfirmTestOn() {
  const bool withDiagnostics = Cell(s_.images.DeviceImage, ParamRegs().testAction) != 0;
  return s_.prompts.ConfirmOkCancel(
      s_.texts.GetMessageText(withDiagnostics ? kMsgConfirmDiagnosticsAndTest : kMsgConfirmTest));
}

// The requested state is kept in the polled cell until the next poll overwrites it.
bool DeviceCommands::WriteTestRequest(int value) {
  RegisterImage& device = s_.images.DeviceImage;
  device[static_cast<size_t>(reg::TestReset)] = value;
  return s_.master.WriteWithRetry(s_.setup.addr, reg::TestReset,
                                  std::span<const int32_t>(device.data() + reg::TestReset, 1));
}

void DeviceCommands::cmd_ppt_onClick() {
  const bool testOn = Cell(s_.images.DeviceImage, reg::TestReset) != 0;
  if (!testOn && !ConfirmTestOn()) return;
  const PollTimerStopped noPoll(s_.timer);
  WriteTestRequest(testOn ? 0 : 1);
}

// No poll may read register 112 between the two writes, and the test must always end: the
// closing 0 goes out also when the 1 did not.
void DeviceCommands::cmd_ppt_pulseClick() {
  if (Cell(s_.images.DeviceImage, reg::TestReset) == 0 && !ConfirmTestOn()) return;
  const PollTimerStopped noPoll(s_.timer);
  WriteTestRequest(1);
  s_.pause.Wait(kPulseMs);
  WriteTestRequest(0);
}

}  // namespace kvn

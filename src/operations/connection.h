#pragma once
#include <functional>

#include "device_link/register_image.h"
#include "operations/device_context.h"
#include "operations/device_reading.h"
#include "operations/poll_state.h"

namespace kvn {

class BlockTransfer;
class ParameterForm;
class Prompts;
class SerialLink;
class Texts;
struct InterfaceSettings;
struct LocSetupRec;

// How a read of the device's parameters into the window ended.
enum class ReadOutcome {
  Adopted,    // read and shown
  Declined,   // read, differs, and the engineer kept the window's values
  Unchanged,  // read and equal to what the window holds
  Failed,     // not read (its message has been shown)
};

// The status panel's interface text: "COM3 (USB)" or "COM3; 19200; even".
QString InterfaceLabelText(const InterfaceSettings& settings);

// Opening the link, judging the polled device, the status panel and the enabling of the
// device commands, reading the device's parameter set into the form, and off-line mode.
class Connection {
 public:
  struct Services : DeviceContext {
    Prompts& prompts;
    ParameterForm& form;
    // Brings the access-level display in line with the level the device reports.
    std::function<void()> apply_access_level;
    // Enables the window's commands from the current state (the program's command table).
    std::function<void()> apply_command_states;
  };

  explicit Connection(Services services) : s_(std::move(services)) {}

  void Connect();
  void ShowLinkStatus(PollPhase previousPhase);
  ReadOutcome ReadDeviceSettings();
  // ReadDeviceSettings, and an adopted set counts as loaded, as after "Read device settings".
  ReadOutcome RereadDeviceSettings();
  void UpdateModeDisplay();

  void cmd_read_paramClick();
  void chk_off_lineClick(bool ticked);

 private:
  void ShowStatusText(int message, const QColor& colour);
  void ApplyCommandStates();
  void DisableRs485PasswordControls();
  bool ReadsPasswordBlock() const;
  void EnableConfigurationPanels(bool enabled);
  void ApplyAccessLevel();

  Services s_;
};

}  // namespace kvn

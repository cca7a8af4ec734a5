#pragma once
#include <QColor>
#include <functional>

#include "operations/poll_state.h"
#include "ui/window_controls.h"

namespace kvn {

class ParameterForm;
class Texts;
struct LocSetupRec;
struct RegisterImages;

// What the window shows of the link and the device: the status panel (interface, address,
// device status, serial and tag number), the test-and-reset button's caption, the pages and
// configuration panels that follow off-line mode and a loaded set, and the admin-password row
// that RS-485 leaves out of use.
class ConnectionDisplay {
 public:
  struct Services {
    WindowControls controls;
    const Texts& texts;
    LocSetupRec& setup;
    const RegisterImages& images;
    PollState& poll;
    ParameterForm& form;
    // Brings the access-level display in line with the level the device reports.
    std::function<void()> apply_access_level;
    // Enables the window's commands from the current state (the program's command table).
    std::function<void()> apply_command_states;
  };

  explicit ConnectionDisplay(Services services) : s_(std::move(services)) {}

  // The link has been opened (or could not be): the interface and address labels.
  void ShowInterface(bool open);
  void ShowLinkStatus(PollPhase previousPhase);
  void UpdateModeDisplay();

 private:
  void ShowStatusText(int message, const QColor& colour);
  void ApplyCommandStates();
  void ApplyAccessLevel();
  void DisableRs485PasswordControls();
  void EnableConfigurationPanels(bool enabled);

  Services s_;
};

}  // namespace kvn

#pragma once
#include <QString>
#include <functional>

#include "operations/device_context.h"
#include "ui/window_controls.h"

namespace kvn {

class ModbusMaster;
class ParameterForm;
class Prompts;

// The access level the device granted and what the window makes of it: the permission menu
// and its check marks, the level in the status panel and the admin-password row; the admin
// login and the return to user level.
class AccessLevel {
 public:
  struct Services : DeviceContext {
    WindowControls controls;
    ModbusMaster& master;
    Prompts& prompts;
    ParameterForm& form;
    // Enables the window's commands from the current state; the permission menu follows
    // the level through it.
    std::function<void()> apply_command_states;
  };

  explicit AccessLevel(Services services) : s_(std::move(services)) {}

  void apply_access_level();
  void update_password_edit();

  void men_perm_adminClick();
  void men_perm_userClick();
  // At quit: a device left at admin level is sent back to user level and asked what it now
  // grants. Empty when nothing was needed or the device is at user level; otherwise why not.
  QString LogOutOnQuit();
  void chk_act_passClick() { update_password_edit(); }

 private:
  void ShowLevel(int level);
  void SetCheckMarks(bool admin, bool user);
  void RestoreCheckMarks();
  void EnablePasswordRow(bool enabled);

  Services s_;
  // The check marks as the level last set them. A checkable menu item flips its own mark
  // when chosen; the mark must show the level, so the handlers put it back first.
  bool adminChecked_ = false;
  bool userChecked_ = false;
};

}  // namespace kvn

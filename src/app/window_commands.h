#pragma once
#include <QStringList>
#include <optional>
#include <span>

#include "device_link/register_image.h"
#include "operations/poll_state.h"
#include "ui/window_controls.h"
#include "texts/setup_record.h"

namespace kvn {

class Application;
class TMain_Form;

// Everything the enabling of the window's commands depends on, taken after every poll and
// every change of mode.
struct CommandState {
  bool offline = false;      // off-line mode: no device, whatever the last poll said
  bool usb = false;          // link over the device's USB port, else RS-485
  bool accepted = false;     // the last poll was good and the device accepted
  bool programming = false;  // register 15, low byte non-zero
  bool testActive = false;   // register 112 non-zero
  bool remoteTest = false;   // register 556 non-zero: the remote test input is closed
  int accessLevel = -1;      // -1 none (off-line or RS-485), 0 user, 1 admin
  bool setLoaded = false;    // EditImage holds a complete parameter set
};

CommandState CurrentCommandState(const LocSetupRec& setup, const PollState& poll,
                                 const RegisterImages& images);

class WindowCommands;

enum class Handling {
  Handler,      // the row's member function handles it
  NotBuiltYet,  // present in the window, does nothing yet
  OpensMenu,    // a menu of the menu bar: its items are the commands
};

// One row per command of the window: a button, check box or scroll bar in a container, or
// a menu item (container::Menu). enabled is nullptr when no state changes the control, and
// a rule answers nullopt for a state in which the control keeps what it shows. keys are the
// desktop's usual keys for the command (QKeySequence's portable text), acting only while the
// control is enabled.
struct CommandRow {
  const char* name;
  int container;
  Handling handling;
  void (WindowCommands::*handler)();
  std::optional<bool> (*enabled)(const CommandState&);
  const char* keys = nullptr;
};

std::span<const CommandRow> CommandTable();

// The handlers of the window's commands, connected from the table, and the one place that
// enables the commands from the state.
class WindowCommands {
 public:
  WindowCommands(Application& app, TMain_Form& window);

  // Connects every built row's handler. Returns the names the window lacks.
  QStringList Connect();
  void ApplyStates(const CommandState& state);
  void ApplyStates();  // from the program's current state

  void cmd_read_paramClick();
  void chk_off_lineClick();
  void scr_err_labChange();
  void scr_emem_labChange();
  void cmd_load_logClick();
  void cmd_export_logClick();
  void grd_logClick();
  void men_settings_ifClick();
  void men_settings_plotClick();
  void men_file_aboutClick();
  void men_file_quitClick();
  void men_file_save_cfgClick();
  void men_file_load_cfgClick();
  void men_file_cmp_devClick();
  void men_file_cmp_fileClick();
  void men_file_historyClick();
  void men_file_records_serverClick();
  void Button8Click();  // exports the base language file
  void men_perm_adminClick();
  void men_perm_userClick();
  void chk_act_passClick();
  void cmd_clr_minmaxClick();
  void cmd_reset_errClick();
  void cmd_ppt_onClick();
  void cmd_ppt_pulseClick();
  void cmd_out_reportClick();
  void cmd_plot_pdfClick();
  // Programming session and default setups.
  void cmd_enter_progClick();
  void cmd_abort_progClick();
  void cmd_save_progClick();
  void men_dev_restoreClick();
  void men_dev_saveClick();

 private:
  QWidget* ControlOf(const CommandRow& row) const;
  void MoveFocusOn(const QWidget& disabled);

  Application& app_;
  TMain_Form& window_;
  WindowControls controls_;  // the poll enables the same controls twice a second: cached look-ups
};

}  // namespace kvn

#pragma once
#include <QString>
#include <functional>

#include "device_link/register_image.h"
#include "operations/device_context.h"
#include "operations/device_reading.h"
#include "operations/poll_state.h"

namespace kvn {

class ParameterView;
class Prompts;
struct InterfaceSettings;

// How a read of the device's parameters into the window ended.
enum class ReadOutcome {
  Adopted,    // read and shown
  Declined,   // read, differs, and the engineer kept the window's values
  Unchanged,  // read and equal to what the window holds
  Failed,     // not read (its message has been shown)
};

// The status panel's interface text: "COM3 (USB)" or "COM3; 19200; even".
QString InterfaceLabelText(const InterfaceSettings& settings);

// Opening the link, reading the device's parameter set into the set being edited, and off-line
// mode. What the window shows of it (status panel, enabled panels) is the front end's.
class Connection {
 public:
  struct Services : DeviceContext {
    Prompts& prompts;
    ParameterView& form;
    // The link has been opened (true) or could not be.
    std::function<void(bool)> show_interface;
    // A set has been loaded or off-line mode changed: the front end brings what it shows and
    // enables in line with setup_loaded and offline_mode.
    std::function<void()> update_mode_display;
    // Where the records of the sets read go; empty: nowhere.
    QString workDirectory;
  };

  explicit Connection(Services services) : s_(std::move(services)) {}

  void Connect();
  ReadOutcome ReadDeviceSettings();
  // ReadDeviceSettings, and an adopted set counts as loaded, as after "Read device settings".
  ReadOutcome RereadDeviceSettings();
  void UpdateModeDisplay();

  void cmd_read_paramClick();
  void chk_off_lineClick(bool ticked);

 private:
  bool ReadsPasswordBlock() const;

  // The whole set just read, into the unit's records.
  void Record();

  Services s_;
};

}  // namespace kvn

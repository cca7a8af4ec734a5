#pragma once
#include <QDialog>
#include <functional>

#include "texts/setup_record.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace kvn {

class SerialLink;
class Tcom_scan;
class Texts;

// What opening the interface dialog needs from the main window and the connection: the poll
// timer must be off while ports are probed, and the port is reopened (and the status panel
// refreshed) however the dialog ends.
struct SetupIfHooks {
  std::function<void()> stopTimer;   // Timer1 off
  std::function<void()> connect;      // Connect: reopen with the current settings
  std::function<void()> startTimer;  // Timer1 on
};

// Interface settings: which COM port, USB or RS-485, line settings and Modbus address. Created
// once and reused; every opening presets the controls from the settings again.
class TSetup_if : public QDialog {
  Q_OBJECT

 public:
  TSetup_if(InterfaceSettings& settings, SerialLink& link, Tcom_scan& scanWindow,
            const Texts& texts, QWidget* parent = nullptr);

  // The interface-settings menu item: timer off, port closed and probed with the indicator,
  // list filled, texts and values preset, dialog shown modally, settings stored on OK, then
  // reconnect and timer on whatever the result. Returns QDialog::Accepted or Rejected.
  int Run(const SetupIfHooks& hooks);

  // Rescan...: probes again without the indicator and selects the saved port (or nothing);
  // a port picked but not yet confirmed is dropped.
  void cmb1_com_numEnter();
  void chk1_usb_connClick();
  // USB fixes the line settings, so their controls are disabled while it is ticked.
  void set_enabled();

 private:
  void BuildControls();
  void ScanPorts(bool showIndicator);
  void FillComList();
  void ShowPortDevice();
  void ApplyTexts();
  void PresetFromSettings();
  void StoreSettings();

  InterfaceSettings& settings_;
  SerialLink& link_;
  Tcom_scan& scanWindow_;
  const Texts& texts_;

  QLabel* lbl1_pc_com_;
  QComboBox* cmb1_com_num_;
  QPushButton* cmd1_rescan_;
  QLabel* lbl1_port_device_;
  QCheckBox* chk1_usb_conn_;
  QLabel* lbl1_baud_;
  QComboBox* cmb1_baud_;
  QLabel* lbl1_parity_;
  QComboBox* cmb1_parity_;
  QLabel* lbl1_addr_;
  QComboBox* cmb1_addr_;
  QPushButton* cmd1_ok_;
  QPushButton* cmd1_cancel_;
};

}  // namespace kvn

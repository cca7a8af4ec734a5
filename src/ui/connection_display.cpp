#include "ui/connection_display.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "operations/connection.h"
#include "operations/device_status.h"
#include "parameters/form/parameter_form.h"
#include "texts/setup_record.h"
#include "texts/texts.h"

namespace kvn {
namespace {

// Message numbers of the status texts used here.
enum Msg {
  kMsgNotConnected = 9,
  kMsgOperating = 10,
  kMsgTestResetOn = 43,
  kMsgTestResetOff = 44,
  kMsgOffLine = 57,
  kMsgModbusAddress = 62,
  kMsgUnknownDevice = 63,
  kMsgVersion = 64,
  kMsgModeMismatch = 83,
};

const QColor kRed(0xC0, 0x10, 0x10);
const QColor kDarkGreen(0x00, 0x70, 0x20);
const QColor kBlack(0x00, 0x00, 0x00);

// The configuration panels whose entry controls follow "a parameter set is loaded".
struct Panel {
  const char* name;
  int container;
};
constexpr Panel kConfigurationPanels[] = {
    {"gpl_cfg_user", 3}, {"gpl_cfg_admin", 3}, {"gpl_pass_admin", 3},
    {"gpl_measure", 4},  {"gpl_measure_adv", 4}, {"gpl_dout", 5},
    {"gpl_dout_acc", 5}, {"gpl_aout", 5},        {"gpl_diag", 6},
};

}  // namespace

void ConnectionDisplay::ShowInterface(bool open) {
  const QString name = QStringLiteral("lbl_current_if");
  if (!open) {
    s_.controls.SetText(name, container::Status, QString());
    return;
  }
  s_.controls.SetText(name, container::Status, InterfaceLabelText(s_.setup));
  if (s_.setup.usb) {
    s_.controls.Show(QStringLiteral("lbl_loc_modb_addr"), container::Status, false);
    return;
  }
  s_.controls.SetText(QStringLiteral("lbl_loc_modb_addr"), container::Status,
                      s_.texts.GetMessageText(kMsgModbusAddress) + QLatin1Char(' ') + QString::number(s_.setup.addr));
  s_.controls.Show(QStringLiteral("lbl_loc_modb_addr"), container::Status, true);
}

void ConnectionDisplay::ShowStatusText(int message, const QColor& colour) {
  const QString name = QStringLiteral("lbl_conn_stat");
  s_.controls.SetText(name, container::Status, s_.texts.GetMessageText(message));
  s_.controls.SetTextColour(name, container::Status, colour);
}

void ConnectionDisplay::ApplyAccessLevel() {
  if (s_.apply_access_level) s_.apply_access_level();
}

void ConnectionDisplay::ApplyCommandStates() {
  if (s_.apply_command_states) s_.apply_command_states();
}

// Over RS-485 there is no access level: the admin-password row is out of use.
void ConnectionDisplay::DisableRs485PasswordControls() {
  auto& c = s_.controls;
  c.Enable(QStringLiteral("lbl_show_pass"), container::Device, false);
  if (auto* box = qobject_cast<QCheckBox*>(c.Find(QStringLiteral("chk_act_pass"), container::Device))) {
    box->setChecked(false);
    box->setEnabled(false);
  }
  c.Enable(QStringLiteral("txt_password"), container::Device, false);
  c.SetText(QStringLiteral("lbl_acc_level"), container::Status, QStringLiteral("-"));
}

void ConnectionDisplay::ShowLinkStatus(PollPhase previousPhase) {
  const RegisterImage& device = s_.images.DeviceImage;
  auto& c = s_.controls;
  if (s_.poll.LinkOk) {
    const int status = DeviceStatusMessage(device);
    ShowStatusText(status, status == kMsgOperating ? kBlack : kDarkGreen);
    const bool testOff = Cell(device, reg::TestReset) == 0 && Cell(device, reg::RemoteTestInput) == 0;
    if (auto* button = qobject_cast<QAbstractButton*>(c.Find(QStringLiteral("cmd_ppt_on"), container::ProcessData)))
      button->setText(s_.texts.GetMessageText(testOff ? kMsgTestResetOn : kMsgTestResetOff));
    ApplyCommandStates();
    // Over RS-485 the level is none as well: recording it lets a later link over USB
    // redraw the level instead of keeping the "-".
    if (!s_.setup.usb) DisableRs485PasswordControls();
    ApplyAccessLevel();
    return;
  }
  ApplyCommandStates();
  if (previousPhase == PollPhase::AfterFailedPoll) {
    static constexpr int kByState[] = {kMsgNotConnected, kMsgUnknownDevice, kMsgVersion, kMsgModeMismatch};
    ShowStatusText(kByState[static_cast<int>(s_.poll.DeviceState)], kRed);
  }
  c.SetText(QStringLiteral("lbl_serial_num"), container::Status, QString());
  c.SetText(QStringLiteral("lbl_tag_number"), container::Status, QString());
}

void ConnectionDisplay::EnableConfigurationPanels(bool enabled) {
  for (const Panel& p : kConfigurationPanels) {
    QWidget* panel = s_.controls.Find(QLatin1String(p.name), p.container);
    if (!panel) continue;
    for (QWidget* w : panel->findChildren<QWidget*>()) {
      if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
        w->setEnabled(enabled);
      else if (qobject_cast<QCheckBox*>(w))
        w->setEnabled(s_.form.AllowEnable(w->objectName(), enabled));
    }
  }
}

void ConnectionDisplay::UpdateModeDisplay() {
  auto& c = s_.controls;
  const bool offline = s_.setup.offline_mode != 0;
  if (offline) {
    s_.poll.LinkOk = false;
    s_.poll.ConfigBlocksPolled = false;
    ShowStatusText(kMsgOffLine, kRed);
    ApplyAccessLevel();
  }
  for (const char* page : {"tab_proc_data", "tab_sys_diag", "tab_log"})
    c.ShowPage(QLatin1String(page), !offline);
  if (auto* box = qobject_cast<QCheckBox*>(c.Find(QStringLiteral("chk_off_line"), container::Status))) {
    const QSignalBlocker quiet(box);
    box->setChecked(offline);
  }
  ApplyCommandStates();
  if (s_.setup.setup_loaded) {
    EnableConfigurationPanels(true);
    s_.setup.last_acc_lvl = -2;
    ApplyAccessLevel();
    s_.form.UpdateSensorDependents();
  } else {
    EnableConfigurationPanels(false);
  }
}

}  // namespace kvn

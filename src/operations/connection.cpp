#include "operations/connection.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "device_link/serial_link.h"
#include "operations/device_reading.h"
#include "operations/device_transaction.h"
#include "parameters/form/parameter_form.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"

namespace kvn {
namespace {

// Message numbers of the status texts and questions used here.
enum Msg {
  kMsgNotConnectedHw = 7,
  kMsgReadFailure = 8,
  kMsgNotConnected = 9,
  kMsgOperating = 10,
  kMsgSafeState = 11,
  kMsgProgramming = 12,
  kMsgParametersRead = 20,
  kMsgTestResetOn = 43,
  kMsgTestResetOff = 44,
  kMsgOffLine = 57,
  kMsgModbusAddress = 62,
  kMsgUnknownDevice = 63,
  kMsgVersion = 64,
  kMsgDiffers = 76,
  kMsgSame = 77,
  kMsgSameButPassword = 78,
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

const char* ParityName(int parity) {
  switch (parity) {
    case 1: return "odd";
    case 2: return "even";
    default: return "none";
  }
}

}  // namespace

QString InterfaceLabelText(const InterfaceSettings& settings) {
  if (settings.usb) return settings.com_num + QStringLiteral(" (USB)");
  // The parity names are fixed words, not texts of the table.
  return QStringLiteral("%1; %2; %3")
      .arg(settings.com_num)
      .arg(BaudOfIndex(settings.baud))
      .arg(QLatin1String(ParityName(settings.parity)));
}

void Connection::Connect() {
  const bool open = s_.link.Open();
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

void Connection::ShowStatusText(int message, const QColor& colour) {
  const QString name = QStringLiteral("lbl_conn_stat");
  s_.controls.SetText(name, container::Status, s_.texts.GetMessageText(message));
  s_.controls.SetTextColour(name, container::Status, colour);
}

void Connection::ApplyAccessLevel() {
  if (s_.apply_access_level) s_.apply_access_level();
}

void Connection::ApplyCommandStates() {
  if (s_.apply_command_states) s_.apply_command_states();
}

// Over RS-485 there is no access level: the admin-password row is out of use.
void Connection::DisableRs485PasswordControls() {
  auto& c = s_.controls;
  c.Enable(QStringLiteral("lbl_show_pass"), container::Device, false);
  if (auto* box = qobject_cast<QCheckBox*>(c.Find(QStringLiteral("chk_act_pass"), container::Device))) {
    box->setChecked(false);
    box->setEnabled(false);
  }
  c.Enable(QStringLiteral("txt_password"), container::Device, false);
  c.SetText(QStringLiteral("lbl_acc_level"), container::Status, QStringLiteral("-"));
}

void Connection::ShowLinkStatus(PollPhase previousPhase) {
  const RegisterImage& device = s_.images.DeviceImage;
  auto& c = s_.controls;
  if (s_.poll.LinkOk) {
    if (Cell(device, reg::SafeState) != 0)
      ShowStatusText(InProgrammingMode(device) ? kMsgProgramming : kMsgSafeState, kDarkGreen);
    else
      ShowStatusText(kMsgOperating, kBlack);
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

bool Connection::ReadsPasswordBlock() const { return SetIncludesPassword(s_.images.EditImage, s_.setup); }

ReadOutcome Connection::ReadDeviceSettings() {
  if (!s_.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Edit)) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgNotConnectedHw));
    return ReadOutcome::Failed;
  }
  s_.form.ClearPassword();
  const bool withPassword = ReadsPasswordBlock();
  if (!ReadParameterBlocks(s_.blocks, withPassword)) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgReadFailure));
    s_.form.ClearControls();
    return ReadOutcome::Failed;
  }
  const bool same = !s_.setup.setup_loaded || ParameterBlocksEqual(s_.images.EditImage, s_.images.DeviceImage, withPassword);
  if (!same) {
    if (!s_.prompts.ConfirmOkCancel(s_.texts.GetMessageText(kMsgDiffers))) return ReadOutcome::Declined;
  } else if (s_.setup.setup_loaded) {
    const bool admin = Cell(s_.images.EditImage, reg::AccessLevel) > 0;
    s_.prompts.ShowInfo(s_.texts.GetMessageText(admin ? kMsgSame : kMsgSameButPassword));
    return ReadOutcome::Unchanged;
  }
  AdoptParameterBlocks(s_.blocks, s_.images, withPassword);
  s_.form.FillControls();
  return ReadOutcome::Adopted;
}

ReadOutcome Connection::RereadDeviceSettings() {
  const ReadOutcome outcome = ReadDeviceSettings();
  if (outcome == ReadOutcome::Adopted) {
    s_.setup.setup_loaded = true;
    UpdateModeDisplay();
  }
  return outcome;
}

void Connection::cmd_read_paramClick() {
  const PollTimerStopped noPoll(s_.timer);
  if (ReadDeviceSettings() != ReadOutcome::Adopted) return;
  s_.prompts.ShowInfo(s_.texts.GetMessageText(kMsgParametersRead));
  s_.setup.setup_loaded = true;
  UpdateModeDisplay();
}

void Connection::chk_off_lineClick(bool ticked) {
  s_.setup.offline_mode = ticked ? 1 : 0;
  if (ticked) s_.form.ClearPassword();
  UpdateModeDisplay();
}

void Connection::EnableConfigurationPanels(bool enabled) {
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

void Connection::UpdateModeDisplay() {
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

#include "ui/access_level.h"

#include <QAction>
#include <QCheckBox>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "operations/admin_login.h"
#include "operations/device_transaction.h"
#include "parameters/device_access.h"
#include "parameters/form/parameter_form.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "texts/tr_context.h"

namespace kvn {
namespace {

KVN_TR_CONTEXT(kvn::AccessLevel)

enum Msg {
  kMsgEnterPassword = 19,
  kMsgAdmin = 51,
  kMsgUser = 52,
  kMsgGranted = 58,
  kMsgDenied = 59,
};

}  // namespace

void AccessLevel::SetCheckMarks(bool admin, bool user) {
  adminChecked_ = admin;
  userChecked_ = user;
  RestoreCheckMarks();
}

void AccessLevel::RestoreCheckMarks() {
  if (QAction* item = s_.controls.MenuItem(QStringLiteral("men_perm_admin"))) item->setChecked(adminChecked_);
  if (QAction* item = s_.controls.MenuItem(QStringLiteral("men_perm_user"))) item->setChecked(userChecked_);
}

// Below admin level the box is also unticked, so a return to admin starts unticked.
void AccessLevel::EnablePasswordRow(bool enabled) {
  s_.controls.Enable(QStringLiteral("lbl_show_pass"), container::Device, enabled);
  auto* box = qobject_cast<QCheckBox*>(s_.controls.Find(QStringLiteral("chk_act_pass"), container::Device));
  if (!box) return;
  if (!enabled) box->setChecked(false);
  box->setEnabled(enabled);
}

void AccessLevel::ShowLevel(int level) {
  const QString label = QStringLiteral("lbl_acc_level");
  switch (level) {
    case 0:
      SetCheckMarks(false, true);
      EnablePasswordRow(false);
      s_.controls.SetText(label, container::Status, s_.texts.GetMessageText(kMsgUser));
      break;
    case 1:
      SetCheckMarks(true, false);
      EnablePasswordRow(true);
      s_.controls.SetText(label, container::Status, s_.texts.GetMessageText(kMsgAdmin));
      break;
    default:  // no level (off-line, RS-485) or one this program does not know
      EnablePasswordRow(false);
      s_.controls.SetText(label, container::Status, QStringLiteral("-"));
      break;
  }
}

void AccessLevel::apply_access_level() {
  const int level = DeviceAccessLevel(s_.setup, s_.images);
  if (level != s_.setup.last_acc_lvl) {
    ShowLevel(level);
    s_.setup.last_acc_lvl = level;
    if (s_.apply_command_states) s_.apply_command_states();  // the permission menu
  }
  update_password_edit();
}

void AccessLevel::update_password_edit() {
  auto* box = qobject_cast<QCheckBox*>(s_.controls.Find(QStringLiteral("chk_act_pass"), container::Device));
  const bool usable = box && box->isChecked() && box->isEnabled();
  s_.controls.Enable(QStringLiteral("txt_password"), container::Device, usable);
}

// The device alone judges the password: what it reports in register 14 afterwards decides.
void AccessLevel::men_perm_adminClick() {
  RestoreCheckMarks();
  const QString title = s_.controls.Root().windowTitle();
  const std::optional<QString> typed =
      s_.prompts.InputText(title, s_.texts.GetMessageText(kMsgEnterPassword), true);
  if (!typed) return;
  const PollTimerStopped noPoll(s_.timer);
  const Hourglass hourglass;
  if (!LogIn(s_.master, s_.blocks, s_.images, s_.setup, *typed)) return;
  if (Cell(s_.images.DeviceImage, reg::AccessLevel) > 0)
    s_.prompts.ShowInfo(s_.texts.GetMessageText(kMsgGranted));
  else
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgDenied));
  apply_access_level();
}

// The window goes to user level even when the device did not hear it: showing admin rights
// the engineer gave up would be worse than showing too few until the next poll.
void AccessLevel::men_perm_userClick() {
  RestoreCheckMarks();
  s_.form.ClearPassword();
  const PollTimerStopped noPoll(s_.timer);
  LogOut(s_.master, s_.images, s_.setup);
  s_.images.DeviceImage[static_cast<size_t>(reg::AccessLevel)] = 0;
  apply_access_level();
}

// Whoever uses the device next, with this program or any Modbus tool, must not find the
// engineer's admin rights; the device's own answer afterwards says whether it dropped them.
QString AccessLevel::LogOutOnQuit() {
  if (DeviceAccessLevel(s_.setup, s_.images) != 1) return {};
  const Hourglass hourglass;
  if (!LogOut(s_.master, s_.images, s_.setup))
    return Tr("Logout at quit failed: the device did not answer and may still grant admin access.");
  if (!s_.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Device))
    return Tr("Logout at quit: the device did not report its access level afterwards.");
  if (Cell(s_.images.DeviceImage, reg::AccessLevel) != 0)
    return Tr("Logout at quit failed: the device still grants admin access.");
  return {};
}

}  // namespace kvn

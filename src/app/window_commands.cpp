#include "app/window_commands.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QPointer>
#include <algorithm>
#include <iterator>

#include "app/application.h"
#include "device_link/block_table.h"
#include "parameters/device_access.h"
#include "operations/comparison.h"
#include "operations/configuration_file.h"
#include "ui/access_level.h"
#include "operations/connection.h"
#include "operations/default_setup.h"
#include "operations/device_commands.h"
#include "ui/live_data.h"
#include "operations/programming_session.h"
#include "ui/report_commands.h"
#include "parameters/form/find_control.h"
#include "texts/language_pack.h"
#include "ui/about_dialog.h"
#include "ui/event_log_page.h"
#include "ui/main_menu.h"
#include "ui/setup_diag_dialog.h"

namespace kvn {
namespace {

using W = WindowCommands;
using Rule = std::optional<bool> (*)(const CommandState&);

// The device's own commands need an accepted device; most of them its USB port.
std::optional<bool> Accepted(const CommandState& s) { return s.accepted && !s.offline; }
std::optional<bool> OverUsb(const CommandState& s) { return Accepted(s).value() && s.usb; }
std::optional<bool> CanEnterProgramming(const CommandState& s) { return OverUsb(s).value() && !s.programming; }
std::optional<bool> InProgramming(const CommandState& s) { return OverUsb(s).value() && s.programming; }
// Over RS-485 the test buttons keep what an earlier poll over USB gave them.
std::optional<bool> TestSwitch(const CommandState& s) {
  if (!Accepted(s).value()) return false;
  if (!s.usb) return std::nullopt;
  return !s.remoteTest;
}
std::optional<bool> TestPulse(const CommandState& s) {
  if (!Accepted(s).value()) return false;
  if (!s.usb) return std::nullopt;
  return !s.remoteTest && !s.testActive;
}
// Levels exist over USB only, and only the two the program knows can be chosen between.
std::optional<bool> LevelChoice(const CommandState& s) {
  return OverUsb(s).value() && (s.accessLevel == 0 || s.accessLevel == 1);
}
std::optional<bool> SetLoaded(const CommandState& s) { return s.setLoaded; }

constexpr Rule kNoRule = nullptr;
constexpr Handling H = Handling::Handler;
constexpr Handling kNotBuilt = Handling::NotBuiltYet;
constexpr Handling kMenu = Handling::OpensMenu;

constexpr CommandRow kRows[] = {
    // Status panel
    {"cmd_read_param", container::Status, H, &W::cmd_read_paramClick, Accepted, "F5"},
    {"cmd_enter_prog", container::Status, H, &W::cmd_enter_progClick, CanEnterProgramming},
    {"cmd_save_prog", container::Status, H, &W::cmd_save_progClick, InProgramming},
    {"cmd_abort_prog", container::Status, H, &W::cmd_abort_progClick, InProgramming},
    {"chk_off_line", container::Status, H, &W::chk_off_lineClick, kNoRule},
    {"Button8", container::Status, H, &W::Button8Click, kNoRule},  // hidden for good
    // DEVICE
    {"chk_act_pass", container::Device, H, &W::chk_act_passClick, kNoRule},
    // PROCESS DATA
    {"cmd_clr_minmax", container::ProcessData, H, &W::cmd_clr_minmaxClick, OverUsb},
    {"cmd_ppt_on", container::ProcessData, H, &W::cmd_ppt_onClick, TestSwitch},
    {"cmd_ppt_pulse", container::ProcessData, H, &W::cmd_ppt_pulseClick, TestPulse},
    {"cmd_plot_pdf", container::ProcessData, H, &W::cmd_plot_pdfClick, kNoRule},
    // DEVICE STATUS
    {"cmd_reset_err", container::DeviceStatus, H, &W::cmd_reset_errClick, OverUsb},
    {"scr_err_lab", container::DeviceStatus, H, &W::scr_err_labChange, kNoRule},
    {"scr_emem_lab", container::DeviceStatus, H, &W::scr_emem_labChange, kNoRule},
    // EVENT LOG
    {"cmd_load_log", container::Log, H, &W::cmd_load_logClick, Accepted},
    {"cmd_export_log", container::Log, H, &W::cmd_export_logClick, kNoRule},
    {"grd_log", container::Log, H, &W::grd_logClick, kNoRule},
    // REPORT
    {"cmd_out_report", container::Report, H, &W::cmd_out_reportClick, kNoRule},
    // Menus
    {"men_file", container::Menu, kMenu, nullptr, kNoRule},
    {"men_file_load_cfg", container::Menu, H, &W::men_file_load_cfgClick, kNoRule, "Ctrl+O"},
    {"men_file_save_cfg", container::Menu, H, &W::men_file_save_cfgClick, SetLoaded, "Ctrl+S"},
    // The comparisons say themselves what they lack (a set, a device): no rule of their own.
    {"men_file_cmp_dev", container::Menu, H, &W::men_file_cmp_devClick, kNoRule},
    {"men_file_cmp_file", container::Menu, H, &W::men_file_cmp_fileClick, kNoRule},
    // The records are read and set with or without a device.
    {"men_file_history", container::Menu, H, &W::men_file_historyClick, kNoRule},
    {"men_file_records_server", container::Menu, H, &W::men_file_records_serverClick, kNoRule},
    {"men_file_quit", container::Menu, H, &W::men_file_quitClick, kNoRule, "Ctrl+Q"},
    {"men_file_about", container::Menu, H, &W::men_file_aboutClick, kNoRule},
    {"men_perm", container::Menu, kMenu, nullptr, LevelChoice},
    {"men_perm_admin", container::Menu, H, &W::men_perm_adminClick, kNoRule},
    {"men_perm_user", container::Menu, H, &W::men_perm_userClick, kNoRule},
    {"men_settings", container::Menu, kMenu, nullptr, kNoRule},
    {"men_settings_if", container::Menu, H, &W::men_settings_ifClick, kNoRule},
    {"men_settings_plot", container::Menu, H, &W::men_settings_plotClick, kNoRule},
    {"men_device", container::Menu, kMenu, nullptr, InProgramming},
    {"men_dev_restore", container::Menu, H, &W::men_dev_restoreClick, kNoRule},
    {"men_dev_save", container::Menu, H, &W::men_dev_saveClick, kNoRule},
};

// A click on a cell selects its row, and so does moving to it with the keys; the header is
// the grid's row 0 and selects no entry.
template <typename Call>
void ConnectGridClick(QTableWidget& grid, QObject& context, Call call) {
  QObject::connect(&grid, &QTableWidget::cellClicked, &context, call);
  QObject::connect(&grid, &QTableWidget::currentCellChanged, &context, call);
  QObject::connect(grid.horizontalHeader(), &QHeaderView::sectionClicked, &context, [&grid, call] {
    grid.setCurrentItem(nullptr);
    call();
  });
}

// A menu item shows its keys beside its caption. A button gets a shortcut of the window
// instead of its own, which every caption with a mnemonic would replace.
void BindKeys(const CommandRow& row, QObject& control, QWidget& window) {
  if (!row.keys) return;
  const QKeySequence keys(QString::fromLatin1(row.keys));
  if (auto* item = qobject_cast<QAction*>(&control)) {
    item->setShortcut(keys);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
    auto* shortcut = new QShortcut(keys, &window);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled()) button->click();
    });
  }
}

}  // namespace

std::span<const CommandRow> CommandTable() { return kRows; }

CommandState CurrentCommandState(const LocSetupRec& setup, const PollState& poll,
                                 const RegisterImages& images) {
  const RegisterImage& device = images.DeviceImage;
  CommandState s;
  s.offline = setup.offline_mode != 0;
  s.usb = setup.usb;
  s.accepted = poll.LinkOk;
  s.programming = (Cell(device, reg::ProgStatus) & 0xFF) != 0;
  s.testActive = Cell(device, reg::TestReset) != 0;
  s.remoteTest = Cell(device, reg::RemoteTestInput) != 0;
  s.accessLevel = DeviceAccessLevel(setup, images);
  s.setLoaded = setup.setup_loaded;
  return s;
}

WindowCommands::WindowCommands(Application& app, TMain_Form& window)
    : app_(app), window_(window), controls_(window) {}

QStringList WindowCommands::Connect() {
  TMain_Form& w = window_;
  QStringList missing;
  for (const CommandRow& row : kRows) {
    const QString name = QString::fromLatin1(row.name);
    QObject* control = row.container == container::Menu
                           ? static_cast<QObject*>(FindMenuItem(*w.men_main, name))
                           : FindControl(w, name, row.container);
    if (!control) {
      missing << name;
      continue;
    }
    if (!row.handler) continue;
    BindKeys(row, *control, w);
    const auto handler = row.handler;
    auto call = [this, handler] { (this->*handler)(); };
    if (auto* item = qobject_cast<QAction*>(control))
      QObject::connect(item, &QAction::triggered, &w, call);
    else if (auto* box = qobject_cast<QCheckBox*>(control))
      QObject::connect(box, &QCheckBox::toggled, &w, call);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
      QObject::connect(button, &QAbstractButton::clicked, &w, call);
    else if (auto* bar = qobject_cast<QScrollBar*>(control))
      QObject::connect(bar, &QScrollBar::valueChanged, &w, call);
    else if (auto* grid = qobject_cast<QTableWidget*>(control))
      ConnectGridClick(*grid, w, call);
    else
      missing << name + QStringLiteral(" (no signal to connect)");
  }
  return missing;
}

QWidget* WindowCommands::ControlOf(const CommandRow& row) const {
  if (row.container == container::Menu) return nullptr;
  return controls_.Find(QString::fromLatin1(row.name), row.container);
}

// Qt hands the focus of a control that becomes disabled to the next one in the tab chain,
// which can be "Off-line mode", where the next Space drops the device. The focus goes to the
// next enabled device command of the same panel instead, or nowhere.
void WindowCommands::MoveFocusOn(const QWidget& disabled) {
  const auto at = std::find_if(std::begin(kRows), std::end(kRows),
                               [&](const CommandRow& row) { return ControlOf(row) == &disabled; });
  if (at == std::end(kRows)) return;
  const std::ptrdiff_t count = std::size(kRows);
  for (std::ptrdiff_t step = 1; step < count; ++step) {
    const CommandRow& row = kRows[(at - std::begin(kRows) + step) % count];
    if (row.container != at->container || !row.enabled) continue;
    QWidget* control = ControlOf(row);
    if (control && control->isEnabled() && control->isVisible()) {
      control->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
  if (QWidget* now = window_.focusWidget()) now->clearFocus();
}

void WindowCommands::ApplyStates(const CommandState& state) {
  const QPointer<QWidget> focused = window_.focusWidget();
  for (const CommandRow& row : kRows) {
    if (!row.enabled) continue;
    const std::optional<bool> enabled = row.enabled(state);
    if (!enabled) continue;
    const QString name = QString::fromLatin1(row.name);
    if (row.container == container::Menu)
      controls_.EnableMenu(name, *enabled);
    else
      controls_.Enable(name, row.container, *enabled);
  }
  if (focused && !focused->isEnabled()) MoveFocusOn(*focused);
}

void WindowCommands::ApplyStates() {
  ApplyStates(CurrentCommandState(app_.setup, app_.poll, *app_.images));
}

void WindowCommands::cmd_read_paramClick() { app_.connection->cmd_read_paramClick(); }

void WindowCommands::chk_off_lineClick() {
  app_.connection->chk_off_lineClick(window_.chk_off_line->isChecked());
}

void WindowCommands::scr_err_labChange() { app_.live->scr_err_labChange(); }
void WindowCommands::scr_emem_labChange() { app_.live->scr_emem_labChange(); }
void WindowCommands::cmd_load_logClick() { app_.eventLogPage->cmd_load_logClick(); }
void WindowCommands::cmd_export_logClick() { app_.eventLogPage->cmd_export_logClick(); }

void WindowCommands::grd_logClick() {
  auto* grid = qobject_cast<QTableWidget*>(FindControl(window_, QStringLiteral("grd_log"), container::Log));
  app_.eventLogPage->grd_logClick(grid && grid->currentItem() ? grid->currentRow() + 1 : 0);
}

void WindowCommands::men_settings_ifClick() { app_.OpenInterfaceSettings(); }
// The plot takes its new look from the next poll's redraw; off-line it keeps its picture.
void WindowCommands::men_settings_plotClick() { app_.setupPlot->Run(); }
void WindowCommands::men_file_aboutClick() { app_.about->Run(window_.windowTitle()); }
void WindowCommands::men_file_quitClick() { window_.men_file_quitClick(); }
void WindowCommands::men_file_save_cfgClick() { app_.configuration->men_file_save_cfgClick(); }
void WindowCommands::men_file_load_cfgClick() { app_.configuration->men_file_load_cfgClick(); }
void WindowCommands::men_file_cmp_devClick() { app_.comparison->men_file_cmp_devClick(); }
void WindowCommands::men_file_cmp_fileClick() { app_.comparison->men_file_cmp_fileClick(); }
void WindowCommands::men_file_historyClick() { app_.OpenChangeHistory(); }
void WindowCommands::men_file_records_serverClick() { app_.OpenRecordsServer(); }
// The translator's template goes where the program looks for packs.
void WindowCommands::Button8Click() {
  ExportBaseLanguage(QDir::currentPath(), app_.texts, app_.prompts);
}
void WindowCommands::men_perm_adminClick() { app_.access->men_perm_adminClick(); }
void WindowCommands::men_perm_userClick() { app_.access->men_perm_userClick(); }
void WindowCommands::chk_act_passClick() { app_.access->chk_act_passClick(); }
void WindowCommands::cmd_clr_minmaxClick() { app_.deviceCommands->cmd_clr_minmaxClick(); }
void WindowCommands::cmd_reset_errClick() { app_.deviceCommands->cmd_reset_errClick(); }
void WindowCommands::cmd_ppt_onClick() { app_.deviceCommands->cmd_ppt_onClick(); }
void WindowCommands::cmd_ppt_pulseClick() { app_.deviceCommands->cmd_ppt_pulseClick(); }
void WindowCommands::cmd_out_reportClick() { app_.reports->cmd_out_reportClick(); }
void WindowCommands::cmd_plot_pdfClick() { app_.reports->cmd_plot_pdfClick(); }

// Programming session and default setups.
void WindowCommands::cmd_enter_progClick() { app_.session->AskToEnter(); }
void WindowCommands::cmd_abort_progClick() { app_.session->Abort(); }
void WindowCommands::cmd_save_progClick() { app_.session->AskToProgram(); }
void WindowCommands::men_dev_restoreClick() { OpenRestoreDefault(*app_.session); }
void WindowCommands::men_dev_saveClick() { OpenSaveDefault(*app_.session); }

}  // namespace kvn

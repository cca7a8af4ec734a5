// The window's command table on the real program: every button and menu item has its row,
// the built ones are connected, and the enabling follows the device-state tables for every
// combination of the state.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>
#include <map>
#include <set>

#include "app/window_commands.h"
#include "e2e/live_app.h"
#include "parameters/form/find_control.h"
#include "ui/main_menu.h"

namespace kvn::test {
namespace {

class Commands : public LiveApp {
 protected:
  void SetUp() override {
    LiveApp::SetUp();
    StartProgram();
  }
  QObject* Object(const CommandRow& row) const {
    const QString name = QString::fromLatin1(row.name);
    if (row.container == container::Menu) return FindMenuItem(*app->Window().men_main, name);
    return FindControl(app->Window(), name, row.container);
  }
  bool IsEnabled(const CommandRow& row) const {
    QObject* o = Object(row);
    if (auto* a = qobject_cast<QAction*>(o)) return a->isEnabled();
    return qobject_cast<QWidget*>(o)->isEnabled();
  }
  void SetEnabled(const CommandRow& row, bool on) const {
    QObject* o = Object(row);
    if (auto* a = qobject_cast<QAction*>(o)) a->setEnabled(on);
    else qobject_cast<QWidget*>(o)->setEnabled(on);
  }
};

// True when a handler in the window's context was connected to the control's command signal
// (a menu's own bookkeeping connection to its items is not one). Breaks the connections:
// call it last.
bool DisconnectCommandSignal(QObject* o, QObject* window) {
  if (qobject_cast<QAction*>(o)) return QObject::disconnect(o, SIGNAL(triggered(bool)), window, nullptr);
  if (qobject_cast<QAbstractButton*>(o))
    return QObject::disconnect(o, SIGNAL(clicked(bool)), window, nullptr) |
           QObject::disconnect(o, SIGNAL(toggled(bool)), window, nullptr);
  if (qobject_cast<QTableWidget*>(o)) return QObject::disconnect(o, SIGNAL(cellClicked(int,int)), window, nullptr);
  return QObject::disconnect(o, SIGNAL(valueChanged(int)), window, nullptr);
}

TEST_F(Commands, EveryButtonAndMenuItemHasOneRowAndTheBuiltOnesAreConnected) {
  EXPECT_TRUE(app->missingCommands.isEmpty()) << app->missingCommands.join(", ").toStdString();
  std::map<QString, int> rows;
  for (const CommandRow& row : CommandTable()) ++rows[QString::fromLatin1(row.name)];
  std::set<QString> commands;
  // The dialogs the window owns have buttons of their own; they are not the window's commands.
  for (auto* b : app->Window().findChildren<QAbstractButton*>())
    if (b->objectName().startsWith(QStringLiteral("cmd_")) && b->window() == &app->Window()) commands.insert(b->objectName());
  for (auto* a : app->Window().men_main->findChildren<QAction*>())
    if (a->objectName().startsWith(QStringLiteral("men_"))) commands.insert(a->objectName());
  for (const QString& name : commands) EXPECT_EQ(rows[name], 1) << name.toStdString();

  for (const CommandRow& row : CommandTable()) {
    QObject* o = Object(row);
    ASSERT_NE(o, nullptr) << row.name;
    switch (row.handling) {
      case Handling::Handler: EXPECT_TRUE(DisconnectCommandSignal(o, &app->Window())) << row.name; break;
      case Handling::NotBuiltYet: EXPECT_FALSE(DisconnectCommandSignal(o, &app->Window())) << row.name << " has a handler: mark it built"; break;
      case Handling::OpensMenu: EXPECT_NE(qobject_cast<QAction*>(o)->menu(), nullptr) << row.name; break;
    }
  }
}

TEST_F(Commands, QuitMenuItemAsksTheQuitQuestion) {
  prompts.QueueYesNo(false);
  FindMenuItem(*app->Window().men_main, QStringLiteral("men_file_quit"))->trigger();
  EXPECT_EQ(prompts.TextsOf(RecordingPrompts::Kind::YesNo), QStringList{"Quit program?"});
}

// The keys every desktop program answers act as their menu item or button does, and only
// while it is enabled: before the device is read there is no set to save, before a good poll
// nothing to read. Each box is told by its kind and its own text (a file dialog's title), so
// a key that opens the wrong box of the right kind fails.
using Shown = std::vector<std::pair<RecordingPrompts::Kind, QString>>;
struct KeyCase {
  const char* name;
  QKeyCombination keys;
  bool polled;   // a good poll first: the device is accepted
  bool setRead;  // the device's settings read first: a set is loaded
  Shown shown;
  bool loadsSet;  // the device's settings are read by the key
};

class DesktopKeys : public Commands, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(DesktopKeys, ActAsTheirCommandWhileItIsEnabled) {
  const KeyCase& c = GetParam();
  if (c.polled) Poll();
  if (c.setRead) {
    app->commands->cmd_read_paramClick();
    Poll();  // the poll after it enables what a loaded set allows
  }
  ASSERT_EQ(app->setup.setup_loaded, c.setRead);
  app->Window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app->Window()));
  prompts.ClearCalls();
  prompts.QueueYesNo(false);  // the quit question, where one comes, answered No
  QTest::keyClick(&app->Window(), c.keys.key(), c.keys.keyboardModifiers());
  Shown shown;
  for (const auto& call : prompts.Calls()) shown.emplace_back(call.kind, call.text);
  EXPECT_EQ(shown, c.shown) << prompts.Describe().toStdString();
  EXPECT_EQ(app->setup.setup_loaded, c.setRead || c.loadsSet);
}

using K = RecordingPrompts::Kind;
INSTANTIATE_TEST_SUITE_P(
    Keys, DesktopKeys,
    ::testing::Values(
        KeyCase{"CtrlOLoadsAConfiguration", Qt::CTRL | Qt::Key_O, false, false, {{K::OpenFile, "Load Config File"}}, false},
        KeyCase{"CtrlSWithoutSetDoesNothing", Qt::CTRL | Qt::Key_S, true, false, {}, false},
        KeyCase{"CtrlSSavesTheSet", Qt::CTRL | Qt::Key_S, true, true, {{K::SaveFile, "Save Config File"}}, false},
        KeyCase{"CtrlQAsksTheQuitQuestion", Qt::CTRL | Qt::Key_Q, false, false, {{K::YesNo, "Quit program?"}}, false},
        KeyCase{"F5BeforeAGoodPollDoesNothing", QKeyCombination(Qt::Key_F5), false, false, {}, false},
        KeyCase{"F5ReadsTheDeviceSettings", QKeyCombination(Qt::Key_F5), true, false, {{K::Info, "Parameters read"}}, true}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// What the device-state tables of the status panel, the test buttons and the programming
// buttons say a control shows; nullopt where they say it keeps its state.
std::optional<bool> Expected(const std::string& name, const CommandState& s) {
  const bool device = s.accepted && !s.offline;
  if (name == "men_file_save_cfg") return s.setLoaded;
  if (name == "cmd_load_log") return device;
  if (!device) return false;  // no device accepted: every device command off
  if (name == "cmd_read_param") return true;
  if (!s.usb) {
    if (name == "cmd_ppt_on" || name == "cmd_ppt_pulse") return std::nullopt;
    return false;  // RS-485: only reading
  }
  if (name == "cmd_enter_prog") return !s.programming;
  if (name == "cmd_save_prog" || name == "cmd_abort_prog" || name == "men_device") return s.programming;
  if (name == "cmd_ppt_on") return !s.remoteTest;
  if (name == "cmd_ppt_pulse") return !s.remoteTest && !s.testActive;
  if (name == "men_perm") return s.accessLevel == 0 || s.accessLevel == 1;  // a level it knows
  return true;  // cmd_clr_minmax, cmd_reset_err
}

TEST_F(Commands, EnablingFollowsTheStateTablesForEveryState) {
  const std::set<std::string> governed = {
      "cmd_read_param", "cmd_enter_prog", "cmd_save_prog", "cmd_abort_prog", "cmd_clr_minmax",
      "cmd_ppt_on",     "cmd_ppt_pulse",  "cmd_reset_err", "cmd_load_log",   "men_perm",
      "men_device",     "men_file_save_cfg"};
  std::set<std::string> seen;
  for (int combination = 0; combination < 128 * 4; ++combination) {
    const int bits = combination % 128;
    CommandState s;
    s.accessLevel = combination / 128 - 1;  // none, user, admin, and one the program does not know
    s.offline = bits & 1;
    s.usb = bits & 2;
    s.accepted = bits & 4;
    s.programming = bits & 8;
    s.testActive = bits & 16;
    s.remoteTest = bits & 32;
    s.setLoaded = bits & 64;
    for (bool before : {false, true}) {
      for (const CommandRow& row : CommandTable())
        if (Object(row)) SetEnabled(row, before);
      app->commands->ApplyStates(s);
      for (const CommandRow& row : CommandTable()) {
        const std::optional<bool> want = governed.count(row.name) ? Expected(row.name, s) : std::nullopt;
        EXPECT_EQ(IsEnabled(row), want.value_or(before)) << row.name << " state bits " << bits << " level " << s.accessLevel << " before " << before;
        if (row.enabled) seen.insert(row.name);
      }
    }
  }
  EXPECT_EQ(seen, governed) << "every control the tables govern has a rule, and no other";
}

}  // namespace
}  // namespace kvn::test

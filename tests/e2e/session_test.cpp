// The programming session and the default setups, driven through the real window against the
// simulator: what reaches the device and in which order, what the dialog says after each step.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTableWidget>
#include <QFile>
#include <QDir>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "e2e/live_app.h"
#include "ui/compare_window.h"
#include "texts/text_record.h"
#include "parameters/config_file.h"
#include "operations/change_record.h"
#include "operations/device_backup.h"
#include "operations/records_history.h"
#include "records/records.h"
#include "support/box_answerer.h"
#include "ui/qt_prompts.h"
#include "operations/connection.h"
#include "operations/programming_session.h"
#include "parameters/qstring_print.h"
#include "parameters/parameter_table.h"
#include "ui/param_upd_dialog.h"

// Readable lists of texts and request words in assertion failures.
inline void PrintTo(const QStringList& list, std::ostream* out) { *out << '{' << list.join(QStringLiteral(" | ")).toStdString() << '}'; }

namespace kvn::test {
namespace {

using Kind = RecordingPrompts::Kind;

// The fixed pauses, recorded instead of slept.
struct RecordedPause : Pause {
  std::vector<int> waits;
  std::function<void()> onWait;  // looks at the program as each pause begins
  void Wait(int ms) override {
    waits.push_back(ms);
    if (onWait) onWait();
  }
};

// Requests as short words: "R0x26" reads 26 registers from 0, "W5500x123" writes 123 from 5500.
QStringList Words(const std::vector<devsim::RecordedRequest>& requests) {
  QStringList words;
  for (const auto& r : requests)
    words << QStringLiteral("%1%2x%3").arg(r.function == 16 ? "W" : "R").arg(r.start).arg(r.count);
  return words;
}

// Writes or read-backs of blocks, in chunks as the transfer makes them.
QStringList Chunks(const char* kind, std::vector<BlockId> ids, int chunk) {
  QStringList words;
  for (BlockId id : ids)
    for (int at = Block(id).start, left = Block(id).count; left > 0; at += chunk, left -= chunk)
      words << QStringLiteral("%1%2x%3").arg(kind).arg(at).arg(std::min(left, chunk));
  return words;
}
QStringList Writes(std::vector<BlockId> ids) { return Chunks("W", ids, 123); }
QStringList Reads(std::vector<BlockId> ids) { return Chunks("R", ids, 125); }

const QString kIdent = QStringLiteral("R0x26");
// The backup before a write operation's first write: the identification and the stored blocks,
// for an admin the password block too, as the device gives it.
const std::vector<BlockId> kStored = {BlockId::UserConfig,  BlockId::AdminConfig, BlockId::FactoryDevice,
                                      BlockId::Measurement, BlockId::Diagnostics, BlockId::FactoryDiagnostics,
                                      BlockId::Output,      BlockId::FactoryOutput};
const QStringList kBackup = QStringList{kIdent} + Reads(kStored);
const QStringList kAdminBackup = QStringList{kIdent} + Reads({BlockId::Password}) + Reads(kStored);
const QString kNotHeld = QStringLiteral(
    "The device answered the commit, but it does not hold the new settings: reading them back found other values. "
    "The new settings are not in force.");
const QString kNewSet = QStringLiteral("The device holds the new settings: they are in force.");
const QString kUnknownSet = QStringLiteral("The device does not answer: which settings are in force is not known.");
// After a save whose answer was lost: the working set as read back, the default not known.
const QString kDefaultNotKnown = QStringLiteral("Whether the new settings were stored as its default is not known.");
const QString kNewWorkingSet = QStringLiteral("The device runs the new settings: they are in force as its working settings.");
const QString kOldSet =
    QStringLiteral("The device still runs its previous settings: the new settings are not in force.");
const QString kWindowKeptOld = QStringLiteral("The window still shows the previous settings.");
const QString kLimitChange = QStringLiteral("Overspeed limit, Relay 1: 3300.00 RPM → 3200.00 RPM");
const QString kModbusAddressChange = QStringLiteral("MODBUS address: 1 → 7");
const QString kCommand = QStringLiteral("W108x1");
constexpr auto kUser = BlockId::UserConfig;
const std::vector<BlockId> kAdminBlocks = {BlockId::UserConfig, BlockId::AdminConfig, BlockId::Measurement,
                                                         BlockId::Diagnostics, BlockId::Output};
const std::vector<BlockId> kAdminWithPassword = {BlockId::Password,    BlockId::UserConfig,
                                                               BlockId::AdminConfig, BlockId::Measurement,
                                                               BlockId::Diagnostics, BlockId::Output};

enum class Level { User, Admin };

class Session : public LiveApp {
 protected:
  static constexpr int kAfterTheGateMs = 300;

  Pause& ProgramPause() override { return quickPause; }

  // The program linked, the device's set read, programming mode entered and polled.
  void Ready(Level level, bool programming = true) {
    StartProgram();
    if (level == Level::Admin) LogInAsAdmin();
    Poll();
    Click("cmd_read_param");
    if (programming) {
      prompts.QueueConfirm(true);
      Click("cmd_enter_prog");
      Poll();
    }
    prompts.ClearCalls();
    sim().ClearRequests();
    quickPause.waits.clear();
  }

  // A button of the main window, as the engineer clicks it. The handler restarts the poll
  // timer; the test ticks the poll itself.
  void Click(const char* name) {
    auto* button = Control<QPushButton>(name);
    ASSERT_NE(button, nullptr) << name;
    button->click();
    timerRestarted = app->Window().Timer1->isActive();
    app->Window().Timer1->stop();
  }
  void Trigger(const char* menuItem) {
    app->Window().findChild<QAction*>(QString::fromLatin1(menuItem))->trigger();
    app->Window().Timer1->stop();
  }

 public:
  using LiveApp::Control;
  void Type(const char* field, const QString& text) {
    auto* edit = Control<QLineEdit>(field);
    edit->setText(text);
    app->form.TakeEdit(edit);
  }
  void TickActivate(bool ticked) { Control<QCheckBox>("chk_act_pass")->setChecked(ticked); }
  void ClearField(const char* name) { Type(name, QString()); }

 protected:

  QString Info() const { return app->paramUpd->findChild<QLabel*>(QStringLiteral("lbl_info"))->text(); }
  QString Msg(int n) const { return app->texts.GetMessageText(n); }
  QStringList Msgs(const std::vector<int>& numbers) const {
    QStringList texts;
    for (int n : numbers) texts << Msg(n);
    return texts;
  }

  // Opens the dialog with `open`, then presses its buttons in order, each after the previous
  // step has returned. Returns the dialog's text when it opened and after every press (empty
  // when it never opened). `during` runs inside the first step, once it repaints.
  QStringList Press(const std::function<void()>& open, std::vector<const char*> buttons,
                    std::function<void()> during = {}) {
    struct Run {
      bool active = true;
      size_t next = 0;
      QStringList texts;
      std::function<void()> pressNext;
      std::function<void()> during;  // held once for every copy of pressNext the timers keep
    };
    auto run = std::make_shared<Run>();
    run->during = std::move(during);
    Tparam_upd* dialog = app->paramUpd.get();
    // The step holds its run weakly: a strong hold from inside its own function would keep
    // both alive for ever, and a timer still pending after the dialog closed finds it gone.
    run->pressNext = [this, weakRun = std::weak_ptr<Run>(run), dialog, buttons]() {
      const auto run = weakRun.lock();
      if (!run || !run->active) return;
      if (!dialog->isVisible()) {
        QTimer::singleShot(0, dialog, run->pressNext);
        return;
      }
      if (run->next == 0) {
        run->texts << Info();
        timerDuringDialog = app->Window().Timer1->isActive();
        title = dialog->windowTitle();
      }
      if (run->next == buttons.size()) {
        ADD_FAILURE() << "the dialog is still open after every press";
        dialog->reject();
        return;
      }
      const QString name = QString::fromLatin1(buttons[run->next++]);
      if (run->during) QTimer::singleShot(0, dialog, std::exchange(run->during, {}));
      if (name == QStringLiteral("Enter")) {
        // The key as the window system gives it: to the focused control.
        QWidget* focused = dialog->focusWidget();
        QTest::keyClick(focused ? focused : dialog, Qt::Key_Return);
      } else {
        auto* button = dialog->findChild<QPushButton*>(name);
        EXPECT_TRUE(button->isVisible()) << name.toStdString() << " pressed while hidden";
        button->click();
      }
      if (!dialog->isVisible()) return;
      run->texts << Info();
      if (afterEachPress) afterEachPress(Info());
      // A key given at once would still meet the gate that keeps input of the step away; a
      // person's next key comes later.
      const bool keyNext = run->next < buttons.size() && buttons[run->next] == std::string_view("Enter");
      QTimer::singleShot(keyNext ? kAfterTheGateMs : 0, dialog, run->pressNext);
    };
    QTimer::singleShot(0, dialog, run->pressNext);
    open();
    run->active = false;
    EXPECT_FALSE(dialog->isVisible());
    return run->texts;
  }
  QStringList Program(std::vector<const char*> buttons, std::function<void()> during = {}) {
    return Press([this] { Click("cmd_save_prog"); }, std::move(buttons), std::move(during));
  }

  QStringList Requests() { return Words(sim().Requests()); }
  bool CommitSent() {
    for (const auto& r : sim().Requests())
      if (r.function == 16 && r.start == reg::ProgCommand) return true;
    return false;
  }
  uint16_t SimRegister(int r) { return sim().Register(r); }
  int StoredCommand() {
    return sim().WithModel([](devsim::DeviceModel& m) { return int{m.Raw()[reg::ProgCommand]}; });
  }

  RecordedPause quickPause;
  // Called after each press of Press() that leaves the dialog open, with its text.
  std::function<void(const QString&)> afterEachPress;
  bool timerDuringDialog = true;
  bool timerRestarted = false;  // by the last clicked button's handler
  QString title;
};

// --- Enter and abort ---------------------------------------------------------------------------

TEST_F(Session, EnterAsksFirstThenWrites51AndTheNextPollShowsProgramming) {
  Ready(Level::User, false);
  Click("cmd_enter_prog");  // the question declined
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Confirm, Msg(18))) << prompts.Describe().toStdString();
  EXPECT_TRUE(Requests().isEmpty());

  prompts.QueueConfirm(true);
  Click("cmd_enter_prog");
  // The set the device runs is kept before programming mode makes it answer with pending writes;
  // the mode is then read, not assumed.
  EXPECT_EQ(Requests(), (kBackup + QStringList{kCommand, kIdent}));
  EXPECT_EQ(StoredCommand(), cmd::EnterProgramming);
  Poll();
  EXPECT_EQ(Text("lbl_conn_stat"), Msg(12));
  EXPECT_TRUE(Enabled("cmd_save_prog"));
  EXPECT_FALSE(Enabled("cmd_enter_prog"));

  sim().ClearRequests();
  prompts.ClearCalls();
  app->poll.ConfigBlocksPolled = true;
  Click("cmd_abort_prog");
  EXPECT_FALSE(app->poll.ConfigBlocksPolled) << "what was written and dropped is read afresh";
  EXPECT_TRUE(prompts.NothingShown());
  EXPECT_EQ(Requests(), (QStringList{kCommand, kIdent}));
  EXPECT_EQ(SimRegister(reg::ProgStatus) & 0xFF, 0);
  Poll();
  EXPECT_EQ(Text("lbl_conn_stat"), Msg(10));
  EXPECT_TRUE(Enabled("cmd_enter_prog"));
}

// --- What each level transfers -----------------------------------------------------------------

struct TransferCase {
  const char* name;
  Level level;
  bool activatePassword;
  std::vector<BlockId> blocks;
};

class Transfer : public Session, public ::testing::WithParamInterface<TransferCase> {};

TEST_P(Transfer, WritesTheLevelsBlocksReadsThemBackThenCommitsOnce) {
  const TransferCase& c = GetParam();
  Ready(c.level);
  if (c.activatePassword) Type("txt_password", QStringLiteral("new-secret"));
  // A password block whose CRC no longer matches is no obstacle while it is not to be set.
  if (!c.activatePassword) app->images->EditImage[Block(BlockId::Password).start] ^= 1;
  TickActivate(c.activatePassword);
  if (c.level == Level::User) prompts.QueueConfirm(true);
  app->poll.ConfigBlocksPolled = true;

  const QStringList texts = Program({"cmd_confirm", "cmd_confirm", "cmd_ok"});

  EXPECT_EQ(texts, Msgs({21, 22, 26}));
  EXPECT_EQ(title, Msg(27));
  EXPECT_EQ(prompts.TextsOf(Kind::Confirm), c.level == Level::User ? QStringList{Msg(79)} : QStringList{});
  EXPECT_EQ(prompts.TextsOf(Kind::Error), QStringList{});
  // The commit counts once the device holds the written blocks: they are read back after it.
  // The backup was taken when programming mode was entered.
  EXPECT_EQ(Requests(), (QStringList{kIdent} + Writes(c.blocks) + Reads(c.blocks) + QStringList{kCommand, kIdent} +
                         Reads(c.blocks)));
  EXPECT_EQ(quickPause.waits, (std::vector<int>{1000, 1000, 1000}));
  EXPECT_EQ(StoredCommand(), cmd::Commit);
  EXPECT_FALSE(timerDuringDialog) << "the poll timer ran while the dialog was open";
  EXPECT_TRUE(timerRestarted);
  EXPECT_FALSE(app->poll.ConfigBlocksPolled);
  if (c.activatePassword) {
    EXPECT_EQ(SimRegister(1000), 'n' | 'e' << 8) << "the new password reached the device";
    EXPECT_EQ(SimRegister(1007), 0x2020);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, Transfer,
    ::testing::Values(TransferCase{"user", Level::User, false, {kUser}},
                      TransferCase{"admin_password_kept", Level::Admin, false, kAdminBlocks},
                      TransferCase{"admin_new_password", Level::Admin, true, kAdminWithPassword}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, AFullAdminTransferIsSevenWriteRequests) {
  EXPECT_EQ(Writes(kAdminWithPassword).size(), 7);
  EXPECT_EQ(Writes({BlockId::Output}), (QStringList{"W5500x123", "W5623x27"}));
}

// --- Entry checks before the dialog ------------------------------------------------------------

struct EntryCase {
  const char* name;
  std::function<void(Session&)> spoil;
  int message;
  int page;
  const char* focused;
  bool saveAsDefault = false;  // opened by "Save current setup as default", else "Program device settings"
};

class EntryCheck : public Session, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryCheck, StopsBeforeTheDialogWithThePageAndEntryInFront) {
  const EntryCase& c = GetParam();
  Ready(Level::Admin);
  app->Window().pg_ctrl1->setCurrentIndex(2);
  c.spoil(*this);
  prompts.ClearCalls();
  const QStringList texts = c.saveAsDefault ? Press([this] { Trigger("men_dev_save"); }, {}) : Program({});
  EXPECT_TRUE(texts.isEmpty()) << "the dialog opened";
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Error, Msg(c.message))) << prompts.Describe().toStdString();
  EXPECT_EQ(app->Window().pg_ctrl1->currentIndex(), c.page);
  EXPECT_EQ(QApplication::focusWidget(), Control(c.focused));
  EXPECT_TRUE(Requests().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryCheck,
    ::testing::Values(
        EntryCase{"empty_measurement_entry", [](Session& s) { s.ClearField("txt_teeth"); }, 28, 1,
                  "txt_teeth"},
        EntryCase{"password_activated_but_empty",
                  [](Session& s) {
                    s.ClearField("txt_password");
                    s.TickActivate(true);
                  },
                  60, 0, "txt_password"},
        // A language pack may give a list more items than the device knows.
        EntryCase{"choice_beyond_the_devices_items",
                  [](Session& s) {
                    auto* list = s.Control<QComboBox>("cmb_meas_type");
                    list->addItem(QStringLiteral("extra"));
                    list->setCurrentIndex(list->count() - 1);
                    emit list->activated(list->count() - 1);
                  },
                  28, 1, "cmb_meas_type"},
        // What becomes the device's default is checked as a transfer is.
        EntryCase{"save_default_empty_entry", [](Session& s) { s.ClearField("txt_teeth"); }, 28, 1, "txt_teeth",
                  true},
        EntryCase{"save_default_password_activated_but_empty",
                  [](Session& s) {
                    s.ClearField("txt_password");
                    s.TickActivate(true);
                  },
                  60, 0, "txt_password", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, ALevelOtherThanTheCheckedOneWritesNothing) {
  Ready(Level::User);
  prompts.QueueConfirm(true);  // only the user block, checked at user level
  sim().faults().accessLevel = 1;  // the device reports admin when the write step asks
  EXPECT_EQ(Program({"cmd_confirm", "cmd_ok"}), Msgs({21, 29}));
  EXPECT_EQ(Requests(), QStringList{kIdent});
}

// A register 14 that lets no block through: nothing would be written, verified or committed.
struct LevelReportCase {
  const char* name;
  int reported;  // register 14 as the device gives it from the start
  std::vector<const char*> buttons;
  std::vector<int> texts;
  bool written;
};

class ReportedLevel : public Session, public ::testing::WithParamInterface<LevelReportCase> {};

TEST_P(ReportedLevel, ThatSelectsNoBlockFailsTheWriteStep) {
  const LevelReportCase& c = GetParam();
  Ready(Level::User);
  sim().faults().accessLevel = c.reported;
  Poll();
  sim().ClearRequests();
  prompts.QueueConfirm(true);  // message 79: the level is below admin
  EXPECT_EQ(Program(c.buttons), Msgs(c.texts));
  EXPECT_EQ(prompts.TextsOf(Kind::Confirm), QStringList{Msg(79)});
  EXPECT_EQ(CommitSent(), c.written);
  bool anyBlockWritten = false;
  for (const auto& r : sim().Requests()) anyBlockWritten |= r.function == 16 && r.start != reg::ProgCommand;
  EXPECT_EQ(anyBlockWritten, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ReportedLevel,
    ::testing::Values(LevelReportCase{"user", 0, {"cmd_confirm", "cmd_confirm", "cmd_ok"}, {21, 22, 26}, true},
                      LevelReportCase{"all_bits_set", 0xFFFF, {"cmd_confirm", "cmd_ok"}, {21, 29}, false},
                      LevelReportCase{"negative", 0x8000, {"cmd_confirm", "cmd_ok"}, {21, 29}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Verify and commit answers -----------------------------------------------------------------

TEST_F(Session, ReadBackThatDiffersOnlyAboveBit15CountsAsEqual) {
  Ready(Level::User);
  // Upper bits the device never sees: what comes back is the low 16 bits, sign-extended.
  app->images->EditImage[2001] |= 0x7FFF0000;
  prompts.QueueConfirm(true);
  EXPECT_EQ(Program({"cmd_confirm", "cmd_confirm", "cmd_ok"}), Msgs({21, 22, 26}));
}

TEST_F(Session, ARealDifferenceEndsTheSessionWithoutCommit) {
  Ready(Level::Admin);
  sim().SetFault(devsim::Fault::ReadBackChanged);
  EXPECT_EQ(Program({"cmd_confirm", "cmd_ok"}), Msgs({21, 23}));
  EXPECT_FALSE(CommitSent());
}

struct AnswerCase {
  const char* name;
  std::function<void(devsim::Faults&)> fault;
  QString text;  // the dialog's last text; empty: message `message`
  int message;
};

class CommitAnswer : public Session, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(CommitAnswer, NamesTheOutcome) {
  const AnswerCase& c = GetParam();
  Ready(Level::Admin);
  Type("txt_vmax_lim_1", QStringLiteral("3250"));  // a set the device does not hold yet
  c.fault(sim().faults());
  const QStringList texts = Program({"cmd_confirm", "cmd_confirm", "cmd_ok"});
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[2], c.text.isEmpty() ? Msg(c.message) : c.text);
  EXPECT_EQ(prompts.TextsOf(Kind::Error), QStringList{});
  EXPECT_FALSE(app->poll.ConfigBlocksPolled) << "the next poll rereads the parameter blocks";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CommitAnswer,
    ::testing::Values(
        AnswerCase{"accepted", [](devsim::Faults&) {}, {}, 26},
        AnswerCase{"bits_without_group", [](devsim::Faults& f) { f.rejectGroups = 0x24; }, {}, 34},
        AnswerCase{"user_and_measurement", [](devsim::Faults& f) { f.rejectGroups = 0x09; },
                   "Parameter commit rejected.\r\nParameters in group:  [Configuration - user], [Measurement] out "
                   "of range.\r\nUpdate process aborted.",
                   0},
        AnswerCase{"three_groups", [](devsim::Faults& f) { f.rejectGroups = 0x49; },
                   "Parameter commit rejected.\r\nParameters in group:  [Configuration - user], [Measurement], "
                   "[Digital outputs/Analog output] out of range.\r\nUpdate process aborted.",
                   0},
        AnswerCase{"no_answer_after_commit", [](devsim::Faults& f) { f.silentAfterProgCommand = true; },
                   "Committing failed. Update process aborted.\r\n" + kUnknownSet, 0},
        // A status of 0 from a device that left programming mode or kept its set is no success.
        AnswerCase{"programming_ended_before_commit",
                   [](devsim::Faults& f) { f.programmingEndsBeforeCommit = true; }, kNotHeld, 0},
        AnswerCase{"accepted_but_old_set_kept", [](devsim::Faults& f) { f.commitKeepsOldSet = true; }, kNotHeld, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, CancelRightAfterOpeningSendsNothingAndStillResetsThePollFlag) {
  Ready(Level::Admin);
  app->poll.ConfigBlocksPolled = true;
  EXPECT_EQ(Program({"cmd_cancel"}), Msgs({21}));
  EXPECT_TRUE(Requests().isEmpty());
  EXPECT_FALSE(app->poll.ConfigBlocksPolled);
}

TEST_F(Session, CancelAfterVerifySendsNoCommit) {
  Ready(Level::Admin);
  EXPECT_EQ(Program({"cmd_confirm", "cmd_cancel"}), Msgs({21, 22}));
  EXPECT_FALSE(CommitSent());
  EXPECT_FALSE(app->poll.ConfigBlocksPolled);
}

TEST_F(Session, WhileAStepRunsTheHourglassShowsAndClicksStartNothing) {
  Ready(Level::Admin);
  QString textDuring;
  bool hourglass = false;
  const QStringList texts = Program({"cmd_confirm", "cmd_cancel"}, [&] {
    textDuring = Info();
    hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    auto* dialog = app->paramUpd.get();
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmd_cancel")), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmd_confirm")), Qt::LeftButton);
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(textDuring, Msg(30));
  EXPECT_TRUE(hourglass);
  EXPECT_EQ(texts, Msgs({21, 22})) << "a click during the step took effect";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the cursor was restored";
  EXPECT_FALSE(CommitSent());
}

// --- Default setups ----------------------------------------------------------------------------

TEST_F(Session, RestoreAnsweredWithoutTheCommandValueFailsWithoutReread) {
  Ready(Level::Admin);
  sim().faults().defaultAnswerHigh = 0x00;
  EXPECT_EQ(Press([this] { Trigger("men_dev_restore"); }, {"cmd_confirm", "cmd_ok"}), Msgs({35, 37}));
  EXPECT_EQ(title, Msg(39));
  EXPECT_EQ(Requests(), (QStringList{kCommand, kIdent}));
  EXPECT_EQ(StoredCommand(), cmd::RestoreDefault);
}

struct RestoreCase {
  const char* name;
  Level level;
  bool changeLoadedSet;
  std::optional<bool> overwrite;  // answer to message 76 when asked
  QStringList shown;              // message boxes in order (texts)
  QString result;
  bool loadedBefore = true;
};

class Restore : public Session, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(Restore, RereadsAndReportsWhatTheWindowAdopted) {
  const RestoreCase& c = GetParam();
  Ready(c.level);
  if (c.changeLoadedSet) Type("txt_vmax_lim_1", QStringLiteral("3250"));
  if (c.overwrite) prompts.QueueConfirm(*c.overwrite);
  if (!c.loadedBefore) {
    app->setup.setup_loaded = false;
    app->connection->UpdateModeDisplay();
  }
  EXPECT_EQ(Press([this] { Trigger("men_dev_restore"); }, {"cmd_confirm", "cmd_ok"}), (QStringList{Msg(35), c.result}));
  QStringList shown;
  for (const auto& call : prompts.Calls()) shown << call.text;
  EXPECT_EQ(shown, c.shown);
  const bool adopted = c.overwrite.value_or(!c.loadedBefore);
  EXPECT_EQ(quickPause.waits, adopted ? (std::vector<int>{1000, 500}) : (std::vector<int>{1000}));
  EXPECT_EQ(Control<QLineEdit>("txt_vmax_lim_1")->text(), c.overwrite == false ? "3250.00" : "3300.00");
  // Whatever was loaded before, the window now works with a loaded set, as after a read.
  EXPECT_TRUE(app->setup.setup_loaded);
  EXPECT_TRUE(Enabled("txt_usr_tag1"));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Restore,
    ::testing::Values(
        // The device restored in every row: the result says so, and what the window kept.
        RestoreCase{"differs_declined", Level::Admin, true, false,
                    {"Read configuration differs from current settings. Overwrite current settings?"},
                    "Default device setup restored.\r\n" + kWindowKeptOld},
        RestoreCase{"differs_accepted", Level::Admin, true, true,
                    {"Read configuration differs from current settings. Overwrite current settings?"},
                    "Default device setup restored."},
        RestoreCase{"same_user", Level::User, false, {},
                    {"Read configuration is same as currently loaded except for admin password."},
                    "Default device setup restored."},
        RestoreCase{"nothing_loaded_before", Level::User, false, {}, {}, "Default device setup restored.", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, SaveAtUserLevelWritesAndVerifiesOnlyTheUserBlockBeforeSaveDefault) {
  Ready(Level::User);
  EXPECT_EQ(Press([this] { Trigger("men_dev_save"); }, {"cmd_confirm", "cmd_confirm", "cmd_ok"}), Msgs({38, 46, 48}));
  EXPECT_EQ(title, Msg(45));
  EXPECT_TRUE(prompts.NothingShown()) << "no level question";
  EXPECT_EQ(Requests(), (QStringList{kIdent} + Writes({kUser}) + Reads({kUser}) + QStringList{kCommand, kIdent} +
                         Reads({kUser})));
  EXPECT_EQ(StoredCommand(), cmd::SaveDefault);
}

struct SaveCase {
  const char* name;
  std::function<void(devsim::Faults&)> fault;
  QString text;
};

class SaveAnswer : public Session, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveAnswer, NamesTheOutcome) {
  Ready(Level::Admin);
  Type("txt_vmax_lim_1", QStringLiteral("3250"));  // a set the device does not hold yet
  GetParam().fault(sim().faults());
  const QStringList texts = Press([this] { Trigger("men_dev_save"); }, {"cmd_confirm", "cmd_confirm", "cmd_ok"});
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[2], GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SaveAnswer,
    ::testing::Values(
        SaveCase{"saved", [](devsim::Faults&) {}, "Default device setup saved."},
        SaveCase{"diagnostics_rejected", [](devsim::Faults& f) { f.rejectGroups = 0x10; },
                 "Default setup commit rejected.\r\nParameters in group:  [Diagnostics] out of range.\r\nUpdate "
                 "process aborted."},
        SaveCase{"no_group_no_answer",
                 [](devsim::Faults& f) {
                   f.defaultAnswerHigh = 0x00;
                 },
                 "Default setup commit failed. Update process aborted"},
        SaveCase{"no_answer_after_command", [](devsim::Faults& f) { f.silentAfterProgCommand = true; },
                 "Committing failed. Update process aborted.\r\n" + kUnknownSet + "\r\n" + kDefaultNotKnown},
        SaveCase{"answered_but_old_set_kept", [](devsim::Faults& f) { f.commitKeepsOldSet = true; }, kNotHeld}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Link faults during a full admin transfer --------------------------------------------------

struct FaultCase {
  devsim::WriteFailure how;
  int atWrite;  // 1..7 the block writes, 8 the commit
};

std::string FaultName(const ::testing::TestParamInfo<FaultCase>& info) {
  static const char* kNames[] = {"silent", "corrupt_crc", "disconnect"};
  return std::string(kNames[static_cast<int>(info.param.how)]) + "_at_write_" + std::to_string(info.param.atWrite);
}

std::vector<FaultCase> FaultCases() {
  std::vector<FaultCase> cases;
  for (int k = 1; k <= 8; ++k) cases.push_back({devsim::WriteFailure::Disconnect, k});
  for (int k : {1, 6, 8}) cases.push_back({devsim::WriteFailure::Silent, k});
  for (int k : {2, 8}) cases.push_back({devsim::WriteFailure::CorruptCrc, k});
  return cases;
}

class LinkFault : public Session, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(LinkFault, ShowsTheLinkMessageThenEndsWithoutCommitAndThePollTellsTheTruth) {
  const FaultCase& c = GetParam();
  Ready(Level::Admin);
  Type("txt_password", QStringLiteral("admin"));
  TickActivate(true);
  sim().faults().FailAtWrite(c.atWrite, c.how);
  const bool atCommit = c.atWrite == 8;
  const QStringList texts = atCommit ? Program({"cmd_confirm", "cmd_confirm", "cmd_ok"}) : Program({"cmd_confirm", "cmd_ok"});

  const int linkMessage = c.how == devsim::WriteFailure::CorruptCrc ? 1 : 0;
  EXPECT_EQ(prompts.TextsOf(Kind::Error), QStringList{Msg(linkMessage)});
  // A lost commit answer leaves open what the device did: it is asked, and says nothing.
  EXPECT_EQ(texts.back(), atCommit ? Msg(32) + "\r\n" + kUnknownSet : Msg(29));
  // The writes up to the failing one, each once whatever its retries; nothing after it.
  QStringList writes;
  for (const QString& w : Requests())
    if (w.startsWith(QLatin1Char('W')) && (writes.isEmpty() || writes.back() != w)) writes << w;
  EXPECT_EQ(writes, (Writes(kAdminWithPassword) + QStringList{kCommand}).mid(0, c.atWrite));

  if (c.how == devsim::WriteFailure::Disconnect) {
    Poll(2);
    EXPECT_EQ(Text("lbl_conn_stat"), Msg(9));
    EXPECT_FALSE(Enabled("cmd_save_prog"));
    return;
  }
  sim().SetFault(devsim::Fault::None);
  Poll();
  ASSERT_TRUE(app->poll.LinkOk);
  // Whatever the device did with the last request, the status says what it is in now.
  const bool programming = (SimRegister(reg::ProgStatus) & 0xFF) != 0;
  EXPECT_EQ(Text("lbl_conn_stat"), Msg(programming ? 12 : 10));
  EXPECT_EQ(programming, !(atCommit && c.how == devsim::WriteFailure::CorruptCrc));
}

INSTANTIATE_TEST_SUITE_P(Writes, LinkFault, ::testing::ValuesIn(FaultCases()), FaultName);

// --- A commit whose answer is lost while the device commits -------------------------------------

struct LostCase {
  const char* name;
  bool saveAsDefault;
  std::function<void(devsim::Faults&)> fault;
  QString text;    // the dialog's last text
  bool heldNewSet;  // the device runs 3250 afterwards
};

class LostCommitAnswer : public Session, public ::testing::WithParamInterface<LostCase> {};

// Only the device's answer says a default was stored: a read-back after a lost answer tells the
// working set alone. The device is asked no sooner than its settle time after the command.
TEST_P(LostCommitAnswer, TheReadBackSaysWhichSetIsInForce) {
  const LostCase& c = GetParam();
  Ready(Level::Admin);
  Type("txt_vmax_lim_1", QStringLiteral("3250"));
  c.fault(sim().faults());
  std::vector<QStringList> requestsAtWait;
  quickPause.onWait = [&] { requestsAtWait.push_back(Requests()); };
  const QStringList texts =
      Press([&] { c.saveAsDefault ? Trigger("men_dev_save") : Click("cmd_save_prog"); }, {"cmd_confirm", "cmd_confirm", "cmd_ok"});
  EXPECT_EQ(texts.back(), c.text);
  const bool commandLost = c.text.startsWith(Msg(32));
  EXPECT_EQ(prompts.TextsOf(Kind::Error), commandLost ? QStringList{Msg(0)} : QStringList{});
  EXPECT_EQ(SimRegister(RegisterOfName("txt_vmax_lim_1") + 1) == 0x454B, c.heldNewSet) << "3250.0 is what the device runs";
  // Written, verified, then the command's settle time: after its last try, before any read.
  EXPECT_EQ(quickPause.waits, (std::vector<int>{1000, 1000, 1000}));
  ASSERT_EQ(requestsAtWait.size(), 3u);
  const QStringList before = requestsAtWait[2];
  EXPECT_EQ(before.back(), kCommand);
  EXPECT_EQ(Requests().mid(before.size()).value(0), kIdent);
  EXPECT_FALSE(Requests().mid(before.size()).contains(kCommand));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, LostCommitAnswer,
    ::testing::Values(
        LostCase{"program", false, [](devsim::Faults& f) { f.progCommandAnswersLost = 3; },
                 "Committing...\r\n" + kNewSet, true},
        LostCase{"save_default", true, [](devsim::Faults& f) { f.progCommandAnswersLost = 3; },
                 "Committing...\r\n" + kNewWorkingSet + "\r\n" + kDefaultNotKnown, true},
        LostCase{"save_default_old_set_kept", true,
                 [](devsim::Faults& f) {
                   f.progCommandAnswersLost = 3;
                   f.commitKeepsOldSet = true;
                 },
                 "Committing...\r\n" + kOldSet + "\r\n" + kDefaultNotKnown, false},
        LostCase{"save_default_silent_after_command", true, [](devsim::Faults& f) { f.silentAfterProgCommand = true; },
                 "Committing failed. Update process aborted.\r\n" + kUnknownSet + "\r\n" + kDefaultNotKnown, true}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The dialog as a person uses it ------------------------------------------------------------

// Boxes a step opens, answered by a click on their button or by Enter through the real boxes.
class BoxInsideAStep : public Session, public ::testing::WithParamInterface<BoxAnswerer::How> {
 protected:
  void AnswerRealBoxes() {
    prompts.realBoxes = &realBoxes;
    answerer = std::make_unique<BoxAnswerer>(GetParam());
  }
  QtPrompts realBoxes;
  std::unique_ptr<BoxAnswerer> answerer;
};

TEST_P(BoxInsideAStep, TheLinkMessageOfAFailedWrite) {
  Ready(Level::Admin);
  AnswerRealBoxes();
  sim().faults().FailAtWrite(1, devsim::WriteFailure::Silent);
  EXPECT_EQ(Program({"cmd_confirm", "cmd_ok"}), Msgs({21, 29}));
  EXPECT_EQ(answerer->texts, QStringList{Msg(0)});
  EXPECT_EQ(answerer->unanswered, 0);
}

TEST_P(BoxInsideAStep, TheOverwriteQuestionOfTheRestoresReread) {
  Ready(Level::Admin);
  Type("txt_vmax_lim_1", QStringLiteral("3250"));
  AnswerRealBoxes();
  EXPECT_EQ(Press([this] { Trigger("men_dev_restore"); }, {"cmd_confirm", "cmd_ok"}), Msgs({35, 36}));
  EXPECT_EQ(answerer->texts, QStringList{Msg(76)});
  EXPECT_EQ(answerer->unanswered, 0);
  EXPECT_EQ(Control<QLineEdit>("txt_vmax_lim_1")->text(), "3300.00") << "OK took the restored set";
}

// Enter at "go on without a backup?" must not write: the box's default button is Cancel.
TEST_P(BoxInsideAStep, TheBackupQuestionAtEnterDefaultsToCancel) {
  Ready(Level::Admin, false);
  AnswerRealBoxes();
  answerer->onBox = [this](QMessageBox& box) {
    if (box.text().contains(QStringLiteral("could not be kept as a backup"))) sim().SetFault(devsim::Fault::None);
  };
  sim().SetFault(devsim::Fault::Silent);  // for the backup's reads
  Click("cmd_enter_prog");
  ASSERT_EQ(answerer->texts.size(), 2) << answerer->texts.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(answerer->texts[0], Msg(18));
  EXPECT_TRUE(answerer->texts[1].contains(QStringLiteral("[Cancel] to write nothing")));
  EXPECT_EQ(answerer->unanswered, 0);
  EXPECT_FALSE(Requests().contains(kCommand)) << "51 went out";
  Poll();
  EXPECT_EQ(Text("lbl_conn_stat"), Msg(10));
}

INSTANTIATE_TEST_SUITE_P(Answers, BoxInsideAStep, ::testing::Values(BoxAnswerer::How::Click, BoxAnswerer::How::Enter),
                         [](const auto& info) { return std::string(info.param == BoxAnswerer::How::Click ? "click" : "enter"); });

TEST_F(Session, EnterAnswersTheQuestionsAndClosesTheResult) {
  Ready(Level::Admin);
  EXPECT_EQ(Program({"Enter", "Enter", "Enter"}), Msgs({21, 22, 26}));
  EXPECT_TRUE(CommitSent());
}

// Closing by the title bar during a step: after it, a session still asking is cancelled, a
// result stays until it has been read.
struct CloseCase {
  const char* name;
  int closeDuring;  // the progress message on show when the close comes
  std::vector<const char*> buttons;
  std::vector<int> texts;
  bool committed;
};

class CloseDuringAStep : public Session, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseDuringAStep, TakesEffectOnlyWhenTheStepHasEnded) {
  const CloseCase& c = GetParam();
  Ready(Level::Admin);
  std::function<void()> closeWhenShowing = [&] {
    if (Info() == Msg(c.closeDuring))
      app->paramUpd->close();
    else
      QTimer::singleShot(5, app->paramUpd.get(), closeWhenShowing);
  };
  EXPECT_EQ(Program(c.buttons, closeWhenShowing), Msgs(c.texts));
  EXPECT_EQ(CommitSent(), c.committed);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CloseDuringAStep,
    ::testing::Values(CloseCase{"while_writing", 30, {"cmd_confirm"}, {21}, false},
                      CloseCase{"while_committing", 32, {"cmd_confirm", "cmd_confirm", "cmd_ok"}, {21, 22, 26}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Qt hands the focus of a disabled button to the next in the tab chain: "Off-line mode".
TEST_F(Session, FocusOfADisabledCommandGoesToTheNextCommandNeverToOffLine) {
  Ready(Level::Admin, false);
  const auto pressSpace = [this](const char* name) {
    Control(name)->setFocus();
    QTest::keyClick(Control(name), Qt::Key_Space);
    app->Window().Timer1->stop();
    Poll();
    return app->Window().focusWidget();
  };
  prompts.QueueConfirm(true);
  EXPECT_EQ(pressSpace("cmd_enter_prog"), Control("cmd_save_prog"));
  EXPECT_EQ(pressSpace("cmd_abort_prog"), Control("cmd_read_param"));
}

// --- The road of one parameter change ----------------------------------------------------------

TEST_F(Session, OneParameterChangeFromLoginToReadBack) {
  Ready(Level::Admin, false);
  Type("txt_vmax_lim_1", QStringLiteral("3250"));
  prompts.QueueConfirm(true);
  Click("cmd_enter_prog");
  Poll();
  ASSERT_EQ(Text("lbl_conn_stat"), Msg(12));
  EXPECT_EQ(Program({"cmd_confirm", "cmd_confirm", "cmd_ok"}), Msgs({21, 22, 26}));
  Click("cmd_abort_prog");
  Poll(2);
  EXPECT_EQ(Text("lbl_conn_stat"), Msg(10));
  // The window's password was cleared by the first read and the device's is read at admin
  // level, so the read differs there and asks; taking it shows what the device holds.
  Type("txt_vmax_lim_1", QStringLiteral("3100"));
  prompts.ClearCalls();
  prompts.QueueConfirm(true);
  Click("cmd_read_param");
  EXPECT_EQ(prompts.TextsOf(Kind::Info), QStringList{Msg(20)}) << prompts.Describe().toStdString();
  EXPECT_EQ(Control<QLineEdit>("txt_vmax_lim_1")->text(), "3250.00");

  const int r = RegisterOfName("txt_vmax_lim_1");
  const uint32_t bits = SimRegister(r) | static_cast<uint32_t>(SimRegister(r + 1)) << 16;
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  EXPECT_FLOAT_EQ(value, 3250.0f);
  RegisterImage device{};
  for (const BlockDescriptor& b : BlockTable) {
    if (!b.is_parameter) continue;
    for (int i = b.start; i < b.start + b.count; ++i) device[static_cast<size_t>(i)] = SimRegister(i);
    EXPECT_EQ(ImageCrc(device, b.start, b.count - 1), device[static_cast<size_t>(b.CrcRegister())]) << b.Number();
    EXPECT_TRUE(app->blocks.CheckBlockCrc(b.id)) << b.Number();
  }
}

// --- Backups, the history and "Show changes..." ---------------------------------------------------

// What a write operation leaves in the device's folder of the work directory.
class Kept : public Session {
 protected:
  // The unit's commits as the change history reads them, newest first.
  std::vector<RecordedOperation> Operations() const {
    Records records(app->WorkDir());
    QString error;
    return RecordedOperations(records, serial, app->texts, QLatin1Char('.'), &error);
  }
  // The records that hold a set the unit ran ("record <id>", as a history line names its
  // backup): its observations.
  QStringList Backups() const {
    QStringList records;
    const std::vector<RecordedOperation> ops = Operations();
    for (auto op = ops.crbegin(); op != ops.crend(); ++op)
      if (op->kind != RecordedOperation::Kind::Write) records << QStringLiteral("record ") + op->commit.left(kShortRecordId);
    return records;
  }
  QByteArray Recorded(const QString& record) const {
    Records records(app->WorkDir());
    QString error;
    return records.FileAt(serial, kSettingsFile, record.section(QLatin1Char(' '), 1), &error).value_or(QByteArray());
  }
  // The history as its CSV export gives it: the header, then a line per write; empty when no
  // write was recorded.
  QStringList HistoryLines() const {
    const std::vector<RecordedOperation> ops = Operations();
    if (std::none_of(ops.begin(), ops.end(), [](const auto& op) { return op.kind == RecordedOperation::Kind::Write; }))
      return {};
    return QString::fromUtf8(HistoryCsv(ops, QLatin1Char('.'), QLatin1Char(','))).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  }
  // The stored blocks as the device holds them, in the file's order.
  QStringList StoredFields() {
    QStringList fields;
    for (const BlockDescriptor& b : BlockTable)
      if (IsStoredBlock(b))
        for (int r = b.start; r < b.start + b.count; ++r) fields << QString::number(SimRegister(r));
    return fields;
  }
  // Programming mode entered by another master: the program finds it so, with nothing held.
  void EnterAsAnotherMaster() {
    const int32_t enter = cmd::EnterProgramming;
    ASSERT_TRUE(app->master.WriteWithRetry(1, reg::ProgCommand, {&enter, 1}));
    Poll();
    ASSERT_EQ(Text("lbl_conn_stat"), Msg(12));
    sim().ClearRequests();
  }
  std::vector<RecordingPrompts::Call> BackupQuestions() const {
    std::vector<RecordingPrompts::Call> questions;
    for (const auto& call : prompts.Calls())
      if (call.kind == Kind::Confirm && call.text.contains(kBackupQuestion)) questions.push_back(call);
    return questions;
  }
  // The cells of the session comparison's row of a parameter.
  QStringList RowShown(const QString& caption) const {
    const QTableWidget& table = app->sessionChanges->Table();
    for (int r = 0; r < table.rowCount(); ++r) {
      if (table.item(r, 1)->text() != caption) continue;
      QStringList cells;
      for (int col = 0; col < table.columnCount(); ++col) cells << table.item(r, col)->text();
      return cells;
    }
    return {};
  }
  const QString kBackupQuestion = QStringLiteral("could not be kept as a backup");
  QString serial = QStringLiteral("KV2300-0017-0417");  // the simulator's
};

struct WriteCase {
  const char* name;
  const char* open;  // a button of the window or a menu item
  std::vector<const char*> buttons;
  const char* operationKey;  // the command's caption in the texts
  int result;
  bool listsTheLimit;  // the history names the changed overspeed limit
};

class KeptPerOperation : public Kept, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(KeptPerOperation, ABackupOfTheDevicesSetBeforeAndOneHistoryLineAfter) {
  const WriteCase& c = GetParam();
  Ready(Level::Admin);
  Type("txt_vmax_lim_1", QStringLiteral("3200"));
  const QStringList before = StoredFields();
  const QString open = QString::fromLatin1(c.open);
  const QStringList texts = Press([&] { open.startsWith(QLatin1String("cmd_")) ? Click(c.open) : Trigger(c.open); },
                                  c.buttons);
  EXPECT_TRUE(texts.last().startsWith(Msg(c.result))) << texts.last().toStdString();
  ASSERT_EQ(Backups().size(), 1);
  const QString backup = DecodeTextRecord(Recorded(Backups()[0]));
  EXPECT_EQ(backup.split(QLatin1Char('|'), Qt::SkipEmptyParts), before) << "the backup holds the set before the write";
  const QStringList lines = HistoryLines();
  ASSERT_EQ(lines.size(), 2);  // the header and this operation
  const QString operation = app->texts.GetTextByKey(QString::fromLatin1(c.operationKey));
  EXPECT_TRUE(lines[1].contains(QLatin1Char(',') + serial + QStringLiteral(",admin,") + operation + QLatin1Char(',') +
                                QString(texts.last()).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) + QLatin1Char(',') +
                                Backups()[0] + QLatin1Char(',')))
      << lines[1].toStdString();
  EXPECT_EQ(lines[1].contains(QStringLiteral("Overspeed limit, Relay 1: 3300.00 RPM → 3200.00 RPM")), c.listsTheLimit)
      << lines[1].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Operations, KeptPerOperation,
    ::testing::Values(WriteCase{"program", "cmd_save_prog", {"cmd_confirm", "cmd_confirm", "cmd_ok"}, "cmd_save_prog", 26, true},
                      WriteCase{"save_default", "men_dev_save", {"cmd_confirm", "cmd_confirm", "cmd_ok"}, "men_dev_save", 48, true},
                      WriteCase{"restore_declined", "men_dev_restore", {"cmd_confirm", "cmd_ok"}, "men_dev_restore", 36, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Without a backup nothing is written unless the engineer chooses so: Cancel is the default.
struct NoBackupCase {
  const char* name;
  bool atEnter;  // programming mode entered here, else found entered by another master
};

class CancelWithoutBackup : public Kept, public ::testing::WithParamInterface<NoBackupCase> {};

TEST_P(CancelWithoutBackup, WritesNothing) {
  Ready(Level::Admin, false);
  if (!GetParam().atEnter) EnterAsAnotherMaster();
  // The records taken away and a file where they belong.
  const QString records = Records::PathIn(app->WorkDir());
  ASSERT_TRUE(!QFileInfo::exists(records) || QDir().rename(records, records + QStringLiteral(".kept")));
  QFile blocker(records);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  sim().ClearRequests();
  if (GetParam().atEnter) {
    prompts.QueueConfirm(true);  // message 18; the backup question answered Cancel
    Click("cmd_enter_prog");
    Poll();
    EXPECT_EQ(Text("lbl_conn_stat"), Msg(10)) << "programming mode entered without a backup";
  } else {
    const QStringList texts = Program({"cmd_confirm", "cmd_ok"});
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Nothing was written"))) << texts[1].toStdString();
  }
  const auto questions = BackupQuestions();
  ASSERT_EQ(questions.size(), 1u) << prompts.Describe().toStdString();
  EXPECT_TRUE(questions[0].text.contains(QStringLiteral("[Cancel] to write nothing")));
  EXPECT_TRUE(questions[0].cancelIsDefault);
  for (const auto& r : sim().Requests()) EXPECT_NE(r.function, 16) << "a write after Cancel";
}

INSTANTIATE_TEST_SUITE_P(Where, CancelWithoutBackup,
                         ::testing::Values(NoBackupCase{"at_enter", true}, NoBackupCase{"found_in_programming", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Going on without a backup still leaves a line: the attempted changes against the set last read.
class WrittenWithoutBackup : public Kept, public ::testing::WithParamInterface<NoBackupCase> {};

TEST_P(WrittenWithoutBackup, IsRecordedWithItsChangesAsNotBackedUp) {
  Ready(Level::Admin, false);
  if (!GetParam().atEnter) EnterAsAnotherMaster();
  Type("txt_vmax_lim_1", QStringLiteral("3200"));
  // The device falls silent for the backup and answers again once the question is up.
  prompts.onPrompt = [this](const RecordingPrompts::Call& call) {
    if (call.text.contains(kBackupQuestion)) sim().SetFault(devsim::Fault::None);
  };
  sim().SetFault(devsim::Fault::Silent);
  if (GetParam().atEnter) {
    prompts.QueueConfirm(true);  // message 18
    prompts.QueueConfirm(true);  // on without a backup
    Click("cmd_enter_prog");
    Poll();
    ASSERT_EQ(Text("lbl_conn_stat"), Msg(12));
  } else {
    prompts.QueueConfirm(true);  // on without a backup
  }
  EXPECT_EQ(Program({"cmd_confirm", "cmd_confirm", "cmd_ok"}), Msgs({21, 22, 26}));
  ASSERT_EQ(BackupQuestions().size(), 1u) << prompts.Describe().toStdString();
  EXPECT_TRUE(BackupQuestions()[0].cancelIsDefault);
  EXPECT_EQ(Backups().size(), 1) << "only the set read on connecting: the silent unit gave none";
  const QStringList lines = HistoryLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[1].contains(QStringLiteral(",none: not backed up; changes against the settings last read,")))
      << lines[1].toStdString();
  EXPECT_TRUE(lines[1].contains(QStringLiteral("Overspeed limit, Relay 1: 3300.00 RPM → 3200.00 RPM"))) << lines[1].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Where, WrittenWithoutBackup,
                         ::testing::Values(NoBackupCase{"at_enter", true}, NoBackupCase{"found_in_programming", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The set the device runs is the "before" of every session until programming mode is left,
// although the device answers with the writes of a cancelled session meanwhile.
struct HeldCase {
  const char* name;
  bool enteredHere;       // else another master entered programming mode and wrote 3200
  QString before;         // the limit as "Show changes..." and the history give the device's
  bool notedProgramming;  // the backup's history entry says it was taken in programming mode
};

class HeldBackup : public Kept, public ::testing::WithParamInterface<HeldCase> {};

TEST_P(HeldBackup, ASecondSessionComparesAgainstTheRunningSet) {
  const HeldCase& c = GetParam();
  Ready(Level::Admin, c.enteredHere);
  Type("txt_vmax_lim_1", QStringLiteral("3200"));
  if (c.enteredHere) {
    EXPECT_EQ(Program({"cmd_confirm", "cmd_cancel"}), Msgs({21, 22}));  // cancelled at "Commit changes?"
  } else {
    EnterAsAnotherMaster();
    ASSERT_TRUE(app->blocks.WriteBlock(Block(BlockId::Output)));
  }
  const int limit = RegisterOfName("txt_vmax_lim_1");
  ASSERT_EQ(SimRegister(limit + 1), 0x4548) << "the device answers with 3200.0, not committed";
  sim().ClearRequests();
  Type("txt_vmax_lim_1", QStringLiteral("3150"));
  QStringList shown;
  bool readDuringShow = true;
  const QStringList texts = Program({"cmd_show_changes", "cmd_confirm", "cmd_confirm", "cmd_ok"}, [&] {
    shown = RowShown(QStringLiteral("Overspeed limit, Relay 1"));
    readDuringShow = !sim().Requests().empty();
    app->sessionChanges->reject();
  });
  EXPECT_EQ(texts, Msgs({21, 21, 22, 26}));
  EXPECT_TRUE(shown.contains(c.before)) << shown.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("3150.00 RPM"))) << shown.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(readDuringShow, !c.enteredHere) << "a held backup is compared, not the device's answers";
  ASSERT_EQ(Backups().size(), 1);
  const QStringList lines = HistoryLines();
  ASSERT_EQ(lines.size(), c.enteredHere ? 3 : 2);
  if (c.enteredHere) {
    EXPECT_TRUE(lines[1].contains(QStringLiteral("3300.00 RPM → 3200.00 RPM"))) << lines[1].toStdString();
  }
  EXPECT_TRUE(lines.back().contains(QStringLiteral("Overspeed limit, Relay 1: ") + c.before + QStringLiteral(" → 3150.00 RPM")))
      << lines.back().toStdString();
  EXPECT_EQ(lines.back().contains(QLatin1Char(',') + Backups()[0]), !c.notedProgramming) << lines.back().toStdString();
  EXPECT_EQ(lines.back().contains(QStringLiteral("read in programming mode, not recorded")), c.notedProgramming);
  EXPECT_EQ(app->changeRecord->HeldSet(), nullptr) << "the commit ended programming mode";
}

INSTANTIATE_TEST_SUITE_P(Sessions, HeldBackup,
                         ::testing::Values(HeldCase{"entered_here", true, QStringLiteral("3300.00 RPM"), false},
                                           HeldCase{"found_in_programming", false, QStringLiteral("3200.00 RPM"), true}),
                         [](const auto& info) { return std::string(info.param.name); });

// What ends the held backup: whatever takes the device out of programming mode or away.
struct ReleaseCase {
  const char* name;
  std::function<void(Kept&)> event;
  bool held;  // still held afterwards
};

class HeldUntil : public Kept, public ::testing::WithParamInterface<ReleaseCase> {
 public:
  void AbortHere() { Click("cmd_abort_prog"); }
  void Write108(int32_t value) { ASSERT_TRUE(app->master.WriteWithRetry(1, reg::ProgCommand, {&value, 1})); }
  void Fault(devsim::Fault f) { sim().SetFault(f); }
  void SetSerial(uint16_t chars) {
    sim().WithModel([chars](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::SerialNumber, chars); });
  }
  void PollHere() { Poll(); }
};

TEST_P(HeldUntil, ProgrammingModeIsLeft) {
  Ready(Level::Admin);
  ASSERT_NE(app->changeRecord->HeldSet(), nullptr);
  GetParam().event(*this);
  EXPECT_EQ(app->changeRecord->HeldSet() != nullptr, GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(
    Events, HeldUntil,
    ::testing::Values(
        ReleaseCase{"polled_in_programming", [](Kept& k) { static_cast<HeldUntil&>(k).PollHere(); }, true},
        ReleaseCase{"aborted", [](Kept& k) { static_cast<HeldUntil&>(k).AbortHere(); }, false},
        ReleaseCase{"left_by_another_master",
                    [](Kept& k) {
                      auto& t = static_cast<HeldUntil&>(k);
                      t.Write108(cmd::LeaveProgramming);
                      t.PollHere();
                    },
                    false},
        ReleaseCase{"link_lost",
                    [](Kept& k) {
                      auto& t = static_cast<HeldUntil&>(k);
                      t.Fault(devsim::Fault::Silent);
                      t.PollHere();
                    },
                    false},
        ReleaseCase{"another_device",
                    [](Kept& k) {
                      auto& t = static_cast<HeldUntil&>(k);
                      t.SetSerial('Z' | 'Z' << 8);
                      t.PollHere();
                    },
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

// A session writes the blocks its level allows: the history names what they changed, never a
// difference of the window in a block that was not written.
struct LevelCase {
  const char* name;
  Level level;
  bool namesAdminLimit;
};

class WrittenBlocksOnly : public Kept, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(WrittenBlocksOnly, AreNamedInTheHistory) {
  const LevelCase& c = GetParam();
  Ready(c.level);
  Type("txt_mod_addr", QStringLiteral("7"));           // the user block
  Type("txt_vmax_lim_1", QStringLiteral("3200"));      // the output block, admin only
  if (c.level == Level::User) prompts.QueueConfirm(true);  // message 79
  EXPECT_EQ(Program({"cmd_confirm", "cmd_confirm", "cmd_ok"}), Msgs({21, 22, 26}));
  const QStringList lines = HistoryLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[1].contains(kModbusAddressChange)) << lines[1].toStdString();
  EXPECT_EQ(lines[1].contains(QStringLiteral("Overspeed limit, Relay 1")), c.namesAdminLimit) << lines[1].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Levels, WrittenBlocksOnly,
                         ::testing::Values(LevelCase{"user", Level::User, false}, LevelCase{"admin", Level::Admin, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The line is in the file as soon as the outcome is known, before the dialog's closing OK: a
// crash or power loss with the result on screen keeps the record.
struct OutcomeCase {
  const char* name;
  const char* open;
  std::vector<const char*> buttons;
  std::function<void(devsim::Faults&)> fault;
  QString changes;  // what the line's last field holds
};

class RecordedAtOnce : public Kept, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(RecordedAtOnce, BeforeTheClosingOk) {
  const OutcomeCase& c = GetParam();
  Ready(Level::Admin);
  Type("txt_vmax_lim_1", QStringLiteral("3200"));
  QStringList linesAtResult;
  QString result;
  afterEachPress = [&](const QString& text) {
    if (app->session->InProgress()) return;
    result = text;
    linesAtResult = HistoryLines();
  };
  c.fault(sim().faults());
  const QString open = QString::fromLatin1(c.open);
  Press([&] { open.startsWith(QLatin1String("cmd_")) ? Click(c.open) : Trigger(c.open); }, c.buttons);
  ASSERT_EQ(linesAtResult.size(), 2) << "no line before the dialog closed";
  EXPECT_TRUE(linesAtResult[1].contains(QLatin1Char(',') + QString(result).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) +
                                        QLatin1Char(',')))
      << linesAtResult[1].toStdString();
  EXPECT_TRUE(linesAtResult[1].endsWith(QLatin1Char(',') + c.changes + QLatin1Char(','))) << linesAtResult[1].toStdString();
  EXPECT_EQ(HistoryLines(), linesAtResult) << "closing the dialog added or changed a line";
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RecordedAtOnce,
    ::testing::Values(
        OutcomeCase{"committed", "cmd_save_prog", {"cmd_confirm", "cmd_confirm", "cmd_ok"}, [](devsim::Faults&) {},
                    "\"" + kLimitChange + "\""},
        // The fifth block write is the output block's: it was attempted.
        OutcomeCase{"write_failed", "cmd_save_prog", {"cmd_confirm", "cmd_ok"},
                    [](devsim::Faults& f) { f.FailAtWrite(5, devsim::WriteFailure::Silent); }, "\"" + kLimitChange + "\""},
        OutcomeCase{"rejected", "cmd_save_prog", {"cmd_confirm", "cmd_confirm", "cmd_ok"},
                    [](devsim::Faults& f) { f.rejectGroups = 0x40; }, "\"" + kLimitChange + "\""},
        OutcomeCase{"saved_as_default", "men_dev_save", {"cmd_confirm", "cmd_confirm", "cmd_ok"}, [](devsim::Faults&) {},
                    "\"" + kLimitChange + "\""},
        OutcomeCase{"restored", "men_dev_restore", {"cmd_confirm", "cmd_ok"}, [](devsim::Faults&) {},
                    QStringLiteral("none: the settings equal the backup")},
        // The restore's answer and the reread's identification come, then the device falls silent.
        OutcomeCase{"restored_reread_failed", "men_dev_restore", {"cmd_confirm", "cmd_ok"},
                    [](devsim::Faults& f) { f.SpoilAnswersFrom(4, devsim::AnswerFault::Silence); },
                    QStringLiteral("Not known: the device's settings could not be read afterwards.")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Kept, ShowChangesLeavesTheSessionTheDialogAndTheDeviceAlone) {
  Ready(Level::Admin);
  Type("txt_vmax_lim_1", QStringLiteral("3200"));
  Type("txt_vmax_lim_2", QStringLiteral("3250"));
  const auto editBefore = std::make_unique<RegisterImage>(app->images->EditImage);
  QStringList rows;
  int stateWhileShown = -1;
  const QStringList texts = Program({"cmd_show_changes", "cmd_cancel"}, [&] {
    for (int r = 0; r < app->sessionChanges->Table().rowCount(); ++r)
      rows << app->sessionChanges->Table().item(r, 1)->text();
    stateWhileShown = app->session->Step();
    app->sessionChanges->reject();
  });
  EXPECT_EQ(texts, Msgs({21, 21}));
  EXPECT_EQ(rows, (QStringList{"Overspeed limit, Relay 1", "Overspeed limit, Relay 2"}));
  EXPECT_EQ(stateWhileShown, prog_state::Write);
  EXPECT_TRUE(*editBefore == app->images->EditImage);
  for (const auto& r : sim().Requests()) EXPECT_EQ(r.function, 3) << "only reads";
  EXPECT_EQ(Backups().size(), 1) << "the one taken when programming mode was entered";
  EXPECT_TRUE(HistoryLines().isEmpty()) << "nothing was written, nothing recorded";
}

// The session dialog blocks the main window: its list of changes promises no way to a field,
// and Enter on a row neither turns the page nor leaves the focus on that field for later.
TEST_F(Kept, ShowChangesLeadsToNoFieldOfTheBlockedWindow) {
  Ready(Level::Admin);
  Type("txt_vmax_lim_2", QStringLiteral("3250"));
  const int page = app->Window().pg_ctrl1->currentIndex();
  ASSERT_NE(page, 2) << "the limit's page must not be the one in front already";
  QWidget* field = Control<QWidget>("txt_vmax_lim_2");
  QString summary;
  const QStringList texts = Program({"cmd_show_changes", "cmd_cancel"}, [&] {
    summary = app->sessionChanges->Summary().text();
    QTest::keyClick(&app->sessionChanges->Table(), Qt::Key_Return);
    app->sessionChanges->reject();
  });
  EXPECT_EQ(texts, Msgs({21, 21}));
  EXPECT_EQ(summary, QStringLiteral("One parameter differs."));
  EXPECT_EQ(app->Window().pg_ctrl1->currentIndex(), page);
  EXPECT_NE(app->Window().focusWidget(), field);
}

}  // namespace
}  // namespace kvn::test

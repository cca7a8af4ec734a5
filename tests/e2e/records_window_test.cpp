// The window's records: File > Change history... lists a change programmed through the session
// and loads a commit's set into the pages as "Load configuration" does; the records go to the
// plant's server on a worker thread after each commit, and a server that cannot be reached
// leaves the window answering, with the note of what it lacks.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "e2e/live_app.h"
#include "records/git_command.h"
#include "records/records.h"
#include "ui/change_history_dialog.h"
#include "ui/param_upd_dialog.h"
#include "ui/records_push.h"
#include "texts/program_settings.h"

namespace kvn::test {
namespace {

struct NoPause : Pause {
  void Wait(int) override {}
};

class RecordsWindow : public LiveApp {
 protected:
  Pause& ProgramPause() override { return noPause; }
  QString Records() const { return kvn::Records::PathIn(WorkDirectory(workBase.path())); }

  void Click(const char* name) {
    Control<QPushButton>(name)->click();
    app->Window().Timer1->stop();
  }
  void Trigger(const char* item) {
    app->Window().findChild<QAction*>(QString::fromLatin1(item))->trigger();
    app->Window().Timer1->stop();
  }
  void Type(const char* field, const QString& text) {
    auto* edit = Control<QLineEdit>(field);
    edit->setText(text);
    app->form.TakeEdit(edit);
  }
  void LogInAsAdmin() {
    std::vector<int32_t> password(8, 0x2020);
    const std::string pw = devsim::kDefaultAdminPassword;
    for (size_t i = 0; i < pw.size(); ++i)
      password[i / 2] = (i % 2) ? ((password[i / 2] & 0xFF) | (pw[i] << 8)) : ((password[i / 2] & 0xFF00) | pw[i]);
    ASSERT_TRUE(app->master.WriteWithRetry(1, reg::Password, {password.data(), 8}));
  }
  // The unit read, one limit typed and programmed through the session dialog, as the
  // engineer confirms each step; programming mode left again.
  void ProgramLimit(const QString& limit) {
    LogInAsAdmin();
    Poll();
    Click("cmd_read_param");
    Type("txt_vmax_lim_1", limit);
    prompts.QueueConfirm(true);
    Click("cmd_enter_prog");
    Poll();
    Tparam_upd* dialog = app->paramUpd.get();
    auto presses = std::make_shared<QStringList>(QStringList{"cmd_confirm", "cmd_confirm", "cmd_ok"});
    std::function<void()> press = [dialog, presses, &press] {
      if (presses->isEmpty()) return;
      if (dialog->isVisible()) dialog->findChild<QPushButton*>(presses->takeFirst())->click();
      QTimer::singleShot(20, dialog, press);
    };
    QTimer::singleShot(0, dialog, press);
    Click("cmd_save_prog");
    presses->clear();
    Click("cmd_abort_prog");
    Poll(2);
  }
  // Waits for the window's events, the push's reports among them, until done() or 15 s.
  bool Until(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 15000) QTest::qWait(20);
    return done();
  }
  QString Note() const { return app->recordsPush->Note(); }

  NoPause noPause;
};

TEST_F(RecordsWindow, ChangeHistoryListsTheProgrammedChangeAndLoadsEachSet) {
  StartProgram();
  ProgramLimit(QStringLiteral("3250"));
  Type("txt_vmax_lim_1", QStringLiteral("3100"));  // what the pages hold before a load
  Trigger("men_file_history");
  ChangeHistoryDialog& dialog = *app->changeHistory;
  ASSERT_TRUE(dialog.isVisible());
  auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("lst_history"));
  ASSERT_GE(list->topLevelItemCount(), 2);
  const QTreeWidgetItem* newest = list->topLevelItem(0);
  EXPECT_EQ(newest->text(3), QStringLiteral("Program device settings"));
  EXPECT_TRUE(newest->text(5).contains(QStringLiteral("Overspeed limit, Relay 1: 3300.00 RPM → 3250.00 RPM")))
      << newest->text(5).toStdString();
  for (int row = 0; row < list->topLevelItemCount(); ++row) {
    EXPECT_FALSE(list->topLevelItem(row)->text(1).isEmpty()) << row;  // the engineer
    EXPECT_EQ(list->topLevelItem(row)->text(2), QSysInfo::machineHostName()) << row;
  }
  // Each row's set into the pages, reached with the keys: the write's, then the first read's.
  const struct {
    Qt::Key key;
    const char* limit;
  } kLoads[] = {{Qt::Key_Home, "3250.00"}, {Qt::Key_End, "3300.00"}};
  for (const auto& load : kLoads) {
    SCOPED_TRACE(load.limit);
    Trigger("men_file_history");
    ASSERT_TRUE(dialog.isVisible());
    list->setFocus();
    QTest::keyClick(list, load.key);
    prompts.ClearCalls();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmd_history_load")), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompts.TextsOf(RecordingPrompts::Kind::Info), QStringList{app->texts.GetMessageText(56)})
        << prompts.Describe().toStdString();
    EXPECT_EQ(Control<QLineEdit>("txt_vmax_lim_1")->text(), QString::fromLatin1(load.limit));
  }
  // The export: history.csv's header and the write's line with its change.
  Trigger("men_file_history");
  const QString csv = workBase.filePath(QStringLiteral("history.csv"));
  prompts.QueueFileName(csv);
  dialog.findChild<QPushButton*>(QStringLiteral("cmd_history_export"))->click();
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("Date and time,Serial number,Access level,Operation,Result,Backup file,Changed parameters,\r\n"));
  EXPECT_TRUE(bytes.contains("Program device settings,") && bytes.contains("3300.00 RPM → 3250.00 RPM")) << bytes.toStdString();
  dialog.reject();
}

// A read's commit reaches the server; a server that is not there or never answers leaves the
// window polling, the note saying what it lacks, and the quit not held up.
TEST_F(RecordsWindow, CommitsArePushedOnAWorkerAndAServerThatFailsIsANote) {
  QTcpServer silent;  // takes the connection and never says a word
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
  const QString bare = workBase.filePath(QStringLiteral("server.git"));
  ASSERT_EQ(RunGit(workBase.path(), {QStringLiteral("init"), QStringLiteral("--bare"), bare}).exit, 0);
  const struct {
    const char* what;
    QString server;
    const char* note;  // the note's start; empty: all went
  } kServers[] = {
      {"a bare repository by path", bare, ""},
      {"a path with no repository", workBase.filePath(QStringLiteral("missing.git")), "Records: 1 not on the server: "},
      {"a server that never answers", QStringLiteral("ssh://korvane@127.0.0.1:%1/records.git").arg(silent.serverPort()),
       "Records: 1 not on the server: "},
  };
  for (const auto& c : kServers) {
    SCOPED_TRACE(c.what);
    QDir(Records()).removeRecursively();
    ASSERT_EQ(kvn::Records(WorkDirectory(workBase.path())).SetServer(c.server), QString());
    StartProgram();
    Poll();
    Click("cmd_read_param");  // the unit's first record
    // The window answers while the push runs or fails: the poll goes on.
    QElapsedTimer poll;
    poll.start();
    Poll();
    EXPECT_LT(poll.elapsed(), 1000);
    const auto sent = [&] {
      return RunGit(bare, {QStringLiteral("log"), QStringLiteral("--format=%s")}).out.contains(QStringLiteral(": first record"));
    };
    const bool expected = *c.note ? Until([&] { return Note().startsWith(QString::fromUtf8(c.note)); })
                                  : Until([&] { return sent() && Note().isEmpty(); });
    EXPECT_TRUE(expected) << "note: " << Note().toStdString();
    EXPECT_EQ(Control<QLabel>("lbl_records_note")->isVisibleTo(&app->Window()), *c.note != 0);
    QElapsedTimer quit;
    quit.start();
    app.reset();
    EXPECT_LT(quit.elapsed(), kPushQuitWaitMs + 1000);
  }
}

}  // namespace
}  // namespace kvn::test

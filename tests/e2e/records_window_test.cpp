// The window's records: File > Change history... lists a change programmed through the session
// and loads a commit's set into the pages as "Load configuration" does; the records go to the
// plant's server on a worker thread after each commit, and a server that cannot be reached
// leaves the window answering, with the note of what it lacks.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
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
#include "ui/records_server_dialog.h"
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
  EXPECT_EQ(list->topLevelItem(0)->text(3) + QLatin1Char('|') + list->topLevelItem(0)->text(5),
            QStringLiteral("Program device settings|Overspeed limit, Relay 1: 3300.00 RPM → 3250.00 RPM"));
  for (int row = 0; row < list->topLevelItemCount(); ++row)  // the engineer and the station
    EXPECT_TRUE(!list->topLevelItem(row)->text(1).isEmpty() && list->topLevelItem(row)->text(2) == QSysInfo::machineHostName());
  // Each row's set into the pages, reached with the keys: the write's, then the first read's.
  const std::pair<Qt::Key, const char*> kLoads[] = {{Qt::Key_Home, "3250.00"}, {Qt::Key_End, "3300.00"}};
  for (const auto& [key, limit] : kLoads) {
    SCOPED_TRACE(limit);
    Trigger("men_file_history");
    ASSERT_TRUE(dialog.isVisible());
    list->setFocus();
    QTest::keyClick(list, key);
    prompts.ClearCalls();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmd_history_load")), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompts.TextsOf(RecordingPrompts::Kind::Info), QStringList{app->texts.GetMessageText(56)})
        << prompts.Describe().toStdString();
    EXPECT_EQ(Control<QLineEdit>("txt_vmax_lim_1")->text(), QString::fromLatin1(limit));
  }
  Control<QCheckBox>("chk_off_line")->click();  // off-line: any unit of the records to choose
  Trigger("men_file_history");
  auto* units = dialog.findChild<QComboBox*>(QStringLiteral("cmb_history_unit"));
  EXPECT_TRUE(units->isEnabled() && units->currentText() == QStringLiteral("KV2300-0017-0417")) << prompts.Describe().toStdString();
  dialog.reject();
  // The export: history.csv's lines, the write's with its change.
  Trigger("men_file_history");
  prompts.QueueFileName(workBase.filePath(QStringLiteral("history.csv")));
  dialog.findChild<QPushButton*>(QStringLiteral("cmd_history_export"))->click();
  QFile file(workBase.filePath(QStringLiteral("history.csv")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains(",admin,Program device settings,"));
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
      {"a path with no repository", workBase.filePath(QStringLiteral("missing.git")),
       "Records: 1 not on the server: The records' server "},
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
    const auto sent = [&] { return RunGit(bare, {QStringLiteral("log")}).out.contains(QStringLiteral(": first record")); };
    // The window's events, the push's reports among them, until the note or the server shows it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return *c.note ? Note().startsWith(QString::fromUtf8(c.note)) : sent() && Note().isEmpty(); },
                                15000)) << "note: " << Note().toStdString();
    // The window answers while the push runs or after it failed: a poll takes its usual time.
    QElapsedTimer poll;
    poll.start();
    Poll();
    EXPECT_LT(poll.elapsed(), 500);
    EXPECT_EQ(Control<QLabel>("lbl_records_note")->isVisibleTo(&app->Window()), *c.note != 0);
    QElapsedTimer quit;
    quit.start();
    app.reset();
    EXPECT_LT(quit.elapsed(), kPushQuitWaitMs + 1000);
  }
}

// The server as the engineer sets it in the dialog; a refusal is told there.
TEST_F(RecordsWindow, RecordsServerDialogSetsClearsAndTellsARefusal) {
  StartProgram();
  const QString bare = workBase.filePath(QStringLiteral("server.git"));
  const QString scp = QStringLiteral("korvane@records.plant:srv/records.git");
  const struct {
    QString address;
    bool recordsBroken;  // a file stands where the records belong
    QString current;
    const char* outcome;  // its start
  } kCases[] = {{bare, false, bare, "Set."},
                {QStringLiteral("  "), false, QStringLiteral("none"), "The records stay on this station."},
                {scp, false, scp, "Set."},
                {bare, true, QStringLiteral("none"), "The records "}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.address.toStdString());
    if (c.recordsBroken) {
      QDir(Records()).removeRecursively();
      QFile file(Records());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Trigger("men_file_records_server");
    QDialog& dialog = *app->recordsServer;
    ASSERT_TRUE(dialog.isVisible());
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("edt_records_server"));
    edit->clear();
    QTest::keyClicks(edit, c.address);
    QTest::keyClick(edit, Qt::Key_Return);  // "Set" is the default button
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lbl_records_server"))->text(), c.current);
    const QString outcome = dialog.findChild<QLabel*>(QStringLiteral("lbl_records_outcome"))->text();
    EXPECT_TRUE(outcome.startsWith(QString::fromLatin1(c.outcome))) << outcome.toStdString();
    dialog.reject();
  }
}

}  // namespace
}  // namespace kvn::test

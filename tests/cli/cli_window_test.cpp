// korvane-cli beside the window, on the same work directory and the same device: its read
// writes the bytes of the window's "Save configuration", its compare lists the rows of the
// window's "Compare with file...", its log the rows of the window's export, its report the
// window's report.
#include <gtest/gtest.h>

#include <QFile>
#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QTableWidget>
#include <QTextStream>
#include <utility>

#include "app/window_commands.h"
#include "cli/cli_process.h"
#include "e2e/live_app.h"
#include "lngpack/lngpack.h"
#include "lngpack/pack_files.h"
#include "operations/comparison.h"
#include "operations/connection.h"
#include "operations/event_log.h"
#include "support/pdf_reader.h"
#include "texts/program_settings.h"
#include "ui/compare_window.h"

namespace kvn::test {
namespace {

class CliBesideWindow : public LiveApp {
 protected:
  void SetUp() override {
    LiveApp::SetUp();
    StartProgram();
    Poll();
    app->connection->cmd_read_paramClick();  // "Read device settings"
    ASSERT_TRUE(app->setup.setup_loaded);
  }
  QString PathOf(const char* name) const { return workBase.filePath(QString::fromLatin1(name)); }
  void Save(const QString& path) {
    prompts.QueueFileName(path);
    app->commands->men_file_save_cfgClick();
  }
  void TypeLimit(const char* name, const char* text) {
    auto* field = Control<QLineEdit>(name);
    field->setText(QString::fromLatin1(text));
    app->form.TakeEdit(field);
  }
  // The command line on the window's own settings (COM1 over USB) once the window has let go
  // of the port.
  CliRun Cli(QStringList arguments) {
    app->link.Close();
    return RunCli(arguments << QStringLiteral("--work-dir") << WorkDirectory(workBase.path()));
  }
  // Two limits changed in a saved file: the rows of the window's "Compare with file..." after
  // a read, and the rows the command line's compare of the same file lists.
  std::pair<QList<QStringList>, QList<QStringList>> CompareRows() {
    TypeLimit("txt_vmax_lim_1", "2500");
    TypeLimit("txt_vmax_lim_3", "2700");
    Save(PathOf("changed.kvn"));
    prompts.QueueConfirm(true);  // the device's set replaces the typed one
    app->connection->cmd_read_paramClick();
    prompts.QueueFileName(PathOf("changed.kvn"));
    app->comparison->men_file_cmp_fileClick();
    QTableWidget& table = app->compareWindow->Table();
    QList<QStringList> windowRows;
    for (int r = 0; r < table.rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < 4; ++c) cells << table.item(r, c)->text();
      windowRows << cells;
    }

    const CliRun run = Cli({QStringLiteral("compare"), PathOf("changed.kvn"), QStringLiteral("--json")});
    EXPECT_EQ(run.exit, 1) << run.err.toStdString();
    QList<QStringList> cliRows;
    for (const QJsonObject& line : JsonLines(run.out)) {
      if (line.value(QStringLiteral("event")).toString() != QStringLiteral("difference")) continue;
      QStringList cells;
      for (const char* key : {"page", "parameter", "device", "file"}) cells << line.value(QLatin1String(key)).toString();
      cliRows << cells;
    }
    return {windowRows, cliRows};
  }
};

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(CliBesideWindow, ReadWritesTheBytesOfTheWindowsSave) {
  Save(PathOf("window.kvn"));
  const CliRun run = Cli({QStringLiteral("read"), QStringLiteral("-o"), PathOf("cli.kvn")});
  ASSERT_EQ(run.exit, 0) << run.err.toStdString();
  const QByteArray window = Bytes(PathOf("window.kvn"));
  ASSERT_FALSE(window.isEmpty());
  EXPECT_EQ(Bytes(PathOf("cli.kvn")), window);
}

TEST_F(CliBesideWindow, CompareListsTheRowsOfTheWindowsCompareWithFile) {
  const auto [windowRows, cliRows] = CompareRows();
  ASSERT_EQ(windowRows.size(), 2);
  EXPECT_EQ(cliRows, windowRows);
}

// With the window's language pack in the working directory both programs name pages and
// parameters in its words.
class CliBesideWindowInGreek : public CliBesideWindow {
 protected:
  void SetUp() override {
    QString out, err;
    QTextStream o(&out), e(&err);
    const QString pack = dir->Path(QStringLiteral("el.lngpack"));
    ASSERT_EQ(lngpack::Base(pack, lngpack::BuiltInTexts(), o, e), 0);
    QStringList lines = ReadPackLines(pack);
    Translate(lines);
    ASSERT_TRUE(WritePackLines(pack, lines));
    ASSERT_EQ(lngpack::Seal(pack, o, e), 0);
    CliBesideWindow::SetUp();
  }
  void TearDown() override {
    CliBesideWindow::TearDown();  // the program goes before its working directory
    dir.reset();
  }
  std::unique_ptr<ScratchWorkingDirectory> dir = std::make_unique<ScratchWorkingDirectory>();
};

TEST_F(CliBesideWindowInGreek, CompareNamesTheRowsInThePacksWords) {
  const auto [windowRows, cliRows] = CompareRows();
  ASSERT_EQ(windowRows.size(), 2);
  EXPECT_EQ(windowRows[0][0], QStringLiteral("ΕΞΟΔΟΙ"));
  EXPECT_EQ(cliRows, windowRows);
}

// The window's export and the command line's log hold the same entries in the same texts; the
// device clock moves on in whole seconds between the two reads, so an event's time on the
// computer's clock may read a second apart.
TEST_F(CliBesideWindow, LogWritesTheRowsOfTheWindowsExport) {
  // A steady speed inside every limit: the device logs nothing more between the two reads.
  sim().WithModel([](devsim::DeviceModel& m) {
    m.ForceSpeed(1500.0f);
    m.Advance(2000);
    return 0;
  });
  Control<QPushButton>("cmd_load_log")->click();
  ASSERT_FALSE(app->eventLog->Entries().empty());
  prompts.QueueFileName(PathOf("window.csv"));
  Control<QPushButton>("cmd_export_log")->click();
  const CliRun run = Cli({QStringLiteral("log"), QStringLiteral("-o"), PathOf("cli.csv")});
  ASSERT_EQ(run.exit, 0) << run.err.toStdString();

  const EventFormats formats = LocaleEventFormats(decimalSeparator);
  const QList<QByteArray> window = Bytes(PathOf("window.csv")).split('\n');
  const QList<QByteArray> cli = Bytes(PathOf("cli.csv")).split('\n');
  ASSERT_EQ(cli.size(), window.size());
  EXPECT_EQ(cli.front(), window.front());  // the header
  const std::vector<EventEntry>& entries = app->eventLog->Entries();
  ASSERT_EQ(static_cast<size_t>(window.size()), entries.size() + 2);  // the header, a last empty line
  const char separator = formats.list.toLatin1();
  for (size_t i = 0; i < entries.size(); ++i) {
    QList<QByteArray> mine = cli[static_cast<int>(i) + 1].split(separator);
    QList<QByteArray> theirs = window[static_cast<int>(i) + 1].split(separator);
    ASSERT_EQ(mine.size(), theirs.size()) << i;
    QStringList times;
    for (int seconds = -2; seconds <= 2; ++seconds)
      times << EventTimeText(entries[i].localMs + seconds * 1000, formats);
    EXPECT_TRUE(times.contains(QString::fromLocal8Bit(mine[1]))) << i << " " << mine[1].toStdString();
    mine.removeAt(1);
    theirs.removeAt(1);
    EXPECT_EQ(mine, theirs) << i;
  }
}

// The window's configuration report of every page and the command line's of the device's set:
// the same words at the same places. Only the header's creation time may read otherwise.
TEST_F(CliBesideWindow, ReportPrintsTheWordsOfTheWindowsReportWhereItPrintsThem) {
  if (!HaveTool(QStringLiteral("pdftotext"))) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
  for (const char* box : {"chk_rep_device", "chk_rep_meas", "chk_rep_output", "chk_rep_diag"})
    Control<QCheckBox>(box)->setChecked(true);
  prompts.QueueFileName(PathOf("window.pdf"));
  Control<QPushButton>("cmd_out_report")->click();
  const CliRun run = Cli({QStringLiteral("report"), QStringLiteral("-o"), PathOf("cli.pdf")});
  ASSERT_EQ(run.exit, 0) << run.err.toStdString();

  const std::vector<PdfWord> window = PdfWords(PathOf("window.pdf"));
  const std::vector<PdfWord> cli = PdfWords(PathOf("cli.pdf"));
  ASSERT_GT(window.size(), 100u);
  ASSERT_EQ(cli.size(), window.size());
  const QRegularExpression clock(QStringLiteral("^[0-9][0-9:./-]*$"));
  for (size_t i = 0; i < cli.size(); ++i) {
    const PdfWord& mine = cli[i];
    const PdfWord& theirs = window[i];
    ASSERT_EQ(mine.page, theirs.page) << i;
    EXPECT_NEAR(mine.box.top(), theirs.box.top(), 0.5) << i << " " << mine.text.toStdString();
    if (mine.text == theirs.text) {
      EXPECT_NEAR(mine.box.left(), theirs.box.left(), 0.5) << i << " " << mine.text.toStdString();
      continue;
    }
    EXPECT_TRUE(clock.match(mine.text).hasMatch() && clock.match(theirs.text).hasMatch())
        << i << " " << mine.text.toStdString() << " / " << theirs.text.toStdString();
  }
}

}  // namespace
}  // namespace kvn::test

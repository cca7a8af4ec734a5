// The event log on the real window against the simulator: loading in blocks, the grid, the
// error-bit legend, the export and the failures that must leave the previous log whole.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <tuple>

#include "devsim/event_log.h"
#include "e2e/live_app.h"
#include "support/box_answerer.h"
#include "ui/qt_prompts.h"
#include "operations/event_log.h"
#include "texts/containers.h"
#include "ui/load_log_window.h"

namespace kvn::test {
namespace {

using Kind = RecordingPrompts::Kind;

struct Rec {
  uint32_t time;
  uint8_t code;
  uint32_t value;
};

// Every text the indicator's label shows while it paints.
class PaintedTexts : public QObject {
 public:
  explicit PaintedTexts(QLabel& label) : label_(label) { label.installEventFilter(this); }
  QStringList seen;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !label_.text().isEmpty() &&
        (seen.isEmpty() || seen.last() != label_.text()))
      seen << label_.text();
    return false;
  }

 private:
  QLabel& label_;
};

class EventLogWindow : public LiveApp {
 protected:
  static constexpr uint32_t kDeviceNow = 200000000;

  devsim::SimOptions Options() const override {
    devsim::SimOptions o = LiveApp::Options();
    o.model.eventCapacity = 3100;  // more than a master reads
    return o;
  }
  void SetUp() override {
    LiveApp::SetUp();
    // A steady speed inside every limit: the device logs nothing more while a test runs.
    sim().WithModel([](devsim::DeviceModel& m) {
      m.ForceSpeed(1500.0f);
      m.Advance(2000);
      m.SetDeviceClock(kDeviceNow);
      return 0;
    });
    StartProgram();
    Poll();
    ASSERT_TRUE(Enabled("cmd_load_log")) << prompts.Describe().toStdString();
    app->Window().ShowPage(app->Window().pg_ctrl1->indexOf(app->Window().Page(container::Log)));
  }

  void SetLog(const std::vector<Rec>& records) {
    sim().WithModel([&](devsim::DeviceModel& m) {
      m.Events().Clear();
      for (const Rec& r : records) m.Events().AddRaw(r.time, r.code, r.value);
      return 0;
    });
  }
  // n records, codes 1..24 in turn.
  void FillLog(int n) {
    std::vector<Rec> records;
    for (int i = 0; i < n; ++i)
      records.push_back({kDeviceNow - 10000 + static_cast<uint32_t>(i), static_cast<uint8_t>(i % 24 + 1),
                         static_cast<uint32_t>(i)});
    SetLog(records);
  }
  void Load() {
    sim().ClearRequests();
    Control<QPushButton>("cmd_load_log")->click();
    app->Window().Timer1->stop();  // the handler restarts the poll; the tests tick it themselves
  }
  std::vector<int> LogReadStarts() {
    std::vector<int> starts;
    for (const auto& r : sim().Requests())
      if (r.function == 4) starts.push_back(r.start);
    return starts;
  }
  QTableWidget& Grid() const { return *Control<QTableWidget>("grd_log"); }
  QStringList Row(int k) const {
    QStringList texts;
    for (int c = 0; c < event_log::kGridColumns; ++c) {
      const QTableWidgetItem* item = Grid().item(k - 1, c);
      texts << (item ? item->text() : QStringLiteral("<none>"));
    }
    return texts;
  }
  QStringList Header() const {
    QStringList texts;
    for (int c = 0; c < event_log::kGridColumns; ++c) texts << Grid().horizontalHeaderItem(c)->text();
    return texts;
  }
  void ClickRow(int k) {
    QTableWidget& g = Grid();
    if (k == 0) {
      QHeaderView* header = g.horizontalHeader();
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(20, header->height() / 2));
      return;
    }
    g.scrollToItem(g.item(k - 1, 0));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualItemRect(g.item(k - 1, 1)).center());
  }
  // Legend rows (01..25) shown bold; the code panel and the description must agree.
  std::vector<int> BoldRows() const {
    std::vector<int> bold;
    for (int n = 1; n <= 25; ++n) {
      const QString nn = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
      const bool code = Control(("gpl_ecode_" + nn).toLatin1().constData())->font().bold();
      const bool desc = Control(("lbl_edesc_" + nn).toLatin1().constData())->font().bold();
      EXPECT_EQ(code, desc) << n;
      if (code) bold.push_back(n);
    }
    return bold;
  }
};

TEST_F(EventLogWindow, BeforeAnyLoadHeaderAndOneEmptyRow) {
  EXPECT_EQ(Header(), (QStringList{"Entry No.", "Time", "Event", "Value", "CRC"}));
  EXPECT_EQ(Grid().rowCount(), 1);
  EXPECT_TRUE(Grid().isColumnHidden(4));
  const int w = Grid().width();
  const int percent[] = {12, 27, 40, 15};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(Grid().columnWidth(c), w * percent[c] / 100) << c;
}

TEST_F(EventLogWindow, FirstRecordEndMarkerGivesOnlyTheHeader) {
  SetLog({});
  Load();
  EXPECT_EQ(LogReadStarts(), std::vector<int>{0});
  EXPECT_EQ(Grid().rowCount(), 0);
  EXPECT_EQ(Header()[0], "Entry No.");
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(EventLogWindow, BlocksOfTenWithTheIndicatorAfterEach) {
  FillLog(25);
  PaintedTexts painted(app->loadLog->lbl_load_log());
  Load();
  EXPECT_EQ(LogReadStarts(), (std::vector<int>{0, 50, 100}));
  for (const auto& r : sim().Requests()) {
    if (r.function == 4) {
      EXPECT_EQ(r.count, 50);
    }
  }
  EXPECT_EQ(painted.seen, (QStringList{"Loading block 10", "Loading block 20", "Loading block 25"}));
  EXPECT_EQ(Grid().rowCount(), 25);
  EXPECT_EQ(Row(25)[0], "25");
  EXPECT_FALSE(app->loadLog->isVisible());
  EXPECT_TRUE(app->loadLog->lbl_load_log().text().isEmpty());
}

TEST_F(EventLogWindow, FullLogStopsAtThreeThousand) {
  FillLog(3050);
  Load();
  const std::vector<int> starts = LogReadStarts();
  ASSERT_EQ(starts.size(), 300u);
  EXPECT_EQ(starts.back(), 14950);
  EXPECT_EQ(Grid().rowCount(), 3000);
  EXPECT_EQ(app->eventLog->Entries().size(), 3000u);
  EXPECT_EQ(Row(3000)[0], "3000");
  EXPECT_EQ(Row(3000)[2], app->texts.GetEventText(2999 % 24 + 1));
}

TEST_F(EventLogWindow, EachValueFormatAndAnInvalidCode) {
  const std::vector<Rec> log = {{kDeviceNow, 3, std::bit_cast<uint32_t>(100.0f)},
                                {kDeviceNow, 18, 0x12345},
                                {kDeviceNow, 1, 4},
                                {kDeviceNow, 20, 0xFFFFFFFE},
                                {kDeviceNow, 99, 0xABCD}};
  SetLog(log);
  Load();
  const QStringList expected[] = {{"Overspeed alarm ON", "   100.000"},
                                  {"Admin Password chg.", "2345"},
                                  {"Power Cycle", "00000004"},
                                  {"Admin default restored", "-2"},
                                  {"Invalid (99)", "0000ABCD"}};
  ASSERT_EQ(Grid().rowCount(), 5);
  for (int k = 1; k <= 5; ++k) {
    const Rec& r = log[static_cast<size_t>(k - 1)];
    const QString check = QStringLiteral("%1").arg(devsim::EventLog::CheckByte(r.time, r.value, r.code), 2, 16,
                                                   QLatin1Char('0')).toUpper();
    EXPECT_EQ(Row(k).mid(2), expected[k - 1] + QStringList{check}) << k;
  }
}

TEST_F(EventLogWindow, ClickShowsTheErrorBitsOfAnErrorEvent) {
  SetLog({{kDeviceNow, 2, 0x101}, {kDeviceNow, 3, 0x101}, {kDeviceNow, 21, 0x1000000}});
  Load();
  ClickRow(1);
  EXPECT_EQ(BoldRows(), (std::vector<int>{1, 9}));
  ClickRow(0);
  EXPECT_TRUE(BoldRows().empty());
  ClickRow(3);
  EXPECT_EQ(BoldRows(), std::vector<int>{25});
  ClickRow(2);  // a float value carries no error bits
  EXPECT_TRUE(BoldRows().empty());
  ClickRow(1);
  app->Window().ShowPage(0);
  EXPECT_TRUE(BoldRows().empty());
}

TEST_F(EventLogWindow, KeysMovingThroughTheGridHighlightAsAClickDoes) {
  SetLog({{kDeviceNow, 2, 0x101}, {kDeviceNow, 3, 0x101}, {kDeviceNow, 21, 0x1000000}});
  Load();
  ClickRow(2);
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<int> bold;
  } moves[] = {{Qt::Key_Down, {}, {25}},       {Qt::Key_Up, {}, {}},
               {Qt::Key_PageUp, {}, {1, 9}},   {Qt::Key_PageDown, {}, {25}},
               {Qt::Key_Home, Qt::ControlModifier, {1, 9}}, {Qt::Key_End, Qt::ControlModifier, {25}}};
  for (const auto& move : moves) {
    QTest::keyClick(&Grid(), move.key, move.modifiers);
    EXPECT_EQ(BoldRows(), move.bold) << QTest::toString(move.key);
  }
}

TEST_F(EventLogWindow, EventTimeOnThePcClock) {
  SetLog({{kDeviceNow - 3600, 1, 0}});
  const qint64 before = QDateTime::currentMSecsSinceEpoch();
  Load();
  const qint64 after = QDateTime::currentMSecsSinceEpoch();
  ASSERT_EQ(Grid().rowCount(), 1);
  // The device clock moves on in whole seconds while the test runs.
  const qint64 shown = app->eventLog->Entries()[0].localMs;
  EXPECT_GE(shown, before - 3600 * 1000 - 3000);
  EXPECT_LE(shown, after - 3600 * 1000 + 1000);
  EXPECT_EQ(Row(1)[1], EventTimeText(shown, LocaleEventFormats(QLatin1Char('.'))));
}

class EventLogExport : public EventLogWindow {
 protected:
  void SetUp() override {
    decimalSeparator = QLatin1Char(',');
    EventLogWindow::SetUp();
  }
  QString Path() const { return workBase.filePath("log.csv"); }
  void Export() { Control<QPushButton>("cmd_export_log")->click(); }
};

TEST_F(EventLogExport, LinesWithTheListSeparator) {
  SetLog({{kDeviceNow, 1, 4}, {kDeviceNow, 3, std::bit_cast<uint32_t>(2.5f)}});
  Load();
  prompts.QueueFileName(Path());
  Export();
  const auto& calls = prompts.Calls();
  ASSERT_EQ(calls.size(), 2u) << prompts.Describe().toStdString();
  EXPECT_EQ(calls[0].kind, Kind::SaveFile);
  EXPECT_EQ(calls[0].text, "Save event log");
  EXPECT_EQ(calls[0].filter, "Event log file(*.csv);;All Files(*)");
  EXPECT_EQ(calls[0].default_ext, "csv");
  EXPECT_EQ(calls[1], (RecordingPrompts::Call{Kind::Info, "Event log saved"}));
  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  ASSERT_EQ(lines.size(), 4);  // header, two entries, nothing after the last CR LF
  EXPECT_EQ(lines[0], "Entry No.;Time;Event;Value;\r");
  EXPECT_EQ(lines[1], "1;" + Row(1)[1].toLatin1() + ";Power Cycle;00000004;\r");
  EXPECT_EQ(lines[2], "2;" + Row(2)[1].toLatin1() + ";Overspeed alarm ON;     2,500;\r");
  EXPECT_TRUE(lines[3].isEmpty());
}

TEST_F(EventLogExport, ExistingFileKeptWhenDeclined) {
  QFile old(Path());
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  prompts.QueueFileName(Path());
  prompts.QueueConfirm(false);
  Export();
  EXPECT_EQ(prompts.TextsOf(Kind::Confirm), QStringList{app->texts.GetMessageText(66)});
  EXPECT_TRUE(prompts.TextsOf(Kind::Info).isEmpty());
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "old");
}

// The export as the window wrote it before the log had a core: the grid's header and the first
// four cells of each of its rows, each followed by the list separator, CR LF, 8-bit.
QByteArray GridCsv(const QTableWidget& grid, QChar separator) {
  QString text;
  auto cell = [](const QTableWidgetItem* item) { return item ? item->text() : QString(); };
  for (int c = 0; c < event_log::kExportedColumns; ++c) text += cell(grid.horizontalHeaderItem(c)) + separator;
  text += QStringLiteral("\r\n");
  for (int r = 0; r < grid.rowCount(); ++r) {
    for (int c = 0; c < event_log::kExportedColumns; ++c) text += cell(grid.item(r, c)) + separator;
    text += QStringLiteral("\r\n");
  }
  return text.toLocal8Bit();
}

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct ExportCase {
  const char* name;
  char decimal;
  int records;  // -1: nothing loaded
};

class EventLogExportBytes : public EventLogWindow, public ::testing::WithParamInterface<ExportCase> {
 protected:
  void SetUp() override {
    decimalSeparator = QLatin1Char(GetParam().decimal);
    EventLogWindow::SetUp();
  }
  QByteArray Export(const QString& name) {
    const QString path = workBase.filePath(name);
    prompts.QueueFileName(path);
    Control<QPushButton>("cmd_export_log")->click();
    return FileBytes(path);
  }
  EventFormats Formats() const { return LocaleEventFormats(decimalSeparator); }
};

// The window's file is what its grid shows, and what the core makes of the same entries; a core
// of its own, reading the device as the command line does, finds the same entries.
TEST_P(EventLogExportBytes, WindowFileEqualsTheGridAndTheCoresCsv) {
  const ExportCase& c = GetParam();
  if (c.records >= 0) {
    FillLog(c.records);
    Load();
  }
  const QByteArray file = Export(QStringLiteral("log.csv"));
  EXPECT_EQ(prompts.TextsOf(Kind::Info), QStringList{"Event log saved"}) << prompts.Describe().toStdString();
  EXPECT_EQ(file, GridCsv(Grid(), Formats().list));
  const std::vector<QStringList> coreRows =
      c.records < 0 ? std::vector<QStringList>{EventLogHeader(app->texts), {}}
                    : EventLogRows(app->eventLog->Entries(), app->texts, Formats());
  EXPECT_EQ(file, EventLogCsv(coreRows, Formats().list));
  EXPECT_EQ(file.count("\r\n"), c.records < 0 ? 2 : std::min(c.records, 3000) + 1);
  if (c.records < 0) return;

  EventLog own(EventLog::Services{app->master, app->texts, prompts, Formats()});
  ASSERT_TRUE(own.Load(app->setup.addr)) << prompts.Describe().toStdString();
  const std::vector<EventEntry>& mine = own.Entries();
  const std::vector<EventEntry>& window = app->eventLog->Entries();
  ASSERT_EQ(mine.size(), window.size());
  for (size_t i = 0; i < mine.size(); ++i) {
    ASSERT_EQ(std::tie(mine[i].time, mine[i].value, mine[i].code, mine[i].check),
              std::tie(window[i].time, window[i].value, window[i].code, window[i].check)) << i;
    // The device clock moves on in whole seconds between the two reads.
    ASSERT_LE(std::abs(mine[i].localMs - window[i].localMs), 2000) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Logs, EventLogExportBytes,
    ::testing::Values(ExportCase{"NothingLoadedPoint", '.', -1}, ExportCase{"NothingLoadedComma", ',', -1},
                      ExportCase{"EmptyPoint", '.', 0}, ExportCase{"OneComma", ',', 1},
                      ExportCase{"SeveralPoint", '.', 25}, ExportCase{"SeveralComma", ',', 25},
                      ExportCase{"FullComma", ',', 3050}),
    [](const auto& info) { return std::string(info.param.name); });

// After a load that failed half-way the export is still the previous log, as the grid shows it.
TEST_F(EventLogExport, AfterAFailedLoadTheFileIsThePreviousLog) {
  SetLog({{kDeviceNow, 2, 0x101}, {kDeviceNow, 1, 4}});
  Load();
  prompts.QueueFileName(workBase.filePath("before.csv"));
  Export();
  FillLog(25);
  sim().faults().silentLogFrom = 50;
  Load();
  sim().SetFault(devsim::Fault::None);
  prompts.QueueFileName(workBase.filePath("after.csv"));
  Export();
  const QByteArray after = FileBytes(workBase.filePath("after.csv"));
  EXPECT_EQ(after, FileBytes(workBase.filePath("before.csv")));
  EXPECT_EQ(after, GridCsv(Grid(), QLatin1Char(';')));
  EXPECT_EQ(after.count("\r\n"), 3);
}

// A failed load: its messages, and the previous log whole in the entries and the grid.
struct FailureCase {
  const char* name;
  void (*fault)(devsim::PtyDevice&);
  std::vector<int> messages;  // -1: "No Connection"
};

class EventLogFailure : public EventLogWindow, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(EventLogFailure, KeepsThePreviousLog) {
  SetLog({{kDeviceNow, 2, 0x101}, {kDeviceNow, 1, 4}});
  Load();
  ASSERT_EQ(Grid().rowCount(), 2);
  const QStringList row1 = Row(1);
  FillLog(25);
  GetParam().fault(sim());
  prompts.ClearCalls();
  Load();
  QStringList expected;
  for (int m : GetParam().messages)
    expected << (m < 0 ? QStringLiteral("No Connection") : app->texts.GetMessageText(m));
  EXPECT_EQ(prompts.TextsOf(Kind::Error), expected);
  EXPECT_EQ(prompts.Calls().size(), static_cast<size_t>(expected.size()));
  EXPECT_EQ(Grid().rowCount(), 2);
  EXPECT_EQ(Row(1), row1);
  ASSERT_EQ(app->eventLog->Entries().size(), 2u);
  EXPECT_EQ(app->eventLog->Entries()[0].value, 0x101);
  EXPECT_FALSE(app->loadLog->isVisible());
  sim().SetFault(devsim::Fault::None);
  ClickRow(1);  // the grid's entry and the stored entry are still the same one
  EXPECT_EQ(BoldRows(), (std::vector<int>{1, 9}));
}

// The failure boxes of a load, answered with a click or Enter on the real boxes: the indicator
// stands aside while each is up, so the box is on top and takes the click.
class EventLogFailureBoxes : public EventLogWindow, public ::testing::WithParamInterface<BoxAnswerer::How> {};

TEST_P(EventLogFailureBoxes, AreAnsweredWhileTheIndicatorStandsAside) {
  FillLog(25);
  sim().faults().silentLogFrom = 50;
  QtPrompts realBoxes;
  prompts.realBoxes = &realBoxes;
  BoxAnswerer answerer(GetParam());
  int indicatorOnTop = 0;
  answerer.onBox = [&](QMessageBox&) { indicatorOnTop += app->loadLog->isVisible(); };
  Load();
  EXPECT_EQ(answerer.texts, (QStringList{app->texts.GetMessageText(0), app->texts.GetMessageText(82)}));
  EXPECT_EQ(answerer.unanswered, 0);
  EXPECT_EQ(indicatorOnTop, 0);
  EXPECT_FALSE(app->loadLog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Answers, EventLogFailureBoxes,
                         ::testing::Values(BoxAnswerer::How::Click, BoxAnswerer::How::Enter),
                         [](const auto& info) { return std::string(info.param == BoxAnswerer::How::Click ? "click" : "enter"); });

INSTANTIATE_TEST_SUITE_P(
    Faults, EventLogFailure,
    ::testing::Values(
        FailureCase{"ClockUnreadable", [](devsim::PtyDevice& d) { d.SetFault(devsim::Fault::Silent); }, {-1}},
        FailureCase{"SecondBlockSilent", [](devsim::PtyDevice& d) { d.faults().silentLogFrom = 50; }, {0, 82}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvn::test

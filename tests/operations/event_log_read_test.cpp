// The event log read without a window, against the simulator over a pseudo-terminal: the
// entries of logs of every length, the progress after each answer, the rows and CSV made from
// the entries, and failed reads that leave the previous log whole.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "device_link/block_table.h"
#include "devsim/pty_device.h"
#include "operations/event_log.h"
#include "parameters/value_codec.h"
#include "support/master_stack.h"
#include "support/recording_prompts.h"

namespace kvn {
namespace {

constexpr uint32_t kDeviceNow = 300000000;

struct Step {
  int entries;
  int maximum;
};

class EventLogRead : public ::testing::Test, protected test::MasterStack<RecordingPrompts> {
 protected:
  void SetUp() override {
    devsim::SimOptions options;
    options.model.usb = true;
    options.model.eventCapacity = 3100;  // more than a master reads
    options.realTime = false;            // the device clock stands still
    device = std::make_unique<devsim::PtyDevice>(options);
    device->WithModel([](devsim::DeviceModel& m) {
      m.SetDeviceClock(kDeviceNow);
      m.Events().Clear();
      return 0;
    });
    folder.Link(1, QString::fromStdString(device->SlavePath()));
    setup.com_num = "COM1";
    setup.usb = true;
    setup.addr = 1;
    ASSERT_TRUE(link.Open());
  }

  // n records, codes 1..24 in turn, values that differ in every byte.
  void FillLog(int n) {
    device->WithModel([n](devsim::DeviceModel& m) {
      m.Events().Clear();
      for (int i = 0; i < n; ++i)
        m.Events().AddRaw(kDeviceNow - 50000 + static_cast<uint32_t>(i) * 7, static_cast<uint8_t>(i % 24 + 1),
                          0x01020304u * static_cast<uint32_t>(i + 1));
      return 0;
    });
  }
  std::vector<devsim::EventRecord> DeviceRecords() {
    return device->WithModel([](devsim::DeviceModel& m) { return m.Events().Records(); });
  }
  int LogRequests() {
    int n = 0;
    for (const auto& r : device->Requests()) n += r.function == 4;
    return n;
  }
  // Loads with a progress that records what it was told; stopAfter answers, then asks to stop.
  bool Load(int stopAfter = -1) {
    device->ClearRequests();
    begun = 0;
    steps.clear();
    EventLogProgress progress{[this] { ++begun; },
                              [this, stopAfter](int entries, int maximum) {
                                steps.push_back({entries, maximum});
                                return static_cast<int>(steps.size()) != stopAfter;
                              }};
    return log.Load(setup.addr, progress);
  }

  std::unique_ptr<devsim::PtyDevice> device;
  std::unique_ptr<RegisterImage> clock = std::make_unique<RegisterImage>();
  EventFormats formats{QLatin1Char(','), QLatin1Char('.'), QLatin1Char('-'), QLatin1Char(';')};
  EventLog log{EventLog::Services{master, texts, prompts, formats, clock.get()}};
  int begun = 0;
  std::vector<Step> steps;
};

struct LengthCase {
  const char* name;
  int records;   // in the device
  int answers;   // requests of the log the read takes
  int entries;   // what the read keeps
};

TEST_F(EventLogRead, LogsOfEveryLength) {
  const LengthCase cases[] = {
      {"empty", 0, 1, 0},           {"one", 1, 1, 1},
      {"one full answer", 10, 2, 10}, {"several answers", 25, 3, 25},
      {"full", 3000, 300, 3000},    {"more than the cap", 3050, 300, 3000},
  };
  for (const LengthCase& c : cases) {
    SCOPED_TRACE(c.name);
    FillLog(c.records);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    ASSERT_TRUE(Load()) << prompts.Describe().toStdString();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
    EXPECT_EQ(LogRequests(), c.answers);
    EXPECT_EQ(begun, 1);
    // One step per answer, the count rising by the answer's records, out of the cap.
    ASSERT_EQ(steps.size(), static_cast<size_t>(c.answers));
    for (size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(steps[i].entries, std::min(c.entries, 10 * static_cast<int>(i + 1))) << "answer " << i;
      EXPECT_EQ(steps[i].maximum, 3000);
    }
    EXPECT_EQ(CombineWords(Cell(*clock, reg::DeviceClock), Cell(*clock, reg::DeviceClock + 1)),
              static_cast<int32_t>(kDeviceNow));

    const std::vector<devsim::EventRecord> records = DeviceRecords();
    const std::vector<EventEntry>& entries = log.Entries();
    ASSERT_EQ(entries.size(), static_cast<size_t>(c.entries));
    for (size_t i = 0; i < entries.size(); ++i) {
      const devsim::EventRecord& r = records[i];
      const EventEntry& e = entries[i];
      ASSERT_EQ(static_cast<uint32_t>(e.time), r.time) << i;
      ASSERT_EQ(static_cast<uint32_t>(e.value), r.value) << i;
      ASSERT_EQ(e.code, r.code) << i;
      ASSERT_EQ(e.check, devsim::EventLog::CheckByte(r.time, r.value, r.code)) << i;
      const qint64 offsetMs = (static_cast<qint64>(r.time) - kDeviceNow) * 1000;
      ASSERT_GE(e.localMs, before + offsetMs) << i;
      ASSERT_LE(e.localMs, after + offsetMs) << i;
    }
    EXPECT_TRUE(log.Loaded());
  }
}

TEST_F(EventLogRead, RowsAndCsvComeFromTheEntries) {
  // Before any read: the header and one empty row, as the page shows them.
  EXPECT_FALSE(log.Loaded());
  EXPECT_EQ(log.Csv(), "Entry No.;Time;Event;Value;\r\n;;;;\r\n");
  FillLog(3);
  ASSERT_TRUE(Load());
  const std::vector<QStringList> rows = log.Rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (QStringList{"Entry No.", "Time", "Event", "Value", "CRC"}));
  QByteArray csv = "Entry No.;Time;Event;Value;\r\n";
  for (int k = 1; k <= 3; ++k) {
    const auto cells = EventRowTexts(k, log.Entries()[static_cast<size_t>(k - 1)], texts, formats);
    EXPECT_EQ(rows[static_cast<size_t>(k)], QStringList(cells.begin(), cells.end())) << k;
    csv += (QStringList(cells.begin(), cells.begin() + 4).join(QLatin1Char(';')) + ";\r\n").toLocal8Bit();
  }
  EXPECT_EQ(log.Csv(), csv);
  // The value of entry 1 (code 1, hexadecimal) and entry 3 (code 3, a float with the comma).
  EXPECT_EQ(rows[1][3], "01020304");
  EXPECT_TRUE(rows[3][3].contains(QLatin1Char(','))) << rows[3][3].toStdString();
  const QRegularExpression time(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d-\\d\\d-\\d\\d$"));
  EXPECT_TRUE(time.match(rows[2][1]).hasMatch()) << rows[2][1].toStdString();
}

struct FailureCase {
  const char* name;
  void (*fault)(devsim::PtyDevice&);
  int stopAfter;                  // answers before the progress asks to stop; -1: never
  std::vector<int> messages;      // -1: "No Connection"
  int begun;
  size_t steps;
};

TEST_F(EventLogRead, AFailedReadKeepsThePreviousLog) {
  const FailureCase cases[] = {
      {"clock unanswered", [](devsim::PtyDevice& d) { d.SetFault(devsim::Fault::Silent); }, -1, {-1}, 0, 0},
      {"first answer missing", [](devsim::PtyDevice& d) { d.faults().silentLogFrom = 0; }, -1, {0, 82}, 1, 0},
      {"second answer missing", [](devsim::PtyDevice& d) { d.faults().silentLogFrom = 50; }, -1, {0, 82}, 1, 1},
      {"stopped by the progress", [](devsim::PtyDevice&) {}, 2, {}, 1, 2},
  };
  FillLog(2);
  ASSERT_TRUE(Load());
  const std::vector<QStringList> rows = log.Rows();
  const QByteArray csv = log.Csv();
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    FillLog(25);
    c.fault(*device);
    prompts.ClearCalls();
    EXPECT_FALSE(Load(c.stopAfter));
    QStringList expected;
    for (int m : c.messages) expected << (m < 0 ? QStringLiteral("No Connection") : texts.GetMessageText(m));
    EXPECT_EQ(prompts.TextsOf(RecordingPrompts::Kind::Error), expected);
    EXPECT_EQ(prompts.Calls().size(), static_cast<size_t>(expected.size()));
    EXPECT_EQ(begun, c.begun);
    EXPECT_EQ(steps.size(), c.steps);
    EXPECT_EQ(log.Entries().size(), 2u);
    EXPECT_EQ(log.Rows(), rows);
    EXPECT_EQ(log.Csv(), csv);
    device->SetFault(devsim::Fault::None);
  }
}

TEST_F(EventLogRead, ExportWritesTheCsvOrSaysWhyNot) {
  FillLog(12);
  ASSERT_TRUE(Load());
  QTemporaryDir dir;
  const struct {
    QString path;
    bool written;
  } cases[] = {{dir.filePath("log.csv"), true}, {dir.filePath("missing/log.csv"), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    prompts.ClearCalls();
    EXPECT_EQ(log.ExportEventLog(c.path), c.written);
    QFile file(c.path);
    if (c.written) {
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      EXPECT_EQ(file.readAll(), log.Csv());
      EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
    } else {
      EXPECT_FALSE(file.exists());
      ASSERT_EQ(prompts.TextsOf(RecordingPrompts::Kind::Error).size(), 1);
      EXPECT_FALSE(prompts.TextsOf(RecordingPrompts::Kind::Error)[0].isEmpty());
    }
  }
}

}  // namespace
}  // namespace kvn

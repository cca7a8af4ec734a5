// The backup and history files as they meet the real world: a second instance writing the same
// history, files cut short or edited, fields a spreadsheet would run, names already taken, a
// clock set back, and devices that do not say who they are.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <thread>

#include "device_link/block_table.h"
#include "devsim/pty_device.h"
#include "operations/change_history.h"
#include "operations/device_backup.h"
#include "operations/event_log.h"
#include "support/master_stack.h"
#include "support/recording_prompts.h"

namespace kvn {
namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(21, 5, 7));
const QString kNowName = QStringLiteral("2026-12-09_21-05-07.kvn");

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList HistoryLines(const QString& folder) {
  QString text = QString::fromUtf8(Bytes(folder + QStringLiteral("/history.csv")));
  if (text.endsWith(QStringLiteral("\r\n"))) text.chop(2);
  return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
}

HistoryEntry Entry(const QString& serial, const QString& result) {
  HistoryEntry e;
  e.time = kNow;
  e.serialNumber = serial;
  e.accessLevel = 0;
  e.operation = QStringLiteral("Program device settings");
  e.result = result;
  return e;
}

QString Append(const QString& folder, const HistoryEntry& entry, int lockWaitMs = kHistoryLockWaitMs) {
  return AppendHistory(folder, entry, QLatin1Char('.'), QLatin1Char(','), lockWaitMs);
}

// --- Two writers of one history ------------------------------------------------------------------

// Every line a writer was asked for, counted in the file.
int LinesOf(const QStringList& lines, const QString& writer) {
  int n = 0;
  for (const QString& line : lines) n += line.contains(QStringLiteral(",Program device settings,") + writer + QLatin1Char('#'));
  return n;
}

struct WriterCase {
  const char* name;
  bool processes;  // two program instances; otherwise two threads of this one
};

class TwoWriters : public ::testing::TestWithParam<WriterCase> {};

TEST_P(TwoWriters, KeepEveryLineOfBoth) {
  constexpr int kLines = 40;
  QTemporaryDir dir;
  if (GetParam().processes) {
    QProcess a, b;
    a.start(QStringLiteral(KVN_HISTORY_WRITER), {dir.path(), QStringLiteral("A"), QString::number(kLines)});
    b.start(QStringLiteral(KVN_HISTORY_WRITER), {dir.path(), QStringLiteral("B"), QString::number(kLines)});
    for (QProcess* p : {&a, &b}) {
      ASSERT_TRUE(p->waitForFinished(60000));
      EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
  } else {
    auto writer = [&](const QString& name, QString* error) {
      for (int i = 0; i < kLines && error->isEmpty(); ++i)
        *error = Append(dir.path(), Entry(QStringLiteral("SN-1"), name + QLatin1Char('#') + QString::number(i)));
    };
    QString errorA, errorB;
    std::thread a(writer, QStringLiteral("A"), &errorA), b(writer, QStringLiteral("B"), &errorB);
    a.join();
    b.join();
    EXPECT_EQ(errorA, QString());
    EXPECT_EQ(errorB, QString());
  }
  const QStringList lines = HistoryLines(dir.path());
  EXPECT_EQ(lines.size(), 1 + 2 * kLines);
  EXPECT_EQ(lines.value(0), HistoryHeader().join(QLatin1Char(',')) + QLatin1Char(','));
  EXPECT_EQ(LinesOf(lines, QStringLiteral("A")), kLines);
  EXPECT_EQ(LinesOf(lines, QStringLiteral("B")), kLines);
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("history.csv.lock"))));
}

INSTANTIATE_TEST_SUITE_P(History, TwoWriters,
                         ::testing::Values(WriterCase{"processes", true}, WriterCase{"threads", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A lock whose owner lives is waited for and then refused with a reason, the file untouched; a
// lock left by an instance that died is taken over.
TEST(HistoryLock, AHeldLockRefusesAndALeftOneIsTakenOver) {
  QTemporaryDir dir;
  ASSERT_EQ(Append(dir.path(), Entry(QStringLiteral("SN-1"), QStringLiteral("first"))), QString());
  const QString lockPath = dir.filePath(QStringLiteral("history.csv.lock"));
  const QByteArray before = Bytes(dir.filePath(QStringLiteral("history.csv")));
  {
    QLockFile held(lockPath);
    ASSERT_TRUE(held.tryLock(0));
    const QString error = Append(dir.path(), Entry(QStringLiteral("SN-1"), QStringLiteral("second")), 200);
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(lockPath))) << error.toStdString();
    EXPECT_EQ(Bytes(dir.filePath(QStringLiteral("history.csv"))), before);
  }
  // Process id far above any the system hands out, on this host: its owner is gone.
  ASSERT_TRUE(WriteBytes(lockPath, "2147483646\nkorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
  EXPECT_EQ(Append(dir.path(), Entry(QStringLiteral("SN-1"), QStringLiteral("third")), 200), QString());
  const QStringList lines = HistoryLines(dir.path());
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[2].contains(QStringLiteral(",third,")));
}

// --- What is already in the file ----------------------------------------------------------------

struct OldHistory {
  const char* name;
  QByteArray bytes;
  QByteArray kept;  // what precedes the new line
};

class HistoryOnDisk : public ::testing::TestWithParam<OldHistory> {};

TEST_P(HistoryOnDisk, TheNewLineStartsOnALineOfItsOwn) {
  QTemporaryDir dir;
  ASSERT_TRUE(WriteBytes(dir.filePath(QStringLiteral("history.csv")), GetParam().bytes));
  ASSERT_EQ(Append(dir.path(), Entry(QStringLiteral("SN-1"), QStringLiteral("new"))), QString());
  const QByteArray after = Bytes(dir.filePath(QStringLiteral("history.csv")));
  ASSERT_TRUE(after.startsWith(GetParam().kept)) << after.toStdString();
  const QByteArray line = after.mid(GetParam().kept.size());
  EXPECT_TRUE(line.contains(",SN-1,user,Program device settings,new,")) << line.toStdString();
  EXPECT_EQ(line.count("\r\n"), 1);
  EXPECT_TRUE(line.endsWith("\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    History, HistoryOnDisk,
    ::testing::Values(OldHistory{"cut_after_a_field", "h,\r\nold,line,", "h,\r\nold,line,\r\n"},
                      OldHistory{"cut_between_cr_and_lf", "h,\r\nold,\r", "h,\r\nold,\r"},
                      OldHistory{"ended_by_lf_alone", "h,\nold,\n", "h,\nold,\n"},
                      OldHistory{"ended_by_cr_lf", "h,\r\nold,\r\n", "h,\r\nold,\r\n"},
                      OldHistory{"one_header_without_end", "h,", "h,\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Fields a spreadsheet would run --------------------------------------------------------------

struct FormulaCase {
  const char* name;
  const char* serial;  // as the device gave it
  const char* field;   // the serial number's field in the file
};

class FormulaField : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(FormulaField, IsWrittenAsText) {
  QTemporaryDir dir;
  const QString serial = QString::fromUtf8(GetParam().serial);
  HistoryEntry entry = Entry(serial, serial);  // the result carries it as well
  ASSERT_EQ(Append(dir.path(), entry), QString());
  const QStringList lines = HistoryLines(dir.path());
  ASSERT_EQ(lines.size(), 2);
  const QStringList fields = lines[1].split(QLatin1Char(','));
  ASSERT_GE(fields.size(), 5);
  EXPECT_EQ(fields[1], QString::fromUtf8(GetParam().field));
  EXPECT_EQ(fields[4], QString::fromUtf8(GetParam().field));
  EXPECT_EQ(fields[2], QStringLiteral("user"));
}

INSTANTIATE_TEST_SUITE_P(
    History, FormulaField,
    ::testing::Values(FormulaCase{"equals_quoted", "=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
                      FormulaCase{"plus", "+41 55", "'+41 55"},
                      FormulaCase{"minus", "-2+3", "'-2+3"},
                      FormulaCase{"at", "@SUM(A1)", "'@SUM(A1)"},
                      FormulaCase{"tab", "\t=1", "'\t=1"},
                      FormulaCase{"inside_is_harmless", "KV-23=4", "KV-23=4"},
                      FormulaCase{"plain", "KV2300-0017", "KV2300-0017"}),
    [](const auto& info) { return std::string(info.param.name); });

// The quoting keeps the apostrophe inside the quotes; the event-log export is left as it was.
TEST(FormulaFieldElsewhere, TheEventLogExportKeepsItsBytes) {
  EXPECT_EQ(SpreadsheetText(QStringLiteral("-")), QStringLiteral("-"));
  EXPECT_EQ(EventLogCsv({{QStringLiteral("=1"), QStringLiteral("-2"), QStringLiteral("@x"), QStringLiteral("+3")}},
                        QLatin1Char(';')),
            QByteArray("=1;-2;@x;+3;\r\n"));
}

// --- Backup names --------------------------------------------------------------------------------

std::unique_ptr<RegisterImage> SomeSet() {
  auto image = std::make_unique<RegisterImage>();
  for (size_t i = 0; i < image->size(); ++i) (*image)[i] = static_cast<int32_t>(i % 251);
  return image;
}

struct TakenName {
  const char* name;
  std::function<bool(const QString& path)> make;  // puts something where the backup would go
  std::function<bool(const QString& path)> still;  // it is still there as it was
};

class NameAlreadyTaken : public ::testing::TestWithParam<TakenName> {};

TEST_P(NameAlreadyTaken, IsNeverWrittenThrough) {
  QTemporaryDir dir;
  const QString taken = dir.filePath(kNowName);
  ASSERT_TRUE(GetParam().make(taken));
  const BackupOutcome outcome = DeviceBackup::Write(dir.path(), kNow, *SomeSet());
  ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
  EXPECT_EQ(outcome.fileName, QStringLiteral("2026-12-09_21-05-07_2.kvn"));
  EXPECT_TRUE(GetParam().still(taken));
  EXPECT_GT(QFileInfo(dir.filePath(outcome.fileName)).size(), 1000);
}

const QString kElsewhere = QDir::tempPath() + QStringLiteral("/kvn-backup-link-target-never-written");

INSTANTIATE_TEST_SUITE_P(
    Backup, NameAlreadyTaken,
    ::testing::Values(
        TakenName{"a_file", [](const QString& p) { return WriteBytes(p, "earlier"); },
                  [](const QString& p) { return Bytes(p) == "earlier"; }},
        TakenName{"a_link_to_nowhere",
                  [](const QString& p) { QFile::remove(kElsewhere); return QFile::link(kElsewhere, p); },
                  [](const QString& p) { return QFileInfo(p).isSymLink() && !QFile::exists(kElsewhere); }},
        TakenName{"a_folder", [](const QString& p) { return QDir().mkdir(p); },
                  [](const QString& p) { return QFileInfo(p).isDir(); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Backups taken in one second, each under a name of its own, all complete.
TEST(BackupNames, OneSecondManyBackups) {
  QTemporaryDir dir;
  const QStringList expected = {kNowName, QStringLiteral("2026-12-09_21-05-07_2.kvn"),
                                QStringLiteral("2026-12-09_21-05-07_3.kvn")};
  const auto set = SomeSet();
  for (const QString& name : expected) EXPECT_EQ(DeviceBackup::Write(dir.path(), kNow, *set).fileName, name);
  for (const QString& name : expected) EXPECT_EQ(Bytes(dir.filePath(name)), Bytes(dir.filePath(kNowName)));
}

// --- Pruning -------------------------------------------------------------------------------------

struct PruneCase {
  const char* name;
  int others;              // stamp-named backups already in the folder
  int offsetDays;          // their stamps against now: positive for a clock set back since
  QStringList foreign;     // other files the folder holds
  int expectedOthersKept;  // backups of those that stay
};

class Pruning : public ::testing::TestWithParam<PruneCase> {};

QString StampName(const QDateTime& t) { return t.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss")) + QStringLiteral(".kvn"); }

TEST_P(Pruning, KeepsTheNewBackupAndTheNewestOthers) {
  const PruneCase& c = GetParam();
  QTemporaryDir dir;
  QStringList others;
  for (int i = 0; i < c.others; ++i) {
    others << StampName(kNow.addDays(c.offsetDays).addSecs(i));
    ASSERT_TRUE(WriteBytes(dir.filePath(others.back()), "old"));
  }
  for (const QString& name : c.foreign) ASSERT_TRUE(WriteBytes(dir.filePath(name), "mine"));
  const BackupOutcome outcome = DeviceBackup::Write(dir.path(), kNow, *SomeSet());
  ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
  EXPECT_EQ(outcome.fileName, kNowName);
  EXPECT_TRUE(QFile::exists(dir.filePath(kNowName)));
  // The newest of the others by their stamps stay, the oldest go.
  for (int i = 0; i < c.others; ++i)
    EXPECT_EQ(QFile::exists(dir.filePath(others[i])), i >= c.others - c.expectedOthersKept) << others[i].toStdString();
  for (const QString& name : c.foreign) EXPECT_EQ(Bytes(dir.filePath(name)), "mine") << name.toStdString();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1 + c.expectedOthersKept + c.foreign.size());
}

const QStringList kForeign = {QStringLiteral("notes.kvn"), QStringLiteral("2020-01-01.kvn"),
                              QStringLiteral("2020-13-40_00-00-00.kvn"), QStringLiteral("2020-01-01_00-00-00_x.kvn"),
                              QStringLiteral("2020-01-01_00-00-00.kvn.txt")};

INSTANTIATE_TEST_SUITE_P(
    Backup, Pruning,
    ::testing::Values(PruneCase{"fifty_five_from_the_future", 55, 400, {}, kBackupsKept - 1},
                      PruneCase{"fifty_five_older", 55, -400, {}, kBackupsKept - 1},
                      PruneCase{"forty_nine_others_all_stay", kBackupsKept - 1, 400, {}, kBackupsKept - 1},
                      PruneCase{"files_not_named_by_the_stamp_stay", 60, -1, kForeign, kBackupsKept - 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Equal stamps: the counter, then the time of the last change, tell the older.
TEST(PruningOrder, CounterThenModificationTime) {
  QTemporaryDir dir;
  const QString stamp = QStringLiteral("2030-01-01_00-00-00");
  QStringList names;
  for (int i = 0; i < kBackupsKept + 1; ++i) {
    names << (i == 0 ? stamp + QStringLiteral(".kvn") : stamp + QStringLiteral("_%1.kvn").arg(i + 1));
    ASSERT_TRUE(WriteBytes(dir.filePath(names.back()), "old"));
  }
  // Name order would take _10.kvn for older than _2.kvn.
  const BackupOutcome outcome = DeviceBackup::Write(dir.path(), kNow, *SomeSet());
  ASSERT_TRUE(outcome.ok);
  EXPECT_FALSE(QFile::exists(dir.filePath(names[0])));
  EXPECT_FALSE(QFile::exists(dir.filePath(names[1])));
  EXPECT_TRUE(QFile::exists(dir.filePath(stamp + QStringLiteral("_10.kvn"))));
  EXPECT_TRUE(QFile::exists(dir.filePath(names.back())));
}

// --- Devices that do not say who they are --------------------------------------------------------

struct FolderCase {
  const char* name;
  QString serial;
  QString tag;
  QDateTime first;
  const char* folder;  // under backups/
};

class FolderName : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderName, NamesOneDevice) {
  const FolderCase& c = GetParam();
  EXPECT_EQ(BackupFolder(QStringLiteral("/w"), c.serial, c.tag, c.first),
            QStringLiteral("/w/backups/") + QString::fromUtf8(c.folder));
}

const QString kErased(16, QChar(0xFF));

INSTANTIATE_TEST_SUITE_P(
    Backup, FolderName,
    ::testing::Values(
        // Folders already kept rely on these names.
        FolderCase{"serial", QStringLiteral("KV2300-0017-0417"), QStringLiteral("PUMP 7"), kNow, "KV2300-0017-0417"},
        FolderCase{"serial_odd_characters", QStringLiteral("AB/12 ü.3"), {}, kNow, "AB_12___3"},
        FolderCase{"serial_partly_erased", QStringLiteral("AB") + QString(3, QChar(0xFF)), {}, kNow, "AB___"},
        FolderCase{"blank_serial_with_tag", QStringLiteral("   "), QStringLiteral("PUMP 7"), kNow, "unknown-tag-PUMP_7"},
        FolderCase{"erased_serial_with_tag", kErased, QStringLiteral("P-7"), kNow, "unknown-tag-P-7"},
        FolderCase{"erased_serial_and_tag", kErased, kErased, kNow, "unknown-2026-12-09_21-05-07"},
        FolderCase{"blank_serial_and_tag", {}, QString(4, QChar(0)), kNow.addSecs(1), "unknown-2026-12-09_21-05-08"},
        FolderCase{"nothing_known", {}, {}, {}, "unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

// Two units with erased serial numbers and no tag, backed up one after the other through the
// link: each backup lands in a folder of its own.
class ErasedUnits : public ::testing::Test {
 protected:
  struct Unit : test::MasterStack<RecordingPrompts> {
    explicit Unit(const std::string& serial, const std::string& tag) {
      devsim::SimOptions options;
      options.model.usb = true;
      options.model.identity.serialNumber = serial;
      device = std::make_unique<devsim::PtyDevice>(options);
      device->WithModel([&](devsim::DeviceModel& m) {
        const std::string padded = (tag + std::string(16, ' ')).substr(0, 16);
        for (int i = 0; i < 8; ++i)
          m.SetWorkingRegister(reg::TagNumber + i, static_cast<uint16_t>(static_cast<uint8_t>(padded[2 * i]) |
                                                                         static_cast<uint8_t>(padded[2 * i + 1]) << 8));
      });
      folder.Link(1, QString::fromStdString(device->SlavePath()));
      setup.com_num = "COM1";
      setup.usb = true;
      setup.addr = 1;
    }
    std::unique_ptr<devsim::PtyDevice> device;
  };

  BackupOutcome Take(Unit& unit, const QDateTime& at) {
    if (!unit.link.Open()) return {};
    auto scratch = std::make_unique<RegisterImage>();
    BackupOutcome outcome = DeviceBackup(unit.blocks, work.path()).Take(at, *scratch);
    unit.link.Close();
    return outcome;
  }
  QTemporaryDir work;
};

TEST_F(ErasedUnits, NeverShareAFolder) {
  const std::string erased(16, '\xFF');
  struct Pair {
    std::string serialA, tagA, serialB, tagB;
  };
  const Pair pairs[] = {{erased, "", erased, ""}, {"", "", "", ""}, {erased, "PUMP-1", erased, "PUMP-2"}};
  for (const Pair& p : pairs) {
    Unit a(p.serialA, p.tagA), b(p.serialB, p.tagB);
    const BackupOutcome first = Take(a, kNow);
    const BackupOutcome second = Take(b, kNow.addSecs(30));
    ASSERT_TRUE(first.ok && second.ok) << first.error.toStdString() << second.error.toStdString();
    EXPECT_NE(first.folder, second.folder);
    EXPECT_TRUE(QFileInfo(first.folder).fileName().startsWith(QStringLiteral("unknown-")));
    EXPECT_EQ(QDir(first.folder).entryList({QStringLiteral("*.kvn")}, QDir::Files), QStringList{first.fileName});
    EXPECT_EQ(QDir(second.folder).entryList({QStringLiteral("*.kvn")}, QDir::Files), QStringList{second.fileName});
    QDir(work.path() + QStringLiteral("/backups")).removeRecursively();
  }
}

}  // namespace
}  // namespace kvn

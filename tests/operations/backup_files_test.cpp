// The backup and history files as they meet the real world: two writers of one history, files
// cut short, fields a spreadsheet would run, names already taken, a clock set back, and devices
// that do not say who they are.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <atomic>
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
bool Put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
QString Append(const QString& folder, const QString& serial, const QString& result, int waitMs = kHistoryLockWaitMs) {
  HistoryEntry e;
  e.time = kNow;
  e.serialNumber = serial;
  e.accessLevel = 0;
  e.operation = QStringLiteral("Program device settings");
  e.result = result;
  return AppendHistory(folder, e, QLatin1Char('.'), QLatin1Char(','), waitMs);
}

TEST(HistoryFile, TwoWritersKeepEveryLine) {
  constexpr int kLines = 40;
  QTemporaryDir dir;
  std::atomic<int> refused = 0;
  auto writer = [&](const QString& name) {
    for (int i = 0; i < kLines; ++i) refused += !Append(dir.path(), name, QString::number(i)).isEmpty();
  };
  std::thread a(writer, QStringLiteral("A")), b(writer, QStringLiteral("B"));
  a.join();
  b.join();
  EXPECT_EQ(refused, 0);
  const QString text = QString::fromUtf8(Bytes(dir.filePath(QStringLiteral("history.csv"))));
  EXPECT_EQ(text.count(QStringLiteral("\r\n")), 1 + 2 * kLines);
  for (const char* name : {",A,", ",B,"}) EXPECT_EQ(text.count(QString::fromLatin1(name)), kLines);
}

// A lock whose owner lives is refused with its name and nothing written; one left by a process
// that is gone is taken over.
TEST(HistoryFile, AHeldLockIsNamedAndALeftOneTakenOver) {
  QTemporaryDir dir;
  const QString lockPath = dir.filePath(QStringLiteral("history.csv.lock"));
  QLockFile held(lockPath);
  ASSERT_TRUE(held.tryLock(0));
  EXPECT_TRUE(Append(dir.path(), QStringLiteral("S"), QStringLiteral("r"), 200).contains(lockPath));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("history.csv"))));
  held.unlock();
  ASSERT_TRUE(Put(lockPath, "2147483646\nkorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
  EXPECT_EQ(Append(dir.path(), QStringLiteral("S"), QStringLiteral("r"), 200), QString());
}

struct LineCase {
  const char* name;
  QByteArray old, kept;  // the file before; what stays before the new line
  const char *serial, *field;
};
class HistoryLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(HistoryLine, StartsALineOfItsOwnAndRunsNoFormula) {
  const LineCase& c = GetParam();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("history.csv"));
  ASSERT_TRUE(Put(path, c.old));
  ASSERT_EQ(Append(dir.path(), QString::fromUtf8(c.serial), QString::fromUtf8(c.serial)), QString());
  const QByteArray after = Bytes(path);
  ASSERT_TRUE(after.startsWith(c.kept)) << after.toStdString();
  const QList<QByteArray> fields = after.mid(c.kept.size()).split(',');
  ASSERT_EQ(fields.size(), 8) << after.toStdString();
  EXPECT_EQ(fields[1], c.field);  // the serial number
  EXPECT_EQ(fields[4], c.field);  // the result
  EXPECT_EQ(fields[7], "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    History, HistoryLine,
    ::testing::Values(LineCase{"cut_after_a_field", "h,\r\nold,", "h,\r\nold,\r\n", "KV-23=4", "KV-23=4"},
                      LineCase{"header_cut", "h,", "h,\r\n", "=1+2", "'=1+2"},
                      LineCase{"ended_by_lf", "h,\nold,\n", "h,\nold,\n", "+41 55", "'+41 55"},
                      LineCase{"ended_by_cr", "h,\r\nold,\r", "h,\r\nold,\r", "-2+3", "'-2+3"},
                      LineCase{"ended_by_cr_lf", "h,\r\n", "h,\r\n", "@SUM(A1)", "'@SUM(A1)"},
                      LineCase{"quoted", "h,\r\n", "h,\r\n", "=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
                      LineCase{"tab", "h,\r\n", "h,\r\n", "\t=1", "'\t=1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryLineElsewhere, TheEventLogExportKeepsItsBytes) {
  EXPECT_EQ(EventLogCsv({{QStringLiteral("=1"), QStringLiteral("-2"), QStringLiteral("@x"), QStringLiteral("+3")}}, QLatin1Char(';')),
            QByteArray("=1;-2;@x;+3;\r\n"));
}

std::unique_ptr<RegisterImage> SomeSet() {
  auto image = std::make_unique<RegisterImage>();
  for (size_t i = 0; i < image->size(); ++i) (*image)[i] = static_cast<int32_t>(i % 251);
  return image;
}

// Whatever holds the name already (a file, a link to nowhere, a folder) is not written through.
TEST(BackupName, TakenByAnExclusiveCreate) {
  const QString elsewhere = QDir::tempPath() + QStringLiteral("/kvn-backup-never-written");
  QFile::remove(elsewhere);
  for (int kind = 0; kind < 3; ++kind) {
    QTemporaryDir dir;
    const QString taken = dir.filePath(kNowName);
    ASSERT_TRUE(kind == 0 ? Put(taken, "earlier") : kind == 1 ? QFile::link(elsewhere, taken) : QDir().mkdir(taken));
    const BackupOutcome outcome = DeviceBackup::Write(dir.path(), kNow, *SomeSet());
    EXPECT_EQ(outcome.fileName, QStringLiteral("2026-12-09_21-05-07_2.kvn")) << kind;
    EXPECT_GT(QFileInfo(dir.filePath(outcome.fileName)).size(), 1000) << kind;
    EXPECT_TRUE(kind == 0 ? Bytes(taken) == "earlier" : kind == 1 ? !QFile::exists(elsewhere) : QFileInfo(taken).isDir());
  }
}

struct PruneCase {
  const char* name;
  int others, offsetDays;  // stamp-named backups there before; their age against now
  QStringList foreign;     // files of other names
};
class Pruning : public ::testing::TestWithParam<PruneCase> {};

TEST_P(Pruning, KeepsTheNewBackupAndTheNewestOthers) {
  const PruneCase& c = GetParam();
  QTemporaryDir dir;
  QStringList others;
  for (int i = 0; i < c.others; ++i) {
    others << kNow.addDays(c.offsetDays).addSecs(i).toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss")) + QStringLiteral(".kvn");
    ASSERT_TRUE(Put(dir.filePath(others.back()), "old"));
  }
  for (const QString& name : c.foreign) ASSERT_TRUE(Put(dir.filePath(name), "mine"));
  EXPECT_EQ(DeviceBackup::Write(dir.path(), kNow, *SomeSet()).fileName, kNowName);
  QStringList due = others.mid(c.others - (kBackupsKept - 1)) + c.foreign + QStringList{kNowName};
  due.sort();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), due);
}

INSTANTIATE_TEST_SUITE_P(
    Backup, Pruning,
    ::testing::Values(PruneCase{"fifty_five_from_the_future", 55, 400, {}}, PruneCase{"fifty_five_older", 55, -400, {}},
                      PruneCase{"other_names_stay", 52, -1,
                                {"notes.kvn", "2020-01-01.kvn", "2020-13-40_00-00-00.kvn", "2020-01-01_00-00-00_x.kvn"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackupFolderName, TellsDevicesWithoutASerialNumberApart) {
  const QString erased(16, QChar(0xFF));
  const std::tuple<QString, QString, QDateTime, const char*> rows[] = {
      {QStringLiteral("KV2300-0017"), QStringLiteral("P 7"), kNow, "KV2300-0017"},  // as folders already kept
      {QStringLiteral("AB/1 ü"), {}, kNow, "AB_1__"},
      {QStringLiteral("  "), QStringLiteral("P 7"), kNow, "unknown-tag-P_7-2026-12-09_21-05-07"},
      {erased, QStringLiteral("P 7"), {}, "unknown-tag-P_7"},
      {erased, erased, kNow, "unknown-2026-12-09_21-05-07"},
      {{}, QString(4, QChar(0)), kNow.addSecs(1), "unknown-2026-12-09_21-05-08"},
      {{}, {}, {}, "unknown"}};
  for (const auto& [serial, tag, first, folder] : rows)
    EXPECT_EQ(BackupFolder(QStringLiteral("/w"), serial, tag, first), QStringLiteral("/w/backups/") + QString::fromUtf8(folder));
}

// Two units with erased serial numbers and the same (factory) tag, backed up through the link
// one after the other.
TEST(BackupFolderName, TwoErasedUnitsNeverShareOne) {
  QTemporaryDir work;
  QStringList folders;
  for (int unit = 0; unit < 2; ++unit) {
    test::MasterStack<RecordingPrompts> stack;
    devsim::SimOptions options;
    options.model.usb = true;
    options.model.identity.serialNumber = std::string(16, '\xFF');
    devsim::PtyDevice device(options);
    stack.folder.Link(1, QString::fromStdString(device.SlavePath()));
    stack.setup.com_num = "COM1";
    stack.setup.usb = true;
    stack.setup.addr = 1;
    ASSERT_TRUE(stack.link.Open());
    auto scratch = std::make_unique<RegisterImage>();
    const BackupOutcome outcome = DeviceBackup(stack.blocks, work.path()).Take(kNow.addSecs(unit), *scratch);
    ASSERT_TRUE(outcome.ok) << unit << outcome.error.toStdString();
    EXPECT_EQ(QDir(outcome.folder).entryList(QDir::Files), QStringList{outcome.fileName});
    folders << outcome.folder;
  }
  EXPECT_NE(folders[0], folders[1]);
}

}  // namespace
}  // namespace kvn

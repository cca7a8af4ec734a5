// The backup and history files as they meet the real world: two writers of one history, files
// cut short, fields a spreadsheet would run, what earlier versions left to import, and devices
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
#include "device_link/block_transfer.h"
#include "devsim/pty_device.h"
#include "operations/change_history.h"
#include "operations/device_backup.h"
#include "operations/event_log.h"
#include "operations/records_import.h"
#include "parameters/config_file.h"
#include "records/git_command.h"
#include "texts/text_record.h"
#include "support/master_stack.h"
#include "support/recording_prompts.h"

namespace kvn {
namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(21, 5, 7));

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

// What an earlier version left in backups/: each backup file and history line becomes a commit
// dated as it was, oldest first, across units; files that are no backup, or cannot be read,
// are left out with a word; a second import commits nothing again.
TEST(ImportOfBackups, EveryBackupAndHistoryLineACommitAsDatedOnce) {
  QTemporaryDir work;
  const QString backups = work.filePath(QStringLiteral("backups"));
  const QString a = backups + QStringLiteral("/KV-A");
  const QString b = backups + QStringLiteral("/KV-B");
  ASSERT_TRUE(QDir().mkpath(a) && QDir().mkpath(b));
  // Sets a file takes: each stored block with its CRC.
  const auto set = [](int32_t change) {
    auto image = std::make_unique<RegisterImage>();
    for (const BlockDescriptor& b : BlockTable) {
      if (!IsStoredBlock(b)) continue;
      (*image)[static_cast<size_t>(b.start)] += std::exchange(change, 0);
      (*image)[static_cast<size_t>(b.CrcRegister())] = ImageCrc(*image, b.start, b.count - 1);
    }
    return image;
  };
  auto older = set(0);
  auto newer = set(7);
  const QByteArray newerFile = EncodeTextRecord(ConfigurationText(*newer));
  const struct {
    QString path;
    QByteArray bytes;
  } files[] = {
      {a + QStringLiteral("/2026-12-01_08-00-00.kvn"), EncodeTextRecord(ConfigurationText(*older))},
      {a + QStringLiteral("/2026-12-03_08-00-00_2.kvn"), newerFile},
      {b + QStringLiteral("/2026-12-02_08-00-00.kvn"), EncodeTextRecord(ConfigurationText(*older))},
      {b + QStringLiteral("/2026-12-04_08-00-00.kvn"), "not a set"},  // skipped, said
      {b + QStringLiteral("/notes.kvn"), "mine"},                       // no backup: not looked at
  };
  for (const auto& f : files) ASSERT_TRUE(Put(f.path, f.bytes));
  HistoryEntry line{kNow.addDays(-8), QStringLiteral("KV-A"), 1, QStringLiteral("Program device settings"),
                    QStringLiteral("=done"), QStringLiteral("2026-12-01_08-00-00.kvn"), {}};
  ASSERT_EQ(AppendHistory(a, line, QLatin1Char('.'), QLatin1Char(';')), QString());  // 2026-12-01 21:05:07

  const ImportOutcome first = ImportBackups(work.path(), backups);
  EXPECT_EQ(first.error, QString());
  EXPECT_EQ(std::tie(first.backups, first.lines, first.alreadyThere), std::make_tuple(3, 1, 0));
  ASSERT_EQ(first.skipped.size(), 1);
  EXPECT_TRUE(first.skipped[0].startsWith(QStringLiteral("backups/KV-B/2026-12-04_08-00-00.kvn: ")));

  const test::GitRun log = test::RunGit(work.filePath(QStringLiteral("records")),
                                        {QStringLiteral("log"), QStringLiteral("--reverse"), QStringLiteral("--format=%ad|%s"),
                                         QStringLiteral("--date=format-local:%Y-%m-%d %H:%M:%S")});
  EXPECT_EQ(log.out.trimmed().split(QLatin1Char('\n')),
            (QStringList{QStringLiteral("2026-12-01 08:00:00|KV-A: backup taken before a write by an earlier version"),
                         QStringLiteral("2026-12-01 21:05:07|KV-A: Program device settings: =done"),
                         QStringLiteral("2026-12-02 08:00:00|KV-B: backup taken before a write by an earlier version"),
                         QStringLiteral("2026-12-03 08:00:00|KV-A: backup taken before a write by an earlier version")}))
      << log.err.toStdString();
  EXPECT_EQ(Bytes(work.filePath(QStringLiteral("records/KV-A/settings.kvn"))), newerFile);

  const ImportOutcome again = ImportBackups(work.path(), backups);
  EXPECT_EQ(std::tie(again.backups, again.lines, again.alreadyThere), std::make_tuple(0, 0, 4));
  // The work directory's own folder, as the first write of the records imports it: once.
  EXPECT_EQ(ImportBackupsOnce(work.path()), QString());
  EXPECT_TRUE(QFileInfo::exists(work.filePath(QStringLiteral("records/.git/korvane-backups-imported"))));
  EXPECT_EQ(test::RunGit(work.filePath(QStringLiteral("records")), {QStringLiteral("rev-list"), QStringLiteral("--count"), QStringLiteral("HEAD")})
                .out.trimmed(),
            QStringLiteral("4"));
  EXPECT_EQ(test::RunGit(work.filePath(QStringLiteral("records")), {QStringLiteral("fsck")}).exit, 0);
}

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
    EXPECT_TRUE(QFileInfo::exists(work.filePath(QStringLiteral("records/") + outcome.unit + QStringLiteral("/settings.kvn"))));
    folders << outcome.unit;
  }
  EXPECT_NE(folders[0], folders[1]);
}

}  // namespace
}  // namespace kvn

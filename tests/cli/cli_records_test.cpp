// The records as korvane-cli leaves them and as git itself reads them: a read is the unit's
// first record, a unit changed elsewhere is found changed, a program run commits its outcome
// under the engineer's Git identity, and `git blame` names who changed a limit.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "cli/cli_process.h"
#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "parameters/config_file.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "records/git_command.h"
#include "support/sim_fixture.h"
#include "texts/text_record.h"

namespace kvn::test {
namespace {

constexpr char kPassword[] = "Qx7-records";
constexpr char kUnit[] = "KV2300-0017-0417";

class CliRecords : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    ASSERT_TRUE(dir.isValid());
    qputenv("KORVANE_TEST_PAUSE_DIVISOR", "20");
    savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir.path()));
    Put("pw", QByteArray(kPassword) + "\n");
  }
  void TearDown() override {
    qputenv("HOME", savedHome);
    SimFixture::TearDown();
  }
  devsim::SimOptions Options() const override {
    devsim::SimOptions options = SimFixture::Options();
    options.model.adminPassword = kPassword;
    return options;
  }

  QString Path(const QString& name) const { return dir.filePath(name); }
  void Put(const QString& name, const QByteArray& bytes) {
    QFile f(Path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  // The engineer the next runs commit as.
  void Engineer(const char* name) {
    Put(QStringLiteral(".gitconfig"), QStringLiteral("[user]\n\tname = %1\n\temail = %1@plant.example\n")
                                          .arg(QString::fromLatin1(name)).toUtf8());
  }
  CliRun Cli(QStringList words) {
    return RunCli(words << QStringLiteral("--port") << SlavePath() << QStringLiteral("--interface") << QStringLiteral("usb")
                        << QStringLiteral("--work-dir") << Path(QStringLiteral("work")));
  }
  GitRun Git(const QStringList& arguments) { return RunGit(Path(QStringLiteral("work/records")), arguments); }

  // A released file: the unit's set with one limit changed.
  void ReleaseWithLimit(float limit) {
    QFile f(Path(QStringLiteral("set.kvn")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    auto set = std::make_unique<RegisterImage>();
    ASSERT_TRUE(ReadConfigurationText(DecodeTextRecord(f.readAll()), *set));
    const ParameterDescriptor& row = *FindParameter("txt_vmax_lim_1");
    WriteFloat(*set, RegisterOf(row), limit);
    const BlockDescriptor& block = Block(row.blockId);
    (*set)[static_cast<size_t>(block.CrcRegister())] = ImageCrc(*set, block.start, block.count - 1);
    f.close();
    Put(QStringLiteral("set.kvn"), EncodeTextRecord(ConfigurationText(*set)));
  }

  // Bob reads the unit, its tag is changed outside the records, Ada programs a released file
  // with one limit changed: three commits.
  CliRun ReadChangeElsewhereAndProgram() {
    Engineer("Bob Reader");
    const CliRun read = Cli({QStringLiteral("read"), QStringLiteral("-o"), Path(QStringLiteral("set.kvn"))});
    EXPECT_EQ(read.exit, 0) << read.err.toStdString();
    sim().WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, 0x5A5A); });
    ReleaseWithLimit(3210.0f);
    Engineer("Ada Engineer");
    return Cli({QStringLiteral("program"), Path(QStringLiteral("set.kvn")), QStringLiteral("--yes"),
                QStringLiteral("--password-file"), Path(QStringLiteral("pw"))});
  }

  QTemporaryDir dir;
  QByteArray savedHome;
};

TEST_F(CliRecords, GitNamesWhoChangedALimit) {
  ASSERT_EQ(ReadChangeElsewhereAndProgram().exit, 0);
  const QStringList log = Git({QStringLiteral("log"), QStringLiteral("--format=%an|%s")}).out.trimmed().split(QLatin1Char('\n'));
  const QString unit = QString::fromLatin1(kUnit);
  ASSERT_EQ(log.size(), 3) << log.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(log[0].startsWith(QStringLiteral("Ada Engineer|%1: Program").arg(unit))) << log[0].toStdString();
  EXPECT_EQ(log[1], QStringLiteral("Ada Engineer|%1: found changed since the last record").arg(unit));
  EXPECT_EQ(log[2], QStringLiteral("Bob Reader|%1: first record").arg(unit));
  const QString body = Git({QStringLiteral("log"), QStringLiteral("-1"), QStringLiteral("--format=%b")}).out;
  EXPECT_TRUE(body.contains(QStringLiteral("Overspeed limit, Relay 1: 3300.00 RPM → 3210.00 RPM"))) << body.toStdString();
  EXPECT_TRUE(body.contains(QStringLiteral("Access level: admin"))) << body.toStdString();
  EXPECT_TRUE(body.contains(QStringLiteral("Released file: %1 (checksum ").arg(Path(QStringLiteral("set.kvn"))))) << body.toStdString();
  EXPECT_EQ(Git({QStringLiteral("fsck"), QStringLiteral("--strict")}).exit, 0);
  // Who changed each line: the limit the program run wrote, the rest the first read.
  const QString blame = Git({QStringLiteral("blame"), QStringLiteral("-c"), unit + QStringLiteral("/settings.txt")}).out;
  const struct {
    const char* line;
    const char* author;
  } kLines[] = {{"Overspeed limit, Relay 1 = 3210", "Ada Engineer"}, {"Underspeed limit, Relay 1 =", "Bob Reader"}};
  for (const auto& expected : kLines) {
    const QStringList found = blame.split(QLatin1Char('\n')).filter(QString::fromUtf8(expected.line));
    ASSERT_EQ(found.size(), 1) << expected.line;
    EXPECT_TRUE(found[0].contains(QString::fromUtf8(expected.author))) << found[0].toStdString();
  }
  EXPECT_NE(Git({QStringLiteral("grep"), QStringLiteral("-I"), QString::fromLatin1(kPassword)}).exit, 0)
      << "the password reached the records";
}

// Records that cannot be written (a file where their folder belongs): a read is done and says
// it was not recorded; a write has no backup, and a script's default answer to going on
// without one is no: nothing is written.
TEST_F(CliRecords, ARecordsFailureIsToldAndNothingIsWrittenWithoutABackup) {
  QDir().mkpath(Path(QStringLiteral("work")));
  Put(QStringLiteral("work/records"), "not a repository");
  const CliRun program = ReadChangeElsewhereAndProgram();
  EXPECT_EQ(program.exit, 5) << program.err.toStdString();
  EXPECT_TRUE(program.out.contains("nothing written: no backup")) << program.out.toStdString();
  EXPECT_TRUE(program.err.contains("records")) << program.err.toStdString();
  const int limit = RegisterOf(*FindParameter("txt_vmax_lim_1"));
  const uint32_t bits = sim().WithModel([&](devsim::DeviceModel& m) { return m.Working()[limit] | m.Working()[limit + 1] << 16; });
  EXPECT_EQ(bits, 0x454E4000u) << "3300.0 stays";
}

// What korvane-cli reads back from the records of a unit read, found changed and programmed:
// HEAD~2 the first read, HEAD~1 the tag changed elsewhere, HEAD the programmed limit.
struct RecordsCase {
  const char* what;
  QStringList words;
  bool device;     // --port and friends given: the unit itself is read
  int exit;
  QStringList says;  // lines of stdout, each a part of one line, in order
};

TEST_F(CliRecords, LogShowAndDiffReadWhatWasRecorded) {
  ASSERT_EQ(ReadChangeElsewhereAndProgram().exit, 0);
  const QString unit = QString::fromLatin1(kUnit);
  const QString limit = QStringLiteral("OUTPUT\tOverspeed limit, Relay 1\t3300.00 RPM\t3210.00 RPM");
  const RecordsCase cases[] = {
      {"the log, newest first", {QStringLiteral("log")}, false, 0,
       {unit + QStringLiteral(": Program device settings"), QStringLiteral("found changed"), QStringLiteral("first record")}},
      {"one unit's log", {QStringLiteral("log"), unit}, false, 0, {QStringLiteral("Program"), QStringLiteral("found"), QStringLiteral("first")}},
      {"another unit's log is empty", {QStringLiteral("log"), QStringLiteral("KV9")}, false, 0, {}},
      {"the last record", {QStringLiteral("show"), unit}, false, 0, {QStringLiteral("DEVICE / Location tag = ")}},
      {"two records", {QStringLiteral("diff"), unit, QStringLiteral("HEAD~2"), QStringLiteral("HEAD")}, false, 1,
       {limit, QStringLiteral("One parameter differs.")}},
      {"the last record and the unit", {QStringLiteral("diff"), unit}, true, 0, {QStringLiteral("No differences")}},
      {"an older record and the unit", {QStringLiteral("diff"), unit, QStringLiteral("HEAD~2")}, true, 1, {limit}},
      {"a unit never recorded", {QStringLiteral("show"), QStringLiteral("KV9")}, false, 2, {}},
      {"a revision that does not exist", {QStringLiteral("diff"), unit, QStringLiteral("HEAD~9"), QStringLiteral("HEAD")}, false, 2, {}},
  };
  for (const RecordsCase& c : cases) {
    SCOPED_TRACE(c.what);
    QStringList words = QStringList{QStringLiteral("records")} + c.words;
    const CliRun run = c.device ? Cli(words)
                                : RunCli(words << QStringLiteral("--work-dir") << Path(QStringLiteral("work")));
    EXPECT_EQ(run.exit, c.exit) << run.out.toStdString() << run.err.toStdString();
    const QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    qsizetype at = 0;
    for (const QString& part : c.says) {
      while (at < lines.size() && !lines[at].contains(part)) ++at;
      EXPECT_LT(at, lines.size()) << "missing: " << part.toStdString() << "\n" << run.out.toStdString();
    }
    if (c.words.front() == QLatin1String("log") && c.exit == 0) {
      EXPECT_EQ(lines.size(), c.says.size());
    }
  }
  // The set as it was, as a file: the released file's bytes.
  ASSERT_EQ(RunCli({QStringLiteral("records"), QStringLiteral("show"), unit + QStringLiteral("@HEAD"), QStringLiteral("-o"),
                    Path(QStringLiteral("back.kvn")), QStringLiteral("--work-dir"), Path(QStringLiteral("work"))}).exit, 0);
  QFile released(Path(QStringLiteral("set.kvn")));
  QFile back(Path(QStringLiteral("back.kvn")));
  ASSERT_TRUE(released.open(QIODevice::ReadOnly) && back.open(QIODevice::ReadOnly));
  EXPECT_EQ(back.readAll(), released.readAll());
}

// The change history read back from the records: history.csv's header, the change made outside
// the program with what it changed, then the write with its own lines; CR LF.
TEST_F(CliRecords, HistoryCsvFromTheRecords) {
  ASSERT_EQ(ReadChangeElsewhereAndProgram().exit, 0);
  const QString unit = QString::fromLatin1(kUnit);
  const CliRun run = RunCli({QStringLiteral("records"), QStringLiteral("log"), unit, QStringLiteral("--csv"), QStringLiteral("-o"),
                             Path(QStringLiteral("export.csv")), QStringLiteral("--work-dir"), Path(QStringLiteral("work"))});
  ASSERT_EQ(run.exit, 0) << run.err.toStdString();
  QFile exported(Path(QStringLiteral("export.csv")));
  ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = exported.readAll().split('\n');
  ASSERT_EQ(lines.size(), 4) << lines.join('\n').toStdString();
  const char* kParts[][2] = {
      {"Date and time,Serial number,Access level,Operation,Result,", "Changed parameters,\r"},
      {",KV2300-0017-0417,-,found changed since the last record,,,", "Device tag: SPM-0417 → ZZM-0417,\r"},
      {",KV2300-0017-0417,admin,Program device settings,", "Overspeed limit, Relay 1: 3300.00 RPM → 3210.00 RPM\",\r"},
  };
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(lines[i].contains(kParts[i][0]) && lines[i].endsWith(kParts[i][1])) << lines[i].toStdString();
  }
  EXPECT_TRUE(lines[3].isEmpty());
}

}  // namespace
}  // namespace kvn::test

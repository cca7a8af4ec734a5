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

  QTemporaryDir dir;
  QByteArray savedHome;
};

TEST_F(CliRecords, GitNamesWhoChangedALimit) {
  Engineer("Bob Reader");
  ASSERT_EQ(Cli({QStringLiteral("read"), QStringLiteral("-o"), Path(QStringLiteral("set.kvn"))}).exit, 0);
  sim().WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, 0x5A5A); });
  ReleaseWithLimit(3210.0f);
  Engineer("Ada Engineer");
  const CliRun program = Cli({QStringLiteral("program"), Path(QStringLiteral("set.kvn")), QStringLiteral("--yes"),
                              QStringLiteral("--password-file"), Path(QStringLiteral("pw"))});
  ASSERT_EQ(program.exit, 0) << program.out.toStdString() << program.err.toStdString();
  EXPECT_FALSE(program.out.contains("not recorded")) << program.out.toStdString();

  const QStringList log = Git({QStringLiteral("log"), QStringLiteral("--format=%an|%s")}).out.trimmed().split(QLatin1Char('\n'));
  ASSERT_EQ(log.size(), 3) << log.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(log[0].startsWith(QStringLiteral("Ada Engineer|%1: ").arg(QLatin1String(kUnit)))) << log[0].toStdString();
  EXPECT_EQ(log[1], QStringLiteral("Ada Engineer|%1: found changed since the last record").arg(QLatin1String(kUnit)));
  EXPECT_EQ(log[2], QStringLiteral("Bob Reader|%1: first record").arg(QLatin1String(kUnit)));
  const QString body = Git({QStringLiteral("log"), QStringLiteral("-1"), QStringLiteral("--format=%b")}).out;
  EXPECT_TRUE(body.contains(QStringLiteral("Overspeed limit, Relay 1: "))) << body.toStdString();
  EXPECT_TRUE(body.contains(QStringLiteral("Access level: admin"))) << body.toStdString();

  const GitRun fsck = Git({QStringLiteral("fsck"), QStringLiteral("--strict")});
  EXPECT_EQ(fsck.exit, 0) << fsck.err.toStdString();
  const QString blame = Git({QStringLiteral("blame"), QStringLiteral("-c"), QString::fromLatin1(kUnit) + QStringLiteral("/settings.txt")}).out;
  int limitLines = 0;
  for (const QString& line : blame.split(QLatin1Char('\n'))) {
    if (line.contains(QStringLiteral("Overspeed limit, Relay 1 ="))) {
      ++limitLines;
      EXPECT_TRUE(line.contains(QStringLiteral("Ada Engineer"))) << line.toStdString();
      EXPECT_TRUE(line.contains(QStringLiteral("3210"))) << line.toStdString();
    } else if (line.contains(QStringLiteral("Underspeed limit, Relay 1 ="))) {
      EXPECT_TRUE(line.contains(QStringLiteral("Bob Reader"))) << line.toStdString();
    }
  }
  EXPECT_EQ(limitLines, 1);
  EXPECT_FALSE(Git({QStringLiteral("grep"), QStringLiteral("-I"), QString::fromLatin1(kPassword)}).exit == 0)
      << "the password reached the records";
}

}  // namespace
}  // namespace kvn::test

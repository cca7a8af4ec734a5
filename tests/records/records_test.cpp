// The records repository as git itself reads it: a unit's files change with every register
// and never hold the password, observations commit only what changed, outcomes always commit,
// an existing clone is used as it is, and several processes committing at once lose nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "devsim/factory_setup.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "records/git_command.h"
#include "records/records.h"

namespace kvn {
namespace {

using test::RunGit;

std::unique_ptr<RegisterImage> FactorySet(const char* password = "Zq7pass") {
  devsim::Registers regs{};
  devsim::FillFactorySetup(regs, devsim::DeviceIdentity{}, devsim::LineDefaults{}, password);
  auto set = std::make_unique<RegisterImage>();
  for (size_t r = 0; r < regs.size(); ++r) (*set)[r] = static_cast<int16_t>(regs[r]);
  return set;
}

QStringList Lines(const QByteArray& text) { return QString::fromUtf8(text).split(QLatin1Char('\n')); }

// --- The files of one set ---

struct Change {
  const char* what;
  std::function<void(RegisterImage&)> change;
  const char* line;  // the start of the one line of settings.txt that changes; "" for none
};

void SetText(RegisterImage& image, const char* name, const QString& text, QChar pad) {
  const ParameterDescriptor& row = *FindParameter(name);
  WriteText(image, RegisterOf(row), row.detail / 2, text.leftJustified(row.detail, pad));
}

const Change kChanges[] = {
    {"a limit", [](RegisterImage& i) { WriteFloat(i, RegisterOfName("txt_vmax_lim_1"), 3100.0f); },
     "OUTPUT / Overspeed limit, Relay 1 = 3100"},
    {"a limit below its shown decimals",
     [](RegisterImage& i) { i[RegisterOfName("txt_vmax_lim_1")] ^= 1; },
     "OUTPUT / Overspeed limit, Relay 1 = "},
    {"a text padded with zeros instead of blanks", [](RegisterImage& i) { SetText(i, "txt_usr_tag1", QString(), QChar(0)); },
     "DEVICE / Location tag = "},
    {"a tag with a line break", [](RegisterImage& i) { SetText(i, "txt_usr_tag1", QStringLiteral("A\nB"), QChar(' ')); },
     "DEVICE / Location tag = A\\x0AB"},
    {"a drop-down beyond its items", [](RegisterImage& i) { i[RegisterOfName("cmb_term")] = 6; },
     "DEVICE / MODBUS line termination = "},
    {"a register no parameter shows", [](RegisterImage& i) { i[3008] ^= 1; }, "Factory settings / Register 3008 = "},
    {"the admin password", [](RegisterImage& i) { SetText(i, "txt_password", QStringLiteral("Zq7other"), QChar(' ')); }, ""},
};

class UnitFilesTest : public ::testing::TestWithParam<Change> {};

TEST_P(UnitFilesTest, EveryRegisterChangesOneLineAndThePasswordNone) {
  const auto before = FactorySet();
  auto after = std::make_unique<RegisterImage>(*before);
  GetParam().change(*after);
  const UnitFiles a = UnitFilesOf(*before);
  const UnitFiles b = UnitFilesOf(*after);
  const QStringList left = Lines(a.text);
  const QStringList right = Lines(b.text);
  ASSERT_EQ(left.size(), right.size());
  QStringList changed;
  for (qsizetype i = 0; i < left.size(); ++i)
    if (left[i] != right[i]) changed << right[i];
  if (*GetParam().line == '\0') {
    EXPECT_TRUE(changed.isEmpty()) << changed.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(a.settings, b.settings);
  } else {
    ASSERT_EQ(changed.size(), 1) << changed.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(changed[0].startsWith(QString::fromUtf8(GetParam().line))) << changed[0].toStdString();
  }
  for (const QByteArray* file : {&b.settings, &b.text, &b.identity}) {
    EXPECT_FALSE(file->contains("Zq7")) << "a password reached the records";
  }
}

INSTANTIATE_TEST_SUITE_P(Changes, UnitFilesTest, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return "Change" + std::to_string(info.index); });

// --- The repository ---

class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    home = dir.filePath(QStringLiteral("home"));
    work = dir.filePath(QStringLiteral("work"));
    QDir().mkpath(home);
    QDir().mkpath(work);
    savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
  }
  void TearDown() override {
    qputenv("HOME", savedHome);
    qunsetenv("XDG_CONFIG_HOME");
  }
  void Identity(const QString& name, const QString& email) {
    QFile config(home + QStringLiteral("/.gitconfig"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("[user]\n\tname = %1\n\temail = %2\n").arg(name, email).toUtf8());
  }
  QString Repo() const { return Records::PathIn(work); }
  QString Git(const QStringList& arguments) { return RunGit(Repo(), arguments).out.trimmed(); }

  QTemporaryDir dir;
  QString home;
  QString work;
  QByteArray savedHome;
  const QDateTime t0{QDate(2026, 12, 10), QTime(9, 30, 0), Qt::OffsetFromUTC, 3600};
};

TEST_F(RecordsTest, ObservationsCommitWhatChangedAndOutcomesEveryAttempt) {
  Identity(QStringLiteral("Ada Engineer"), QStringLiteral("ada@plant.example"));
  const auto set = FactorySet();
  auto changed = std::make_unique<RegisterImage>(*set);
  WriteFloat(*changed, RegisterOfName("txt_vmax_lim_1"), 3100.0f);
  const UnitFiles first = UnitFilesOf(*set);
  const UnitFiles second = UnitFilesOf(*changed);
  struct Step {
    std::function<RecordOutcome(Records&)> act;
    bool commits;
  };
  const Step steps[] = {
      {[&](Records& r) { return r.Observe(QStringLiteral("SN1"), QStringLiteral("SN1"), first, t0); }, true},
      {[&](Records& r) { return r.Observe(QStringLiteral("SN1"), QStringLiteral("SN1"), first, t0.addSecs(60)); }, false},
      {[&](Records& r) { return r.Observe(QStringLiteral("SN1"), QStringLiteral("SN1"), second, t0.addSecs(120)); }, true},
      {[&](Records& r) { return r.Outcome(QStringLiteral("SN1"), nullptr, QStringLiteral("SN1: write: not known"), t0.addSecs(180)); }, true},
  };
  for (const Step& step : steps) {
    Records records(work);  // each a program run of its own
    const RecordOutcome o = step.act(records);
    EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    EXPECT_EQ(o.committed, step.commits);
  }
  EXPECT_EQ(Git({QStringLiteral("log"), QStringLiteral("--format=%an <%ae> %aI %s")}),
            QStringLiteral("Ada Engineer <ada@plant.example> 2026-12-10T09:33:00+01:00 SN1: write: not known\n"
                           "Ada Engineer <ada@plant.example> 2026-12-10T09:32:00+01:00 SN1: found changed since the last record\n"
                           "Ada Engineer <ada@plant.example> 2026-12-10T09:30:00+01:00 SN1: first record"));
  // The outcome whose result is not known changes no file.
  EXPECT_EQ(RunGit(Repo(), {QStringLiteral("diff"), QStringLiteral("--quiet"), QStringLiteral("HEAD~1"), QStringLiteral("HEAD")}).exit, 0);
  EXPECT_EQ(Git({QStringLiteral("diff"), QStringLiteral("--stat"), QStringLiteral("HEAD~2"), QStringLiteral("HEAD~1")}),
            QStringLiteral("SN1/settings.kvn | 2 +-\n SN1/settings.txt | 2 +-\n 2 files changed, 2 insertions(+), 2 deletions(-)"));
  const test::GitRun fsck = RunGit(Repo(), {QStringLiteral("fsck"), QStringLiteral("--strict")});
  EXPECT_EQ(fsck.exit, 0);
  EXPECT_EQ(fsck.err.trimmed(), QString());
  EXPECT_EQ(Git({QStringLiteral("status"), QStringLiteral("--porcelain")}), QString()) << "work tree and index follow";
  EXPECT_EQ(Git({QStringLiteral("show"), QStringLiteral("HEAD:SN1/settings.txt")}).toUtf8() + '\n', second.text);
}

TEST_F(RecordsTest, WithoutAGitIdentityTheLoginAtTheHostIsTheAuthor) {
  Records records(work);
  const auto set = FactorySet();
  ASSERT_TRUE(records.Observe(QStringLiteral("SN2"), QStringLiteral("SN2"), UnitFilesOf(*set), t0).committed);
  const QString author = Git({QStringLiteral("log"), QStringLiteral("-1"), QStringLiteral("--format=%ae")});
  EXPECT_TRUE(author.endsWith(QLatin1Char('@') + QSysInfo::machineHostName())) << author.toStdString();
  EXPECT_GT(author.indexOf(QLatin1Char('@')), 0);
}

TEST_F(RecordsTest, AnExistingCloneIsUsedAsItIs) {
  Identity(QStringLiteral("Ada Engineer"), QStringLiteral("ada@plant.example"));
  QDir().mkpath(Repo());
  ASSERT_EQ(RunGit(Repo(), {QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("plant")}).exit, 0);
  QFile readme(Repo() + QStringLiteral("/README"));
  ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
  readme.write("The plant's units\n");
  readme.close();
  RunGit(Repo(), {QStringLiteral("add"), QStringLiteral("README")});
  ASSERT_EQ(RunGit(Repo(), {QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("start")}).exit, 0);
  Records records(work);
  ASSERT_TRUE(records.Observe(QStringLiteral("SN3"), QStringLiteral("SN3"), UnitFilesOf(*FactorySet()), t0).committed);
  EXPECT_EQ(Git({QStringLiteral("log"), QStringLiteral("--format=%s"), QStringLiteral("plant")}),
            QStringLiteral("SN3: first record\nstart"));
  EXPECT_EQ(Git({QStringLiteral("ls-tree"), QStringLiteral("-r"), QStringLiteral("--name-only"), QStringLiteral("HEAD")}),
            QStringLiteral("README\nSN3/identity.txt\nSN3/settings.kvn\nSN3/settings.txt"));
  // The index git wrote (with its cached trees) holds the unit's files as committed.
  EXPECT_EQ(Git({QStringLiteral("status"), QStringLiteral("--porcelain")}), QString());
}

// git's lock files: one left behind by a program that died (older than 30 s) is removed and the
// commit says so; a fresh one belongs to a writer at work and stays.
TEST_F(RecordsTest, LocksLeftBehindAreRemovedWithANote) {
  const struct {
    bool branch;  // the branch's lock, else the index's
    int age;      // seconds
    bool removed;
  } kLocks[] = {{true, 60, true}, {false, 60, true}, {false, 0, false}};
  const UnitFiles files{"set", "line\n", "unit\n"};
  ASSERT_TRUE(Records(work).Outcome(QStringLiteral("U"), &files, QStringLiteral("U: first"), t0).committed);
  const QString branch = Git({QStringLiteral("symbolic-ref"), QStringLiteral("HEAD")});
  for (const auto& l : kLocks) {
    const QString name = l.branch ? branch + QStringLiteral(".lock") : QStringLiteral("index.lock");
    SCOPED_TRACE(name.toStdString() + " " + std::to_string(l.age));
    QFile lock(Repo() + QStringLiteral("/.git/") + name);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addSecs(-l.age), QFileDevice::FileModificationTime));
    lock.close();
    ASSERT_TRUE(Records(work).Outcome(QStringLiteral("U"), nullptr, QStringLiteral("U: again"), t0).committed);
    const QString message = Git({QStringLiteral("log"), QStringLiteral("-1"), QStringLiteral("--format=%B")});
    EXPECT_EQ(message.contains(QStringLiteral("Removed a lock left behind: ") + name), l.removed) << message.toStdString();
    EXPECT_EQ(lock.exists(), !l.removed);
    lock.remove();
  }
}

TEST_F(RecordsTest, FourProcessesCommittingAtOnceLoseNothing) {
  constexpr int kWriters = 4;
  constexpr int kCommits = 25;
  std::vector<std::unique_ptr<QProcess>> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(std::make_unique<QProcess>());
    writers.back()->start(QStringLiteral(KVN_RECORDS_WRITER),
                          {work, QStringLiteral("U%1").arg(w), QString::number(kCommits)});
  }
  for (auto& writer : writers) {
    ASSERT_TRUE(writer->waitForFinished(60000));
    EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
  }
  EXPECT_EQ(Git({QStringLiteral("rev-list"), QStringLiteral("--count"), QStringLiteral("HEAD")}),
            QString::number(kWriters * kCommits));
  EXPECT_EQ(RunGit(Repo(), {QStringLiteral("fsck"), QStringLiteral("--strict")}).exit, 0);
  EXPECT_EQ(Git({QStringLiteral("status"), QStringLiteral("--porcelain")}), QString());
  for (int w = 0; w < kWriters; ++w) {
    const QString unit = QStringLiteral("U%1").arg(w);
    EXPECT_EQ(Git({QStringLiteral("log"), QStringLiteral("--format=%s"), QStringLiteral("--grep=^Unit: ") + unit + QLatin1Char('$')})
                  .split(QLatin1Char('\n')).size(), kCommits);
    EXPECT_EQ(Git({QStringLiteral("show"), QStringLiteral("HEAD:") + unit + QStringLiteral("/settings.kvn")}),
              QStringLiteral("set %1").arg(kCommits - 1));
  }
}

}  // namespace
}  // namespace kvn

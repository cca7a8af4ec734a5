// korvane-cli's writing commands against the simulated device and its faults: each outcome's
// exit status, result line and the set the device runs afterwards; several devices at once; the
// password kept out of every process list.
#include <gtest/gtest.h>

#include "records/records.h"
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <functional>
#include <tuple>
#include <memory>
#include <vector>

#include "cli/cli_process.h"
#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "parameters/config_file.h"
#include "parameters/parameter_table.h"
#include "support/sim_fixture.h"
#include "texts/text_record.h"

namespace kvn::test {
namespace {

constexpr char kPassword[] = "Qx7-released";
constexpr uint16_t kPreviousTag = 0x5A5A;  // the device's tag before the file's set is programmed

// The file the command is given: the set read from the fresh device, or that set with one value
// no page would have let through.
enum class File { Released, OutOfLimits, UnknownChoice };

enum class Held { Released, Previous };

enum class Writes { Some, None, NoRequest };

struct Case {
  const char* name;
  const char* line;  // {file}, {pw} and the port are filled in
  File file;
  std::function<void(devsim::Faults&)> fault;
  int exit;
  Held held;
  const char* says;  // a part of the result line
  Writes writes;
};

const auto kClean = [](devsim::Faults&) {};

const Case kCases[] = {
    {"clean", "program {file} --yes --password-file {pw}", File::Released, kClean, 0, Held::Released,
     "programmed: the device holds the set", Writes::Some},
    {"an answer spoiled while the device is accepted", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) {
       f.spoilAnswerKind = devsim::AnswerFault::WrongAddress;
       f.spoilAnswerCountdown = 1;
     },
     0, Held::Released, "programmed", Writes::Some},
    {"value out of limits", "program {file} --yes --password-file {pw}", File::OutOfLimits, kClean, 5, Held::Previous,
     "Speed wheel module", Writes::None},
    {"choice the device does not know", "program {file} --yes --password-file {pw}", File::UnknownChoice, kClean, 5,
     Held::Previous, "Parameter settings not complete.", Writes::None},
    {"checksum mismatch", "program {file} --yes --password-file {pw} --expect-checksum 12345", File::Released, kClean, 5,
     Held::Previous, "not the released 12345", Writes::NoRequest},
    {"no --yes without a terminal", "program {file} --password-file {pw}", File::Released, kClean, 2, Held::Previous,
     "give --yes", Writes::NoRequest},
    {"user level refused", "program {file} --yes", File::Released, kClean, 5, Held::Previous,
     "the device is at user level", Writes::None},
    {"wrong password", "program {file} --yes --password-file {bad}", File::Released, kClean, 5, Held::Previous,
     "refused, nothing written", Writes::Some},
    {"programming ended before the commit", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) { f.programmingEndsBeforeCommit = true; }, 6, Held::Previous,
     "failed, the previous set is in force", Writes::Some},
    {"commit keeps the old set", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) { f.commitKeepsOldSet = true; }, 6, Held::Previous,
     "does not hold the new settings", Writes::Some},
    {"command answers lost, the device holds the set", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) { f.progCommandAnswersLost = 10; }, 0, Held::Released, "programmed", Writes::Some},
    {"command answers lost, the old set kept", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) {
       f.progCommandAnswersLost = 10;
       f.commitKeepsOldSet = true;
     },
     6, Held::Previous, "failed, the previous set is in force", Writes::Some},
    {"silent after the commit", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) { f.silentAfterCommit = true; }, 7, Held::Released, "the set in force is not known",
     Writes::Some},
    {"rejected groups", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) { f.rejectGroups = 0x09; }, 6, Held::Previous, "[Configuration - user], [Measurement]",
     Writes::Some},
    {"the device sets its own bit after the commit", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) { f.deviceBitAfterCommit = true; }, 0, Held::Released, "programmed", Writes::Some},
    {"the device runs neither set", "program {file} --yes --password-file {pw}", File::Released,
     [](devsim::Faults& f) { f.commitAltersRegister = reg::TagNumber + 2; }, 7, Held::Released,
     "neither the written nor the previous set in: Device tag", Writes::Some},
    {"restore default", "restore-default --yes", File::Released, kClean, 0, Held::Released, "restored", Writes::Some},
    {"save default", "save-default {file} --yes --password-file {pw}", File::Released, kClean, 0, Held::Released,
     "saved as default", Writes::Some},
};

class CliProgram : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    qputenv("KORVANE_TEST_PAUSE_DIVISOR", "20");
    QFile pw(Path("pw"));
    ASSERT_TRUE(pw.open(QIODevice::WriteOnly));
    pw.write(QByteArray(kPassword) + "\n");
    QFile bad(Path("bad"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("admin\n");
  }
  devsim::SimOptions Options() const override {
    devsim::SimOptions options = SimFixture::Options();
    options.model.adminPassword = kPassword;
    return options;
  }

  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QStringList Line(const char* line, const QStringList& ports) const {
    QStringList words = QString::fromLatin1(line).split(QLatin1Char(' '));
    for (QString& w : words)
      w.replace(QStringLiteral("{file}"), Path("set.kvn")).replace(QStringLiteral("{pw}"), Path("pw")).replace(QStringLiteral("{bad}"), Path("bad"))
          .replace(QStringLiteral("{next}"), Path("next"));
    for (const QString& port : ports) words << QStringLiteral("--port") << port;
    return words << QStringLiteral("--interface") << QStringLiteral("usb") << QStringLiteral("--work-dir")
                 << dir.filePath(QStringLiteral("work"));
  }

  // The device's set into set.kvn, spoiled as the case asks; then the device's tag changed as if
  // it had been programmed since, so that the file's set and the previous one differ.
  void PrepareFile(File kind, devsim::PtyDevice& device) {
    const CliRun read = RunCli(Line("read -o {file}", {QString::fromStdString(device.SlavePath())}));
    ASSERT_EQ(read.exit, 0) << read.err.toStdString();
    if (kind != File::Released) Spoil(kind);
    device.WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, kPreviousTag); });
  }

  void Spoil(File kind) {
    QFile f(Path("set.kvn"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    auto set = std::make_unique<RegisterImage>();
    ASSERT_TRUE(ReadConfigurationText(DecodeTextRecord(f.readAll()), *set));
    f.close();
    const char* row = kind == File::OutOfLimits ? "txt_module" : "cmb_parity";
    (*set)[static_cast<size_t>(RegisterOfName(row))] = kind == File::OutOfLimits ? 5000 : 7;
    const BlockDescriptor& block = Block(FindParameter(row)->blockId);
    (*set)[static_cast<size_t>(block.CrcRegister())] = ImageCrc(*set, block.start, block.count - 1);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(EncodeTextRecord(ConfigurationText(*set)));
  }

  QTemporaryDir dir;
};

// The result line: port, serial number, outcome, exit status, tab-separated, the last line.
QStringList ResultFields(const CliRun& run) {
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  return QString::fromUtf8(lines.back()).split(QLatin1Char('\t'));
}

bool AnyWrite(const std::vector<devsim::RecordedRequest>& requests) {
  return std::any_of(requests.begin(), requests.end(), [](const auto& r) { return r.function == 16; });
}

TEST_F(CliProgram, EachOutcomeHasItsExitStatusAndLeavesTheSetItNames) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RestartDevice(Options());
    PrepareFile(c.file, sim());
    c.fault(sim().faults());
    sim().ClearRequests();
    const CliRun run = RunCli(Line(c.line, {SlavePath()}));
    EXPECT_EQ(run.exit, c.exit) << run.out.toStdString() << run.err.toStdString();
    const QStringList fields = ResultFields(run);
    ASSERT_EQ(fields.size(), 4) << run.out.toStdString();
    EXPECT_EQ(fields[0], SlavePath());
    EXPECT_TRUE(fields[2].contains(QLatin1String(c.says))) << fields[2].toStdString();
    EXPECT_EQ(fields[3], QString::number(c.exit));
    sim().faults().silent = false;
    const uint16_t tag = sim().WithModel([](devsim::DeviceModel& m) { return m.Working()[reg::TagNumber]; });
    EXPECT_EQ(tag == kPreviousTag, c.held == Held::Previous);
    EXPECT_FALSE(sim().WithModel([](devsim::DeviceModel& m) { return m.Programming(); }));
    const std::vector<devsim::RecordedRequest> requests = sim().Requests();
    EXPECT_TRUE(c.writes == Writes::Some || !AnyWrite(requests));
    EXPECT_EQ(requests.empty(), c.writes == Writes::NoRequest);
  }
}

// save-default without a file stores the set the device runs; a restore later brings it back.
TEST_F(CliProgram, TheSavedDefaultIsWhatARestoreBringsBack) {
  PrepareFile(File::Released, sim());
  ASSERT_EQ(RunCli(Line("save-default --yes --password-file {pw}", {SlavePath()})).exit, 0);
  EXPECT_EQ(sim().WithModel([](devsim::DeviceModel& m) { return m.Defaults()[reg::TagNumber]; }), kPreviousTag);
  ASSERT_EQ(RunCli(Line("program {file} --yes --password-file {pw}", {SlavePath()})).exit, 0);
  ASSERT_NE(sim().Register(reg::TagNumber), kPreviousTag);
  ASSERT_EQ(RunCli(Line("restore-default --yes", {SlavePath()})).exit, 0);
  EXPECT_EQ(sim().Register(reg::TagNumber), kPreviousTag);
}

// At user level with --user-level-ok only the user block is written, and the result names what
// was not.
TEST_F(CliProgram, AUserLevelRunNamesTheBlocksItDidNotWrite) {
  PrepareFile(File::Released, sim());
  const CliRun run = RunCli(Line("program {file} --yes --user-level-ok", {SlavePath()}));
  EXPECT_EQ(run.exit, 0) << run.err.toStdString();
  EXPECT_TRUE(ResultFields(run)[2].contains(QLatin1String("not written: [Configuration - admin], [Measurement")));
  const BlockDescriptor& user = Block(BlockId::UserConfig);
  for (const devsim::RecordedRequest& r : sim().Requests()) {
    const bool userBlock = r.start >= user.start && r.start < user.start + user.count;
    EXPECT_TRUE(r.function != 16 || r.start == reg::ProgCommand || userBlock) << r.start;
  }
}

// The command line names a file; the process list never shows the password, neither of the
// command nor of the runs it starts for several ports.
TEST_F(CliProgram, ThePasswordNeverStandsInAProcessList) {
  PrepareFile(File::Released, sim());
  devsim::PtyDevice second(Options());
  QProcess cli;
  cli.start(QStringLiteral(KVN_CLI_PATH),
            Line("program {file} --yes --password-file {pw}", {SlavePath(), QString::fromStdString(second.SlavePath())}));
  ASSERT_TRUE(cli.waitForStarted());
  int seen = 0;
  while (!cli.waitForFinished(20)) {
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
      QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
      if (!cmdline.open(QIODevice::ReadOnly)) continue;
      const QByteArray words = cmdline.readAll();
      if (!words.contains("korvane-cli")) continue;
      ++seen;
      EXPECT_FALSE(words.contains(kPassword)) << words.toStdString();
    }
  }
  EXPECT_GT(seen, 2);  // the command and its runs were looked at while they ran
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
}

// Four devices at once, one of which stops answering in the middle of the write: its line says
// so, the other three are programmed, and the exit status is the highest of all.
TEST_F(CliProgram, FourDevicesAtOnceEachWithItsOwnResultLine) {
  std::vector<std::unique_ptr<devsim::PtyDevice>> devices;
  QStringList ports;
  for (int i = 0; i < 4; ++i) {
    devices.push_back(std::make_unique<devsim::PtyDevice>(Options()));
    ports << QString::fromStdString(devices.back()->SlavePath());
  }
  PrepareFile(File::Released, *devices[0]);
  for (auto& d : devices) d->WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, kPreviousTag); });
  devices[2]->faults().failAtWriteCountdown = 4;  // silent from the fourth write on: unplugged
  const CliRun run = RunCli(Line("program {file} --yes --password-file {pw}", ports), 60000);
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 4) << run.out.toStdString();
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const QStringList fields = QString::fromUtf8(lines[i]).split(QLatin1Char('\t'));
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(fields[0], ports[i]);
    EXPECT_EQ(fields[1], QStringLiteral("KV2300-0017-0417"));
    if (i == 2) {
      EXPECT_TRUE(fields[3] == QLatin1String("6") || fields[3] == QLatin1String("7")) << fields[3].toStdString();
      EXPECT_EQ(run.exit, fields[3].toInt());
      continue;
    }
    EXPECT_EQ(fields[3], QStringLiteral("0"));
    EXPECT_NE(devices[static_cast<size_t>(i)]->Register(reg::TagNumber), kPreviousTag);
  }
}

// Interrupts and a reader that went away, each at a step of a session: the unit always ends out
// of programming mode at user level, the result line names the set it holds, and the
// operation has its history line.
enum class Moment { Writing, AfterCommit, RestoreReread, Never };
enum class Stop { Int, Term, Hup, ClosedStdout };
enum class Holds { Previous, Released, Default };

struct Interrupt {
  const char* name;
  const char* line;
  Moment when;
  Stop stop;
  int exit;
  Holds holds;
  const char* says;  // a part of the result line; empty when stdout was closed
};

const Interrupt kInterrupts[] = {
    {"SIGINT while writing", "program {file} --yes --password-file {pw}", Moment::Writing, Stop::Int, 130,
     Holds::Previous, "interrupted, the previous set is in force"},
    {"SIGTERM while writing", "program {file} --yes --password-file {pw} --json", Moment::Writing, Stop::Term, 130,
     Holds::Previous, "interrupted, the previous set is in force"},
    {"SIGHUP while writing", "program {file} --yes --password-file {pw}", Moment::Writing, Stop::Hup, 130,
     Holds::Previous, "interrupted, the previous set is in force"},
    {"SIGINT after the commit went out", "program {file} --yes --password-file {pw}", Moment::AfterCommit, Stop::Int,
     130, Holds::Released, "interrupted, the new set is in force"},
    {"SIGINT in the restore's re-read", "restore-default --yes", Moment::RestoreReread, Stop::Int, 130, Holds::Default,
     "interrupted"},
    {"stdout closed from the start", "program {file} --yes --password-file {pw} --json", Moment::Never,
     Stop::ClosedStdout, 0, Holds::Released, ""},
};

int CommandsSent(const std::vector<devsim::RecordedRequest>& requests) {
  return static_cast<int>(std::count_if(requests.begin(), requests.end(), [](const auto& r) {
    return r.function == 16 && r.start == reg::ProgCommand;
  }));
}

int BlocksWritten(const std::vector<devsim::RecordedRequest>& requests) {
  return static_cast<int>(std::count_if(requests.begin(), requests.end(), [](const auto& r) {
    return r.function == 16 && r.start != reg::ProgCommand && r.start != reg::Password;
  }));
}

bool Reached(Moment when, const std::vector<devsim::RecordedRequest>& requests) {
  switch (when) {
    case Moment::Writing: return BlocksWritten(requests) >= 1;
    case Moment::AfterCommit:
    case Moment::RestoreReread: return CommandsSent(requests) >= 2;
    case Moment::Never: break;
  }
  return false;
}

// The unit's write outcomes in the records, newest first.
QStringList OutcomesOf(const QString& work) {
  Records records(work);
  QString error;
  QStringList outcomes;
  for (const RecordEntry& e : records.Log(QStringLiteral("KV2300-0017-0417"), &error))
    if (e.message.contains(QLatin1String("\nAccess level: "))) outcomes << e.summary;
  return outcomes;
}

TEST_F(CliProgram, AnInterruptNeverLeavesTheUnitInProgrammingMode) {
  for (const Interrupt& c : kInterrupts) {
    SCOPED_TRACE(c.name);
    RestartDevice(Options());
    PrepareFile(File::Released, sim());
    const uint16_t released = [&] {
      auto set = std::make_unique<RegisterImage>();
      QFile f(Path("set.kvn"));
      return f.open(QIODevice::ReadOnly) && ReadConfigurationText(DecodeTextRecord(f.readAll()), *set)
                 ? static_cast<uint16_t>((*set)[reg::TagNumber])
                 : uint16_t{0};
    }();
    const qsizetype outcomes = OutcomesOf(Path("work")).size();
    // Slow answers hold the write step open long after the signal goes, on a loaded machine too.
    if (c.when == Moment::Writing) sim().faults().firstByteDelayMs = 60;
    sim().ClearRequests();
    QProcess cli;
    cli.start(QStringLiteral(KVN_CLI_PATH), Line(c.line, {SlavePath()}));
    ASSERT_TRUE(cli.waitForStarted());
    if (c.stop == Stop::ClosedStdout) cli.closeReadChannel(QProcess::StandardOutput);
    static constexpr int kSignal[] = {SIGINT, SIGTERM, SIGHUP, 0};
    while (c.when != Moment::Never && !Reached(c.when, sim().Requests()) && !cli.waitForFinished(2)) {}
    if (kSignal[static_cast<int>(c.stop)] != 0) ::kill(static_cast<pid_t>(cli.processId()), kSignal[static_cast<int>(c.stop)]);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), c.exit) << cli.readAllStandardError().toStdString();
    if (*c.says) {
      const QByteArray out = cli.readAllStandardOutput();
      EXPECT_TRUE(out.contains(c.says)) << out.toStdString();
    }
    const auto [programming, level, tag, fallback] = sim().WithModel([](devsim::DeviceModel& m) {
      return std::tuple{m.Programming(), m.AccessLevel(), m.Working()[reg::TagNumber], m.Defaults()[reg::TagNumber]};
    });
    EXPECT_FALSE(programming);
    EXPECT_EQ(level, 0);
    const uint16_t expected = c.holds == Holds::Previous ? kPreviousTag : c.holds == Holds::Released ? released : fallback;
    EXPECT_EQ(tag, expected);
    const QStringList after = OutcomesOf(Path("work"));
    ASSERT_EQ(after.size(), outcomes + 1);
    EXPECT_TRUE(after.front().contains(QLatin1String(c.holds == Holds::Default ? "Restore default setup" : "Program device settings")));
  }
}

// A unit left in programming mode (its session killed) is never read as the set it runs; abort
// takes it out, after which it is read again.
TEST_F(CliProgram, AUnitInProgrammingModeIsRefusedUntilAborted) {
  PrepareFile(File::Released, sim());
  sim().WithModel([](devsim::DeviceModel& m) {
    m.WriteHolding(reg::ProgCommand, {cmd::EnterProgramming});
    m.WriteHolding(reg::TagNumber + 1, {0x4141});  // a write that was never committed
  });
  for (const char* line : {"read -o {file}", "compare {file}", "backup", "program {file} --yes --password-file {pw}"}) {
    SCOPED_TRACE(line);
    const CliRun run = RunCli(Line(line, {SlavePath()}));
    EXPECT_EQ(run.exit, 4);
    EXPECT_TRUE(run.err.contains("the unit is in programming mode")) << run.err.toStdString();
  }
  EXPECT_TRUE(sim().WithModel([](devsim::DeviceModel& m) { return m.Programming(); }));
  const CliRun abort = RunCli(Line("abort", {SlavePath()}));
  EXPECT_EQ(abort.exit, 0) << abort.err.toStdString();
  EXPECT_TRUE(abort.out.contains("left programming mode"));
  EXPECT_FALSE(sim().WithModel([](devsim::DeviceModel& m) { return m.Programming(); }));
  EXPECT_EQ(RunCli(Line("compare {file}", {SlavePath()})).exit, 1);
}

// A new admin password set from a file logs in afterwards and the old one no longer does.
TEST_F(CliProgram, TheNewPasswordLogsIn) {
  PrepareFile(File::Released, sim());
  QFile next(Path("next"));
  ASSERT_TRUE(next.open(QIODevice::WriteOnly));
  next.write("N3w-pass\n");
  next.close();
  const CliRun set = RunCli(Line("program {file} --yes --password-file {pw} --new-password-file {next}", {SlavePath()}));
  EXPECT_EQ(set.exit, 0) << set.err.toStdString();
  EXPECT_EQ(RunCli(Line("program {file} --yes --password-file {pw}", {SlavePath()})).exit, 5);
  EXPECT_EQ(RunCli(Line("program {file} --yes --password-file {next}", {SlavePath()})).exit, 0);
}

// Several ports: --json anywhere on the line reaches every run exactly, and the commands that
// write nothing print each port's own answer.
TEST_F(CliProgram, SeveralPortsPassEveryOptionAndTellEachPortsAnswer) {
  PrepareFile(File::Released, sim());
  devsim::PtyDevice second(Options());
  const QStringList ports{SlavePath(), QString::fromStdString(second.SlavePath())};
  for (const char* line : {"--json program {file} --yes --password-file {pw}", "program {file} --json --yes --password-file {pw}",
                           "program {file} --yes --password-file {pw} --json"}) {
    SCOPED_TRACE(line);
    const CliRun run = RunCli(Line(line, ports));
    EXPECT_EQ(run.exit, 0) << run.out.toStdString();
    const QList<QJsonObject> results = JsonLines(run.out);
    ASSERT_EQ(results.size(), 2) << run.out.toStdString();
    for (int i = 0; i < 2; ++i) EXPECT_EQ(results[i].value(QStringLiteral("port")).toString(), ports[i]);
  }
  second.WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, kPreviousTag); });
  const struct {
    const char* line;
    int exit;
    const char* first;   // in the first port's line
    const char* second;  // in the second port's
  } kAnswers[] = {{"identify", 0, "type 2300, firmware 1.20", "type 2300, firmware 1.20"},
                  {"backup", 0, ".kvn", ".kvn"},
                  {"compare {file}", 1, "identical to", "Device tag"}};
  for (const auto& c : kAnswers) {
    SCOPED_TRACE(c.line);
    const CliRun run = RunCli(Line(c.line, ports));
    EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    const auto lineOf = [&](const QString& port) {
      for (const QByteArray& l : lines)
        if (l.startsWith(port.toUtf8() + '\t')) return l;
      return QByteArray();
    };
    EXPECT_TRUE(lineOf(ports[0]).contains(c.first)) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(ports[1].toUtf8() + '\t') && run.out.contains(c.second)) << run.out.toStdString();
  }
}

// A parent killed outright leaves its runs to finish: each unit ends programmed and out of
// programming mode.
TEST_F(CliProgram, RunsWhoseParentDiedTakeTheirUnitsToTheEnd) {
  PrepareFile(File::Released, sim());
  devsim::PtyDevice second(Options());
  second.WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, kPreviousTag); });
  sim().faults().firstByteDelayMs = 30;
  second.faults().firstByteDelayMs = 30;
  sim().ClearRequests();
  QProcess cli;
  cli.start(QStringLiteral(KVN_CLI_PATH),
            Line("program {file} --yes --password-file {pw}", {SlavePath(), QString::fromStdString(second.SlavePath())}));
  while (BlocksWritten(sim().Requests()) == 0 && !cli.waitForFinished(2)) {}
  ::kill(static_cast<pid_t>(cli.processId()), SIGKILL);
  cli.waitForFinished();
  const auto done = [](devsim::PtyDevice& d) {
    return d.WithModel([](devsim::DeviceModel& m) { return !m.Programming() && m.Working()[reg::TagNumber] != kPreviousTag; });
  };
  for (int waited = 0; waited < 300 && !(done(sim()) && done(second)); ++waited) QThread::msleep(50);
  EXPECT_TRUE(done(sim()));
  EXPECT_TRUE(done(second));
}

// korvane-cli on a terminal as a person meets it: what the terminal shows, and answers typed
// when a question has appeared.
class Terminal {
 public:
  explicit Terminal(const QStringList& arguments) {
    std::vector<QByteArray> words{QByteArray(KVN_CLI_PATH)};
    for (const QString& a : arguments) words.push_back(a.toLocal8Bit());
    pid_ = forkpty(&fd_, nullptr, nullptr, nullptr);
    if (pid_ != 0) return;
    std::vector<char*> argv;
    for (QByteArray& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ~Terminal() {
    if (fd_ >= 0) ::close(fd_);
    if (pid_ > 0 && status_ < 0) ::kill(pid_, SIGKILL), Exit();
  }
  // Reads until the screen shows `text` (or the program ends); true when it did.
  bool WaitFor(const char* text) {
    while (!shown_.contains(text)) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20000) <= 0) return false;
      char buffer[512];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) return false;
      shown_.append(buffer, n);
    }
    return true;
  }
  void Type(const char* line) { EXPECT_GT(::write(fd_, line, strlen(line)), 0); }
  int Exit() {
    WaitFor("\x04never");  // drains until the program closes the terminal
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return status_;
  }
  const QByteArray& Shown() const { return shown_; }

 private:
  int fd_ = -1;
  pid_t pid_ = -1;
  int status_ = -1;
  QByteArray shown_;
};

// The password is asked without echo, the two questions are answered at the terminal, and a
// declined commit leaves the previous set in force.
TEST_F(CliProgram, OnATerminalThePasswordIsHiddenAndEachQuestionAsked) {
  PrepareFile(File::Released, sim());
  for (const bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "commit" : "declined");
    Terminal terminal(Line("program {file} --admin", {SlavePath()}));
    ASSERT_TRUE(terminal.WaitFor("Enter password"));
    terminal.Type("Qx7-released\n");
    ASSERT_TRUE(terminal.WaitFor("Overwrite existing parameters?"));
    ASSERT_TRUE(terminal.WaitFor("[y/N] "));
    terminal.Type("y\n");
    ASSERT_TRUE(terminal.WaitFor("Commit changes? [y/N] "));
    terminal.Type(commit ? "yes\n" : "\n");  // Enter alone is the default: no
    EXPECT_EQ(terminal.Exit(), commit ? 0 : 6) << terminal.Shown().toStdString();
    EXPECT_FALSE(terminal.Shown().contains(kPassword));
    EXPECT_FALSE(terminal.Shown().contains("Commit changes?\r\n")) << "said before it was asked";
    EXPECT_EQ(sim().Register(reg::TagNumber) == kPreviousTag, !commit);
  }
}

// Ctrl+C at the password prompt or at a question ends at once, with nothing written: the line
// typed next is no answer.
TEST_F(CliProgram, CtrlCAtAPromptEndsAtOnce) {
  PrepareFile(File::Released, sim());
  for (const char* prompt : {"Enter password", "Overwrite existing parameters? [y/N] "}) {
    SCOPED_TRACE(prompt);
    sim().ClearRequests();
    Terminal terminal(Line("program {file} --admin", {SlavePath()}));
    if (QByteArray(prompt).startsWith("Overwrite")) {
      ASSERT_TRUE(terminal.WaitFor("Enter password"));
      terminal.Type("Qx7-released\n");
    }
    ASSERT_TRUE(terminal.WaitFor(prompt));
    terminal.Type("\x03");
    EXPECT_EQ(terminal.Exit(), 130) << terminal.Shown().toStdString();
    EXPECT_FALSE(terminal.Shown().contains("Press [OK]"));
    const std::vector<devsim::RecordedRequest> requests = sim().Requests();
    EXPECT_EQ(BlocksWritten(requests), 0);
    EXPECT_EQ(sim().WithModel([](devsim::DeviceModel& m) { return m.AccessLevel(); }), 0);
  }
}

}  // namespace
}  // namespace kvn::test

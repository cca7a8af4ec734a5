// The session campaign's runs through the command line. The simulator (USB line, paced at
// 115200 baud) runs on a thread of this program; every run starts korvane-cli program FILE
// --yes --password-file PW as a script starts it, the fixed pauses divided by 1000. The device
// holds a previous set that differs from the file's in every written block, so the set it holds
// after the run tells which one is in force. A clean run counts the answers of the program's
// traffic; run r then spoils answer 1 + r mod N as the window's campaign does. Counted, with
// their targets:
//   0 without the file's set        exit 0 while the device does not hold exactly the file's set  0
//   6 without the previous set      exit 6 while the device does not hold the previous set        0
//   refused, set changed            exit 2..5 (nothing written) while it does not hold the
//                                   previous set                                                  0
//   mixed set                       the device runs a set that is neither the previous nor the
//                                   file's (per block), whatever the exit                         0
//   unexpected end                  any other exit status, a signal, or a run that did not end   0
//   no fault                        a run whose spoiled answer never came                         0
//   clean failure                   a run without a fault that does not end with 0 and the set   0
//   left in programming mode        the device still in programming mode after the command
//                                   (the campaign then takes it out, for the next run)           0
#include "cli_campaign.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "campaign_sets.h"
#include "child_process.h"
#include "devsim/device_model.h"
#include "records/records.h"
#include "devsim/pty_device.h"
#include "sim_device.h"

namespace kvn::bench {
namespace {

constexpr int kRunLimitMs = 120000;  // a command still running then has hung
constexpr int kLateAnswerMs = 1300;  // beyond the latest late answer: it goes out before the next run

enum class Holds { File, Previous, Mixed };
constexpr const char* kHoldsNames[] = {"the file's set", "the previous set", "a mixed set"};

// What a run ended with: the command's exit status (-1: a signal), its result line, and the
// set the device holds.
struct Ending {
  int exit = -1;
  QString line;
  Holds holds = Holds::Mixed;
};

struct Counts {
  int runs = 0, faultsOnce = 0, faultsOnward = 0;
  int falseSuccess = 0, oldSetNotHeld = 0, refusedChanged = 0, mixed = 0, unexpectedEnd = 0;
  int noFault = 0, cleanFailed = 0, leftProgramming = 0;
  std::map<int, std::array<int, 3>> exits;  // exit status: runs per set held
};

// How a signals run stops the command: a stop signal, a reader that went away (stdout closed
// from the start), or SIGKILL followed by korvane-cli abort.
enum class Blow { Int, Term, Hup, ClosedStdout, Kill };
constexpr const char* kBlowNames[] = {"SIGINT", "SIGTERM", "SIGHUP", "stdout closed", "SIGKILL + abort"};
constexpr int kBlowSignal[] = {SIGINT, SIGTERM, SIGHUP, 0, SIGKILL};

struct SignalCounts {
  int runs = 0;
  std::array<int, 5> blows{};
  int leftProgramming = 0, leftAdmin = 0, falseSuccess = 0, oldSetNotHeld = 0, interruptedWrongSet = 0;
  int mixed = 0, noHistory = 0, unexpectedEnd = 0, abortFailed = 0, endedBeforeStart = 0;
  std::map<int, std::array<int, 3>> exits;
};

bool Refused(int exit) { return exit >= 2 && exit <= 5; }

// The runs of each exit status by the set the device held after them.
void PrintExits(const std::map<int, std::array<int, 3>>& exits) {
  std::printf("  %4s %5s   the device holds: %13s %16s %11s\n", "exit", "runs", kHoldsNames[0], kHoldsNames[1], kHoldsNames[2]);
  for (const auto& [exit, held] : exits)
    std::printf("  %4d %5d   %31d %16d %11d\n", exit, held[0] + held[1] + held[2], held[0], held[1], held[2]);
}

// Each target with its count; true when every count is 0.
template <size_t N>
bool PrintTargets(const std::pair<const char*, int> (&targets)[N]) {
  bool ok = true;
  for (const auto& [name, count] : targets) {
    std::printf("  %-30s %4d   (target 0)\n", name, count);
    ok = ok && count == 0;
  }
  return ok;
}

// The targets a run missed, each counted where the report finds it.
struct Broken {
  std::vector<const char*> names;
  void Count(bool happened, int& counter, const char* name) {
    if (!happened) return;
    ++counter;
    names.push_back(name);
  }
};
bool Known(int exit) { return exit == 0 || Refused(exit) || exit == 6 || exit == 7; }

class CliCampaign {
 public:
  explicit CliCampaign(uint32_t seed) : device_(UsbDevice()), seed_(seed) {}
  bool Prepare();
  void Run(int first, int runs);
  bool Report(int first, int runs, double seconds) const;
  // The signals campaign: each run stops the command at a random moment.
  void RunSignals(int first, int runs);
  bool ReportSignals(int first, int runs, double seconds) const;

 private:
  static std::vector<const BlockDescriptor*> Written();
  QString Port() const { return QString::fromStdString(device_.SlavePath()); }
  QString Path(const char* name) const { return base_.filePath(QLatin1String(name)); }
  QString Cli() const { return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/korvane-cli"); }
  Set Held();
  bool MovePreviousSet();
  void PutPreviousSet();
  bool LeftInProgramming();
  Ending Program();
  void Judge(int run, const QString& fault, bool spoiled, const Ending& e);
  QStringList ProgramArguments() const;
  Ending ProgramStopped(Blow blow, int afterMs);
  int HistoryLines() const;
  bool LeftAtAdminLevel();
  void JudgeSignal(int run, Blow blow, int afterMs, const Ending& e, int historyBefore, int cleanMs);
  // Keeps a run's missed targets for the report, and traces the run when asked.
  void Keep(const Broken& broken, const QString& what);

  QTemporaryDir base_;
  devsim::PtyDevice device_;
  uint32_t seed_;
  std::vector<const BlockDescriptor*> blocks_ = Written();
  Set file_, previous_;
  int answers_ = 0;
  Counts c_;
  SignalCounts sc_;
  QStringList violations_;
};

// Logged in as admin, without a new password: every parameter block the device lets an admin
// write but the password's.
std::vector<const BlockDescriptor*> CliCampaign::Written() {
  std::vector<const BlockDescriptor*> blocks;
  for (const BlockDescriptor& b : BlockTable)
    if (b.is_parameter && b.access <= 1 && b.id != BlockId::Password) blocks.push_back(&b);
  return blocks;
}

Set CliCampaign::Held() {
  return device_.WithModel([&](devsim::DeviceModel& m) { return RegistersOf(m.Working(), blocks_); });
}

// The file is the set the device holds now, read by the command line; the previous set moves a
// value in every written block.
bool CliCampaign::Prepare() {
  QFile password(Path("admin.txt"));
  if (!password.open(QIODevice::WriteOnly) || password.write(QByteArray(devsim::kDefaultAdminPassword) + '\n') < 0) return false;
  password.close();
  const Child read = RunChild(Cli(), {QStringLiteral("read"), QStringLiteral("-o"), Path("set.kvn"), QStringLiteral("--port"), Port(),
                                      QStringLiteral("--interface"), QStringLiteral("usb"), QStringLiteral("--work-dir"), Path("work")},
                              {}, {kRunLimitMs, Path("output.txt")});
  if (read.ExitCode() != 0) {
    std::fprintf(stderr, "korvane-cli read failed (exit %d)\n", read.ExitCode());
    return false;
  }
  file_ = Held();
  return MovePreviousSet();
}

// A register of the block and another value the device takes there: a parameter that no range
// depends on, one step within its limits, or else a check box's bit, or the first two characters
// of a text.
std::pair<int, uint16_t> MovedRegister(const BlockDescriptor& b, const devsim::Registers& regs) {
  static const std::vector<const ParameterDescriptor*> free = FreeParameters();
  const auto p = std::find_if(free.begin(), free.end(), [&](const ParameterDescriptor* q) { return q->blockId == b.id; });
  if (p != free.end()) {
    const int r = RegisterOf(**p);
    const int now = static_cast<int16_t>(regs[static_cast<size_t>(r)]);
    return {r, static_cast<uint16_t>(now == (*p)->intMin ? (*p)->intMin + 1 : (*p)->intMin)};
  }
  for (const ParameterDescriptor& q : ParameterTable) {
    if (q.blockId != b.id || q.fieldType != FieldType::Bit) continue;
    const int r = RegisterOf(q);
    return {r, static_cast<uint16_t>(regs[static_cast<size_t>(r)] ^ 1u << q.detail)};
  }
  for (const ParameterDescriptor& q : ParameterTable) {
    if (q.blockId != b.id || q.fieldType != FieldType::Text) continue;
    const int r = RegisterOf(q);
    constexpr uint16_t kZz = 'Z' | 'z' << 8, kYy = 'Y' | 'y' << 8;
    return {r, regs[static_cast<size_t>(r)] == kZz ? kYy : kZz};
  }
  return {b.start, regs[static_cast<size_t>(b.start)]};  // nothing to move: found below
}

bool CliCampaign::MovePreviousSet() {
  device_.WithModel([&](devsim::DeviceModel& m) {
    for (const BlockDescriptor* b : blocks_) {
      const auto [r, value] = MovedRegister(*b, m.Working());
      m.SetWorkingRegister(r, value);
    }
  });
  previous_ = Held();
  size_t at = 0;
  for (const BlockDescriptor* b : blocks_) {
    const auto n = static_cast<size_t>(b->count);
    if (std::equal(file_.begin() + at, file_.begin() + at + n, previous_.begin() + at)) {
      std::fprintf(stderr, "block %d has no parameter to move: the previous set would not differ there\n", b->Number());
      return false;
    }
    at += n;
  }
  return true;
}

void CliCampaign::PutPreviousSet() {
  device_.WithModel([&](devsim::DeviceModel& m) {
    size_t i = 0;
    for (const BlockDescriptor* b : blocks_)
      for (int r = b->start; r < b->start + b->count; ++r) m.SetWorkingRegister(r, previous_[i++]);
  });
}

// True when the command left the device in programming mode; the device is then taken out of it,
// dropping what was written, as the next run needs it.
bool CliCampaign::LeftInProgramming() {
  return device_.WithModel([](devsim::DeviceModel& m) {
    if (!m.Programming()) return false;
    m.WriteHolding(reg::ProgCommand, {static_cast<uint16_t>(cmd::LeaveProgramming)});
    return true;
  });
}

Ending CliCampaign::Program() {
  const Child child =
      RunChild(Cli(),
               {QStringLiteral("program"), Path("set.kvn"), QStringLiteral("--yes"), QStringLiteral("--password-file"),
                Path("admin.txt"), QStringLiteral("--port"), Port(), QStringLiteral("--interface"), QStringLiteral("usb"),
                QStringLiteral("--work-dir"), Path("work")},
               {QStringLiteral("KORVANE_TEST_PAUSE_DIVISOR=1000")}, {kRunLimitMs, Path("output.txt")});
  Ending e;
  e.exit = child.ExitCode();
  QFile output(Path("output.txt"));
  if (output.open(QIODevice::ReadOnly))
    for (const QByteArray& line : output.readAll().split('\n'))
      if (line.contains('\t')) e.line = QString::fromUtf8(line);
  const Set held = Held();
  // Every written block differs between the two sets: a set that is neither is mixed.
  e.holds = held == file_ ? Holds::File : held == previous_ ? Holds::Previous : Holds::Mixed;
  return e;
}

void CliCampaign::Judge(int run, const QString& fault, bool spoiled, const Ending& e) {
  Broken broken;
  const auto count = [&](bool happened, int& counter, const char* name) { broken.Count(happened, counter, name); };
  count(!spoiled && (e.exit != 0 || e.holds != Holds::File), c_.cleanFailed, "clean failure");
  if (run > 0) {
    ++c_.runs;
    ++c_.exits[e.exit][static_cast<size_t>(e.holds)];
    count(!spoiled, c_.noFault, "no fault");
    count(e.exit == 0 && e.holds != Holds::File, c_.falseSuccess, "0 without the file's set");
    count(e.exit == 6 && e.holds != Holds::Previous, c_.oldSetNotHeld, "6 without the previous set");
    count(Refused(e.exit) && e.holds != Holds::Previous, c_.refusedChanged, "refused, set changed");
    count(e.holds == Holds::Mixed, c_.mixed, "mixed set");
    count(!Known(e.exit), c_.unexpectedEnd, "unexpected end");
  }
  const QString what = QStringLiteral("run %1 (%2): exit %3, the device holds %4: %5")
                           .arg(run)
                           .arg(fault)
                           .arg(e.exit)
                           .arg(QLatin1String(kHoldsNames[static_cast<size_t>(e.holds)]), e.line);
  Keep(broken, what);
}

void CliCampaign::Keep(const Broken& broken, const QString& what) {
  for (const char* b : broken.names) violations_ << QStringLiteral("%1 in %2").arg(QLatin1String(b), what);
  if (std::getenv("KVN_SESSION_TRACE")) std::fprintf(stderr, "%s\n", qPrintable(what));
}

void CliCampaign::Run(int first, int runs) {
  for (int i = 0; i <= runs; ++i) {
    const int run = i == 0 ? 0 : first + i - 1;  // run 0 is clean: it counts the answers
    PutPreviousSet();
    device_.ClearRequests();
    devsim::Faults& faults = device_.faults();
    faults.Clear();
    // Each run's own stream, so that a campaign split into parts runs the same faults.
    std::seed_seq seeds{seed_, static_cast<uint32_t>(run)};
    std::mt19937 random(seeds);
    QString fault = QStringLiteral("clean");
    bool lateAnswer = false;
    if (run > 0) {
      const bool onward = Spoil(faults, run, answers_, random);
      ++(onward ? c_.faultsOnward : c_.faultsOnce);
      lateAnswer = !onward && faults.spoilAnswerKind == AnswerFault::Late;
      fault = QStringLiteral("answer %1 of %2: %3%4")
                  .arg(1 + run % answers_)
                  .arg(answers_)
                  .arg(QLatin1String(FaultName(faults.spoilAnswerKind)), onward ? QStringLiteral(" from it on") : QString());
    }
    const Ending e = Program();
    const bool spoiled = faults.answersSpoiled > 0;
    if (run == 0) answers_ = static_cast<int>(device_.Requests().size());
    faults.Clear();
    if (lateAnswer) QThread::msleep(kLateAnswerMs);
    Judge(run, fault, spoiled, e);
    if (LeftInProgramming()) ++c_.leftProgramming;
  }
}

bool CliCampaign::Report(int first, int runs, double seconds) const {
  std::printf("session_campaign cli: runs %d..%d of korvane-cli program FILE --yes --password-file PW in %.0f s,\n"
              "one of its %d answers spoiled in each (once: %d, from it on: %d), fixed pauses divided by 1000,\n"
              "USB line at 115200 baud\n",
              first, first + runs - 1, seconds, answers_, c_.faultsOnce, c_.faultsOnward);
  PrintExits(c_.exits);
  const std::pair<const char*, int> targets[] = {
      {"0 without the file's set", c_.falseSuccess}, {"6 without the previous set", c_.oldSetNotHeld},
      {"refused (2..5), set changed", c_.refusedChanged}, {"mixed set", c_.mixed},
      {"unexpected end", c_.unexpectedEnd}, {"no fault", c_.noFault},
      {"clean failure", c_.cleanFailed}, {"left in programming mode", c_.leftProgramming}};
  bool ok = PrintTargets(targets);
  for (const QString& v : violations_) std::printf("  %s\n", qPrintable(v));
  return ok;
}

QStringList CliCampaign::ProgramArguments() const {
  return {QStringLiteral("program"), Path("set.kvn"), QStringLiteral("--yes"), QStringLiteral("--password-file"),
          Path("admin.txt"), QStringLiteral("--port"), Port(), QStringLiteral("--interface"), QStringLiteral("usb"),
          QStringLiteral("--work-dir"), Path("work")};
}

// The command started as a script starts it, stopped `afterMs` later as `blow` says; for
// SIGKILL, korvane-cli abort follows, as the man page tells an engineer.
Ending CliCampaign::ProgramStopped(Blow blow, int afterMs) {
  std::vector<QByteArray> storage{Cli().toLocal8Bit()};
  for (const QString& a : ProgramArguments()) storage.push_back(a.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& a : storage) argv.push_back(a.data());
  argv.push_back(nullptr);
  setenv("KORVANE_TEST_PAUSE_DIVISOR", "1000", 1);
  int pipeEnds[2] = {-1, -1};
  const QByteArray output = Path("output.txt").toLocal8Bit();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (blow == Blow::ClosedStdout && pipe(pipeEnds) == 0) {
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (pipeEnds[0] >= 0) {
    ::close(pipeEnds[0]);  // the reader goes away before the first line
    ::close(pipeEnds[1]);
  }
  Ending e;
  if (spawned != 0) return e;
  QThread::msleep(static_cast<unsigned long>(afterMs));
  int status = 0;
  if (kBlowSignal[static_cast<int>(blow)] != 0 && waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, kBlowSignal[static_cast<int>(blow)]);
  }
  QElapsedTimer waited;
  waited.start();
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (waited.elapsed() > kRunLimitMs) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    QThread::msleep(2);
  }
  e.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (blow != Blow::ClosedStdout) {
    QFile out(Path("output.txt"));
    if (out.open(QIODevice::ReadOnly))
      for (const QByteArray& line : out.readAll().split('\n'))
        if (line.contains('\t')) e.line = QString::fromUtf8(line);
  }
  if (blow == Blow::Kill) {
    const Child abort = RunChild(Cli(), {QStringLiteral("abort"), QStringLiteral("--port"), Port(), QStringLiteral("--interface"),
                                         QStringLiteral("usb"), QStringLiteral("--work-dir"), Path("work")},
                                 {}, {kRunLimitMs, Path("abort.txt")});
    if (abort.ExitCode() != 0) ++sc_.abortFailed;
  }
  const Set held = Held();
  e.holds = held == file_ ? Holds::File : held == previous_ ? Holds::Previous : Holds::Mixed;
  return e;
}

int CliCampaign::HistoryLines() const {
  Records records(Path("work"));
  QString error;
  const std::vector<RecordEntry> log = records.Log(QStringLiteral("KV2300-0017-0417"), &error);
  return static_cast<int>(std::count_if(log.begin(), log.end(), [](const RecordEntry& e) {
    return e.message.contains(QLatin1String("\nAccess level: "));  // a write's outcome
  }));
}

// True when the command left the device at admin level; it is then logged out for the next run.
bool CliCampaign::LeftAtAdminLevel() {
  return device_.WithModel([](devsim::DeviceModel& m) {
    if (m.AccessLevel() == 0) return false;
    m.WriteHolding(reg::Password, std::vector<uint16_t>(8, 0xFFFF));
    return true;
  });
}

void CliCampaign::JudgeSignal(int run, Blow blow, int afterMs, const Ending& e, int historyBefore, int cleanMs) {
  Broken broken;
  const auto count = [&](bool happened, int& counter, const char* name) { broken.Count(happened, counter, name); };
  ++sc_.runs;
  ++sc_.blows[static_cast<size_t>(blow)];
  ++sc_.exits[e.exit][static_cast<size_t>(e.holds)];
  count(LeftInProgramming(), sc_.leftProgramming, "left in programming mode");
  count(LeftAtAdminLevel(), sc_.leftAdmin, "left at admin level");
  count(e.holds == Holds::Mixed, sc_.mixed, "mixed set");
  if (blow == Blow::Kill) return;
  count(e.exit == 0 && e.holds != Holds::File, sc_.falseSuccess, "0 without the file's set");
  count(e.exit == 6 && e.holds != Holds::Previous, sc_.oldSetNotHeld, "6 without the previous set");
  // 130 names the set in force; before programming mode it is the previous one, untouched.
  const bool saysNew = e.line.contains(QLatin1String("the new set is in force"));
  count(e.exit == 130 && (saysNew ? e.holds != Holds::File : e.holds != Holds::Previous), sc_.interruptedWrongSet,
        "130 naming another set");
  const bool sessionRan = e.exit == 0 || e.exit == 6 || e.exit == 7 || (e.exit == 130 && e.line.contains(QLatin1String("in force")));
  count(sessionRan && HistoryLines() == historyBefore, sc_.noHistory, "no history line");
  // A signal in the few milliseconds before the program could catch it ends it untouched.
  const bool untouched = device_.Requests().empty();
  if (e.exit == -1 && untouched) ++sc_.endedBeforeStart;
  count(e.exit != 0 && e.exit != 6 && e.exit != 7 && e.exit != 130 && !Refused(e.exit) && !untouched, sc_.unexpectedEnd,
        "unexpected end");
  const QString what = QStringLiteral("run %1 (%2 after %3 of %4 ms): exit %5, the device holds %6: %7")
                           .arg(run)
                           .arg(QLatin1String(kBlowNames[static_cast<size_t>(blow)]))
                           .arg(afterMs)
                           .arg(cleanMs)
                           .arg(e.exit)
                           .arg(QLatin1String(kHoldsNames[static_cast<size_t>(e.holds)]), e.line);
  Keep(broken, what);
}

void CliCampaign::RunSignals(int first, int runs) {
  // A clean run gives the span of a whole command, over which the moments are drawn.
  PutPreviousSet();
  QElapsedTimer clean;
  clean.start();
  const Ending e = ProgramStopped(Blow::ClosedStdout, 0);
  const int cleanMs = static_cast<int>(clean.elapsed());
  if (e.exit != 0 || e.holds != Holds::File) violations_ << QStringLiteral("clean run: exit %1").arg(e.exit);
  for (int run = first; run < first + runs; ++run) {
    PutPreviousSet();
    device_.faults().Clear();
    device_.ClearRequests();
    std::seed_seq seeds{seed_, static_cast<uint32_t>(run)};
    std::mt19937 random(seeds);
    const auto blow = static_cast<Blow>(std::uniform_int_distribution<int>(0, 4)(random));
    const int afterMs = std::uniform_int_distribution<int>(0, cleanMs)(random);
    const int historyBefore = HistoryLines();
    JudgeSignal(run, blow, afterMs, ProgramStopped(blow, afterMs), historyBefore, cleanMs);
  }
}

bool CliCampaign::ReportSignals(int first, int runs, double seconds) const {
  std::printf("session_campaign cli-signals: runs %d..%d of korvane-cli program FILE --yes --password-file PW in %.0f s,\n"
              "each stopped at a random moment: SIGINT %d, SIGTERM %d, SIGHUP %d, stdout closed %d, SIGKILL + abort %d\n",
              first, first + runs - 1, seconds, sc_.blows[0], sc_.blows[1], sc_.blows[2], sc_.blows[3], sc_.blows[4]);
  PrintExits(sc_.exits);
  const std::pair<const char*, int> targets[] = {
      {"left in programming mode", sc_.leftProgramming}, {"left at admin level", sc_.leftAdmin},
      {"0 without the file's set", sc_.falseSuccess},   {"6 without the previous set", sc_.oldSetNotHeld},
      {"130 naming another set", sc_.interruptedWrongSet}, {"mixed set", sc_.mixed},
      {"no history line", sc_.noHistory},               {"unexpected end", sc_.unexpectedEnd},
      {"abort after SIGKILL failed", sc_.abortFailed}};
  bool ok = PrintTargets(targets);
  std::printf("  %-30s %4d   (the signal came before the program could catch it; nothing sent)\n",
              "ended before it started", sc_.endedBeforeStart);
  for (const QString& v : violations_) std::printf("  %s\n", qPrintable(v));
  return ok && violations_.isEmpty();
}

}  // namespace

namespace {

// One campaign: prepared, its runs, its report; the exit status of the benchmark.
int RunCampaign(int first, int runs, uint32_t seed, void (CliCampaign::*run)(int, int),
                bool (CliCampaign::*report)(int, int, double) const) {
  CliCampaign campaign(seed);
  if (!campaign.Prepare()) return 1;
  QElapsedTimer t;
  t.start();
  (campaign.*run)(first, runs);
  return (campaign.*report)(first, runs, t.elapsed() / 1000.0) ? 0 : 1;
}

}  // namespace

int RunCliSignalCampaign(int first, int runs, uint32_t seed) {
  return RunCampaign(first, runs, seed, &CliCampaign::RunSignals, &CliCampaign::ReportSignals);
}

int RunCliCampaign(int first, int runs, uint32_t seed) {
  return RunCampaign(first, runs, seed, &CliCampaign::Run, &CliCampaign::Report);
}

}  // namespace kvn::bench

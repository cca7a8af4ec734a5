// Soak: the whole program, offscreen, polling on its own timer the simulator in its own
// process (USB line, paced at 115200 baud) with 1 % of the answers corrupted, for MINUTES
// minutes (default 30). Every few minutes the device goes away (its process ends and the line
// hangs up) and comes back a few seconds later as a new process behind the same COM name.
//   soak [MINUTES]
// Prints the resident memory (VmRSS) and the open descriptors of this process at the start
// (after the first minute of polling, when every lazily built thing exists) and at the end,
// the polls made and failed, the disconnects and the recoveries (the first good poll after
// the device is back, and how long it took). Targets: under 1 MB growth, the same descriptor
// count, at least one disconnect, and every one recovered (a run shorter than MinimumMinutes() has
// none and fails). Exit status 1 when a target is missed.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "device_link/pause.h"
#include "sim_process.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"

namespace {

constexpr int kWarmUpMs = 60'000;
constexpr int kDisconnectEveryMs = 170'000;
constexpr int kQuietEndMs = 60'000;  // no disconnect this close to the end: it must be seen recovered
constexpr int kAbsentMs = 5'000;
const QStringList kSimOptions = {QStringLiteral("--usb"), QStringLiteral("--corrupt-share"), QStringLiteral("10")};

// The first disconnect, and the quiet end after it that lets its recovery be seen.
constexpr int MinimumMinutes() { return (kDisconnectEveryMs + kQuietEndMs + 59'999) / 60'000; }

struct Footprint {
  long rssKb = 0;
  int descriptors = 0;
};

Footprint Measure() {
  Footprint f;
  QFile status(QStringLiteral("/proc/self/status"));
  if (status.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : status.readAll().split('\n'))
      if (line.startsWith("VmRSS:")) f.rssKb = line.mid(6).trimmed().split(' ').value(0).toLong();
  }
  f.descriptors = static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
  return f;
}

struct Counters {
  int polls = 0, failedPolls = 0, disconnects = 0, recoveries = 0;
  qint64 longestRecoveryMs = 0;
  bool awaitingRecovery = false;
  QElapsedTimer backSince;  // the device is back since
};

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

  kvn::bench::ProgramOnSimulator program(kSimOptions);
  if (!program.app) return 1;
  kvn::Application& app = *program.app;
  std::unique_ptr<QProcess>& sim = program.sim;
  const QString base = program.base.path();

  Counters n;
  // Connected after the program's own poll slot, so it sees each poll's outcome.
  QObject::connect(app.Window().Timer1, &QTimer::timeout, [&] {
    ++n.polls;
    if (!app.poll.LinkOk) ++n.failedPolls;
    if (app.poll.LinkOk && n.awaitingRecovery && n.backSince.isValid()) {
      ++n.recoveries;
      n.longestRecoveryMs = std::max(n.longestRecoveryMs, n.backSince.elapsed());
      n.awaitingRecovery = false;
    }
  });

  Footprint start, end;
  QTimer::singleShot(kWarmUpMs, &qt, [&] { start = Measure(); });
  QElapsedTimer run;
  run.start();
  QTimer disconnects;
  QObject::connect(&disconnects, &QTimer::timeout, [&] {
    if (run.elapsed() > minutes * 60'000LL - kQuietEndMs) return;
    ++n.disconnects;
    n.awaitingRecovery = true;
    n.backSince.invalidate();
    sim->terminate();
    sim->waitForFinished(3000);
    QTimer::singleShot(kAbsentMs, &qt, [&] {
      sim = std::make_unique<QProcess>();
      const QString again = kvn::bench::StartSimulatorProcess(*sim, base, kSimOptions);
      kvn::test::LinkCom1(base, again);
      n.backSince.start();
    });
  });
  disconnects.start(kDisconnectEveryMs);
  // exit(), not quit(): quit() would ask the window to close, and the window asks first.
  QTimer::singleShot(minutes * 60000, &qt, [&] {
    end = Measure();
    QCoreApplication::exit(0);
  });
  QApplication::exec();
  sim->terminate();
  sim->waitForFinished(3000);

  const long growthKb = end.rssKb - start.rssKb;
  std::printf("soak: %d min of polling (USB line, 115200 baud, 1 %% of the answers corrupted), a disconnect every %d s\n",
              minutes, kDisconnectEveryMs / 1000);
  std::printf("  resident memory  after %d s %ld kB, at the end %ld kB: growth %ld kB (target < 1024)\n",
              kWarmUpMs / 1000, start.rssKb, end.rssKb, growthKb);
  std::printf("  open descriptors after %d s %d, at the end %d (target: the same)\n", kWarmUpMs / 1000,
              start.descriptors, end.descriptors);
  std::printf("  polls %d, failed %d\n", n.polls, n.failedPolls);
  std::printf("  disconnects %d (device absent %d s each), recovered %d, longest from the device's return to a good poll %lld ms"
              " (target: at least one, every one recovered)\n",
              n.disconnects, kAbsentMs / 1000, n.recoveries, static_cast<long long>(n.longestRecoveryMs));
  if (n.disconnects == 0)
    std::printf("  no disconnect: a run needs %d min at least to show a recovery\n", MinimumMinutes());
  std::printf("  boxes shown %d\n", static_cast<int>(program.prompts.Calls().size()));
  // A run without a disconnect says nothing about recovery: it misses the target.
  const bool ok = growthKb < 1024 && start.descriptors == end.descriptors && n.disconnects > 0 &&
                  n.recoveries == n.disconnects;
  return ok ? 0 : 1;
}

// korvane-cli read against the simulator pacing a real 115200 8N1 line, the program started
// afresh for every run as a script starts it. Prints, measured side by side in this run:
//   span/wire   from the first request leaving the program to the last answer arriving, over
//               the wire time of the requests and answers of that read (target <= 1.05)
//   start       from the process start to its first request on the line (target < 100 ms)
//   peak RSS    of the command line's read (target < 30 MB), of its report, and of the window
//               polling the same device for a few seconds, all from wait4() of the child
// The simulator runs on a thread of this program and records when each request arrived whole;
// it answers on the line's schedule, so an answer ends its wire time after that.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "bench_line.h"
#include "support/work_dir.h"
#include "texts/program_settings.h"

extern char** environ;

namespace {

using namespace kvn;
using bench::Now;

constexpr int kBaud = 115200;
constexpr int kBits = 10;  // 8N1
constexpr int kRuns = 7;
constexpr int kWindowSeconds = 4;
constexpr int kRequestBytes = 8;  // a read request

struct Seen {
  double at;  // the request has arrived whole
  int answerBytes;
};

double Character() { return static_cast<double>(kBits) / kBaud; }
// A read's answer: address, function, byte count, the registers, CRC.
int AnswerBytes(const devsim::RecordedRequest& r) { return 5 + 2 * r.count; }

struct Child {
  double started = 0;
  int status = -1;
  long peakKb = 0;
};

// Starts program with arguments and extra environment; stops it after stopAfterMs (0: waits
// for its end).
Child RunChild(const QString& program, const QStringList& arguments, const QStringList& environment, int stopAfterMs) {
  std::vector<QByteArray> storage;
  std::vector<char*> argv, envp;
  storage.push_back(program.toLocal8Bit());
  for (const QString& a : arguments) storage.push_back(a.toLocal8Bit());
  const size_t argc = storage.size();
  for (const QString& e : environment) storage.push_back(e.toLocal8Bit());
  for (char** e = environ; *e; ++e) storage.emplace_back(*e);
  for (size_t i = 0; i < storage.size(); ++i) (i < argc ? argv : envp).push_back(storage[i].data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Child child;
  pid_t pid = 0;
  child.started = Now(CLOCK_MONOTONIC);
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
    std::fprintf(stderr, "cannot start %s\n", argv[0]);
    return child;
  }
  posix_spawn_file_actions_destroy(&actions);
  if (stopAfterMs > 0) {
    QThread::msleep(static_cast<unsigned long>(stopAfterMs));
    kill(pid, SIGTERM);
  }
  rusage usage{};
  wait4(pid, &child.status, 0, &usage);
  child.peakKb = usage.ru_maxrss;
  return child;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::mutex mutex;
  std::vector<Seen> seen;
  devsim::SimOptions options;
  options.pacing = {kBaud, kBits};
  devsim::PtyDevice device(options, [&](const devsim::RecordedRequest& r, bool) {
    const double at = Now(CLOCK_MONOTONIC);
    std::lock_guard lock(mutex);
    seen.push_back({at, AnswerBytes(r)});
  });
  QTemporaryDir base;
  test::PrepareWorkDirectory(base.path(), QString::fromStdString(device.SlavePath()));
  const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
  const QString cli = bin + QStringLiteral("/src/cli/korvane-cli");
  const QString out = base.filePath(QStringLiteral("unit.kvn"));

  std::vector<double> ratios, starts, spans, wires;
  long cliPeakKb = 0;
  size_t requests = 0;
  for (int run = 0; run < kRuns; ++run) {
    {
      std::lock_guard lock(mutex);
      seen.clear();
    }
    // The window's settings and work directory: COM1 over USB, as a line's script would use it.
    const Child child = RunChild(cli, {QStringLiteral("read"), QStringLiteral("-o"), out, QStringLiteral("--work-dir"),
                                       WorkDirectory(base.path()), QStringLiteral("--quiet")}, {}, 0);
    std::lock_guard lock(mutex);
    if (child.status != 0 || seen.empty()) {
      std::fprintf(stderr, "korvane-cli read failed (status %d)\n", child.status);
      return 1;
    }
    const double c = Character();
    double wire = 0;
    for (const Seen& s : seen) wire += (kRequestBytes + s.answerBytes + 2 * 3.5) * c;
    const double firstLeft = seen.front().at - kRequestBytes * c;
    const double lastArrived = seen.back().at + (3.5 + seen.back().answerBytes) * c;
    spans.push_back(lastArrived - firstLeft);
    wires.push_back(wire);
    ratios.push_back((lastArrived - firstLeft) / wire);
    starts.push_back(firstLeft - child.started);
    cliPeakKb = std::max(cliPeakKb, child.peakKb);
    requests = seen.size();
  }
  // The report is the one command with fonts (a GUI application, offscreen).
  const Child report = RunChild(cli, {QStringLiteral("report"), QStringLiteral("-o"), base.filePath(QStringLiteral("unit.pdf")),
                                      QStringLiteral("--work-dir"), WorkDirectory(base.path())}, {}, 0);
  const Child window = RunChild(bin + QStringLiteral("/src/app/korvane"), {},
                                {QStringLiteral("QT_QPA_PLATFORM=offscreen"), QStringLiteral("XDG_CONFIG_HOME=") + base.path()},
                                kWindowSeconds * 1000);

  std::printf("korvane-cli read, 115200 8N1, %d runs (median; worst)\n", kRuns);
  std::printf("  requests per read            %zu\n", requests);
  std::printf("  wire time of the read        %8.1f ms\n", Median(wires) * 1e3);
  std::printf("  first request to last answer %8.1f ms\n", Median(spans) * 1e3);
  std::printf("  (1) span/wire                %8.3f   (worst %.3f; target <= 1.05)\n", Median(ratios),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf("  (2) start to first request   %8.1f ms (worst %.1f; target < 100)\n", Median(starts) * 1e3,
              *std::max_element(starts.begin(), starts.end()) * 1e3);
  std::printf("  (3) peak RSS korvane-cli     %8.1f MB (target < 30)\n", cliPeakKb / 1024.0);
  std::printf("      peak RSS korvane-cli report %8.1f MB (status %d)\n", report.peakKb / 1024.0, report.status);
  std::printf("      peak RSS korvane window  %8.1f MB (polling %d s)   cli/window %.2f\n", window.peakKb / 1024.0,
              kWindowSeconds, window.peakKb ? static_cast<double>(cliPeakKb) / window.peakKb : 0.0);
  return 0;
}

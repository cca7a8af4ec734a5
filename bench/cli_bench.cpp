// korvane-cli against the simulator pacing a real 115200 8N1 line, the program started afresh
// for every run as a script starts it. Prints, measured side by side in this run:
//   span/wire   read: from the first request leaving the program to the last answer arriving,
//               over the wire time of the requests and answers of that read (target <= 1.05)
//   start       from the process start to its first request on the line (target < 100 ms)
//   peak RSS    of the command line's read (target < 30 MB), of its report, and of the window
//               polling the same device for a few seconds, all from wait4() of the child
//   program     "program FILE" of a full admin set, from the process start to its exit, over
//               the floor: the wire time of every request and answer of that run plus the
//               session's three fixed pauses (target <= 1.05); also over the time the device
//               itself spends (the gap before each answer and its bytes, plus the pauses), as
//               the pseudo-terminal hands a request over at once
//   four ports  the same program on four devices at once (four --port) over one device, wall
//               time (target <= 1.2)
// The simulators run on threads of this program; the first records when each request arrived
// whole. A device answers on the line's schedule, so an answer ends its wire time after that.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>
#include <string>
#include <vector>

#include "bench_line.h"
#include "child_process.h"
#include "device_link/block_table.h"
#include "support/work_dir.h"
#include "texts/program_settings.h"

namespace {

using namespace kvn;
using bench::Child;
using bench::Now;
using bench::RunChild;

constexpr int kBaud = 115200;
constexpr int kBits = 10;  // 8N1
constexpr int kRuns = 7;
constexpr int kProgramRuns = 5;
constexpr int kPortRounds = 3;
constexpr int kPorts = 4;
constexpr int kWindowSeconds = 4;
// The session's fixed pauses: after the last block write, after the read-back, and after the
// commit before its answer is read.
constexpr double kSessionPauses = 3 * 1.0;

struct Seen {
  double at;  // the request has arrived whole
  devsim::RecordedRequest request;
};

double Character() { return static_cast<double>(kBits) / kBaud; }
// A write request carries its registers (address, function, start, count, byte count, the
// registers, CRC); every other request is eight bytes.
int RequestBytes(const devsim::RecordedRequest& r) { return r.function == 16 ? 9 + 2 * r.count : 8; }
// A read's answer: address, function, byte count, the registers, CRC. A write's answer echoes
// start and count.
int AnswerBytes(const devsim::RecordedRequest& r) { return r.function == 3 || r.function == 4 ? 5 + 2 * r.count : 8; }

// Requests and answers with the 3.5-character gap before each, at the line's pace.
double WireTime(const std::vector<Seen>& seen) {
  double wire = 0;
  for (const Seen& s : seen) wire += (RequestBytes(s.request) + AnswerBytes(s.request) + 2 * 3.5) * Character();
  return wire;
}

// What the device itself spends on the pseudo-terminal, which hands a request over at once: the
// gap before each answer and its bytes at the line's pace.
double AnswerTime(const std::vector<Seen>& seen) {
  double time = 0;
  for (const Seen& s : seen) time += (AnswerBytes(s.request) + 3.5) * Character();
  return time;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Worst(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

devsim::SimOptions LineOptions(int unit) {
  devsim::SimOptions options;
  options.pacing = {kBaud, kBits};
  options.model.identity.serialNumber = "KV2300-0017-04" + std::to_string(17 + unit);
  return options;
}

// The tag moved away from the file's, kept by the device as if it had been programmed: the
// program has a set to bring back, and every block is written whatever it holds.
void Unsettle(devsim::PtyDevice& device, int run) {
  device.WithModel([&](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, static_cast<uint16_t>(0x5A5A ^ run)); });
}

uint16_t Tag(devsim::PtyDevice& device) {
  return device.WithModel([](devsim::DeviceModel& m) { return m.Working()[reg::TagNumber]; });
}

bool IsCommit(const devsim::RecordedRequest& r) { return r.function == 16 && r.start == reg::ProgCommand; }

struct Bench {
  Bench() : device(LineOptions(0), [this](const devsim::RecordedRequest& r, bool) { Record(r); }) {
    for (int unit = 1; unit < kPorts; ++unit) others.push_back(std::make_unique<devsim::PtyDevice>(LineOptions(unit)));
    test::PrepareWorkDirectory(base.path(), QString::fromStdString(device.SlavePath()));
    QFile password(base.filePath(QStringLiteral("admin.txt")));
    if (password.open(QIODevice::WriteOnly)) password.write(QByteArray(devsim::kDefaultAdminPassword) + '\n');
  }

  void Record(const devsim::RecordedRequest& r) {
    const double at = Now(CLOCK_MONOTONIC);
    std::lock_guard lock(mutex);
    seen.push_back({at, r});
  }
  std::vector<Seen> Take() {
    std::lock_guard lock(mutex);
    return std::exchange(seen, {});
  }
  devsim::PtyDevice& Unit(int k) { return k == 0 ? device : *others[static_cast<size_t>(k - 1)]; }
  QString Work() const { return WorkDirectory(base.path()); }
  QString Cli() const { return bin + QStringLiteral("/src/cli/korvane-cli"); }

  // "program" of the file on the first `ports` devices, each unsettled first; false (and a
  // line on stderr) when it did not end with 0 and every device holding the file's tag.
  bool Program(int ports, int run, Child& child) {
    QStringList line{QStringLiteral("program"), file, QStringLiteral("--yes"), QStringLiteral("--password-file"),
                     base.filePath(QStringLiteral("admin.txt")), QStringLiteral("--interface"), QStringLiteral("usb"),
                     QStringLiteral("--work-dir"), Work()};
    for (int k = 0; k < ports; ++k) {
      Unsettle(Unit(k), run);
      line << QStringLiteral("--port") << QString::fromStdString(Unit(k).SlavePath());
    }
    Take();
    child = RunChild(Cli(), line, {});
    bool held = true;
    for (int k = 0; k < ports; ++k) held = held && Tag(Unit(k)) == fileTag;
    if (child.ExitCode() == 0 && held) return true;
    std::fprintf(stderr, "korvane-cli program on %d port(s) failed (exit %d, file's set held: %d)\n", ports,
                 child.ExitCode(), held);
    return false;
  }

  std::mutex mutex;
  std::vector<Seen> seen;
  devsim::PtyDevice device;
  std::vector<std::unique_ptr<devsim::PtyDevice>> others;
  QTemporaryDir base;
  const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
  QString file;
  uint16_t fileTag = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Bench b;
  const QString out = b.base.filePath(QStringLiteral("unit.kvn"));

  std::vector<double> ratios, starts, spans, wires;
  long cliPeakKb = 0;
  size_t requests = 0;
  for (int run = 0; run < kRuns; ++run) {
    b.Take();
    // The window's settings and work directory: COM1 over USB, as a line's script would use it.
    const Child child =
        RunChild(b.Cli(), {QStringLiteral("read"), QStringLiteral("-o"), out, QStringLiteral("--work-dir"), b.Work(),
                           QStringLiteral("--quiet")}, {});
    const std::vector<Seen> seen = b.Take();
    if (child.ExitCode() != 0 || seen.empty()) {
      std::fprintf(stderr, "korvane-cli read failed (status %d)\n", child.status);
      return 1;
    }
    const double c = Character();
    const double wire = WireTime(seen);
    const double firstLeft = seen.front().at - RequestBytes(seen.front().request) * c;
    const double lastArrived = seen.back().at + (3.5 + AnswerBytes(seen.back().request)) * c;
    spans.push_back(lastArrived - firstLeft);
    wires.push_back(wire);
    ratios.push_back((lastArrived - firstLeft) / wire);
    starts.push_back(firstLeft - child.started);
    cliPeakKb = std::max(cliPeakKb, child.peakKb);
    requests = seen.size();
  }
  // The file the program brings back: the set the first device holds, read above.
  b.file = out;
  b.fileTag = Tag(b.device);

  std::vector<double> programWalls, programFloors, programRatios, answerFloors, answerRatios;
  size_t programRequests = 0, programWrites = 0;
  for (int run = 0; run < kProgramRuns; ++run) {
    Child child;
    if (!b.Program(1, run, child)) return 1;
    const std::vector<Seen> seen = b.Take();
    if (std::none_of(seen.begin(), seen.end(), [](const Seen& s) { return IsCommit(s.request); })) {
      std::fprintf(stderr, "korvane-cli program sent no commit\n");
      return 1;
    }
    const double wall = child.ended - child.started;
    const double floor = WireTime(seen) + kSessionPauses;
    programWalls.push_back(wall);
    programFloors.push_back(floor);
    programRatios.push_back(wall / floor);
    answerFloors.push_back(AnswerTime(seen) + kSessionPauses);
    answerRatios.push_back(wall / answerFloors.back());
    programRequests = seen.size();
    programWrites = static_cast<size_t>(std::count_if(seen.begin(), seen.end(), [](const Seen& s) { return s.request.function == 16; }));
  }

  // Rounds alternate between one port and four, so a change in the machine's load falls on both.
  std::vector<double> oneWalls, fourWalls, portRatios;
  for (int round = 0; round < kPortRounds; ++round) {
    Child one, four;
    if (!b.Program(1, 2 * round, one) || !b.Program(kPorts, 2 * round + 1, four)) return 1;
    oneWalls.push_back(one.ended - one.started);
    fourWalls.push_back(four.ended - four.started);
    portRatios.push_back(fourWalls.back() / oneWalls.back());
  }

  // The report is the one command with fonts (a GUI application, offscreen).
  const Child report =
      RunChild(b.Cli(), {QStringLiteral("report"), QStringLiteral("-o"), b.base.filePath(QStringLiteral("unit.pdf")),
                         QStringLiteral("--work-dir"), b.Work()}, {});
  const Child window = RunChild(b.bin + QStringLiteral("/src/app/korvane"), {},
                                {QStringLiteral("QT_QPA_PLATFORM=offscreen"), QStringLiteral("XDG_CONFIG_HOME=") + b.base.path()},
                                {kWindowSeconds * 1000});

  std::printf("korvane-cli read, 115200 8N1, %d runs (median; worst)\n", kRuns);
  std::printf("  requests per read            %zu\n", requests);
  std::printf("  wire time of the read        %8.1f ms\n", Median(wires) * 1e3);
  std::printf("  first request to last answer %8.1f ms\n", Median(spans) * 1e3);
  std::printf("  (1) span/wire                %8.3f   (worst %.3f; target <= 1.05)\n", Median(ratios), Worst(ratios));
  std::printf("  (2) start to first request   %8.1f ms (worst %.1f; target < 100)\n", Median(starts) * 1e3,
              Worst(starts) * 1e3);
  std::printf("  (3) peak RSS korvane-cli     %8.1f MB (target < 30)\n", cliPeakKb / 1024.0);
  std::printf("      peak RSS korvane-cli report %8.1f MB (status %d)\n", report.peakKb / 1024.0, report.status);
  std::printf("      peak RSS korvane window  %8.1f MB (polling %d s)   cli/window %.2f\n", window.peakKb / 1024.0,
              kWindowSeconds, window.peakKb ? static_cast<double>(cliPeakKb) / window.peakKb : 0.0);
  std::printf("korvane-cli program FILE, admin, every block written, %d runs (median; worst)\n", kProgramRuns);
  std::printf("  requests per program         %zu (%zu writes)\n", programRequests, programWrites);
  std::printf("  floor: wire time + %.0f ms of fixed pauses %8.1f ms\n", kSessionPauses * 1e3, Median(programFloors) * 1e3);
  std::printf("  process start to exit        %8.1f ms\n", Median(programWalls) * 1e3);
  std::printf("  (4) program/floor            %8.3f   (worst %.3f; target <= 1.05)\n", Median(programRatios),
              Worst(programRatios));
  std::printf("  answers' time + pauses       %8.1f ms\n", Median(answerFloors) * 1e3);
  std::printf("      program/(answers + pauses) %6.3f   (worst %.3f; the pty carries requests at once)\n",
              Median(answerRatios), Worst(answerRatios));
  std::printf("korvane-cli program FILE on %d ports at once and on one, %d rounds (median; worst)\n", kPorts, kPortRounds);
  std::printf("  one port                     %8.1f ms\n", Median(oneWalls) * 1e3);
  std::printf("  %d ports                      %8.1f ms\n", kPorts, Median(fourWalls) * 1e3);
  std::printf("  (5) %d ports/one port         %8.3f   (worst %.3f; target <= 1.2)\n", kPorts, Median(portRatios),
              Worst(portRatios));
  return 0;
}

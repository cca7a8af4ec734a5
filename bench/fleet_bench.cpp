// The fleet run against simulated buses, measured side by side in one run:
//   fleet_bench [UNITS_PER_BUS] [BUSES]      (default 8 units on each of 4 buses)
// Each bus is a simulator of UNITS_PER_BUS units at 19200 baud, its answers paced as 11-bit
// characters (a line with parity; a pseudo-terminal itself carries none, so the program opens it
// without). Printed, with the targets:
//   buses at once / floor               the whole run against its floor: the slowest bus's
//                                       wire time for its reads (each answer and the 3.5
//                                       characters of silence before it) plus the records'
//                                       commits of every unit, made in-process        <= 1.05
//   buses at once / slowest bus alone   the same against one bus read alone (for reference)
//   one bus through TCP / through a pty the same bus behind a serial server's port <= 1.10
//   scan of 247 addresses, two units    at 19200 baud                               < 30 s
// Every run records into a fresh work directory, so each reads and commits every unit.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "child_process.h"
#include "device_link/register_image.h"
#include "devsim/pty_device.h"
#include "records/records.h"
#include "records/unit_files.h"

namespace {

using namespace kvn;

QString Cli() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/korvane-cli"); }

devsim::SimOptions Bus(int units, int tcpPort = -1) {
  devsim::SimOptions options;
  options.units = units;
  options.pacing = {19200, 11};
  options.model.line.parityChoice = 1;
  options.tcpPort = tcpPort;
  return options;
}

// The list of the given buses' units, written into dir.
QString WriteList(const QTemporaryDir& dir, const std::vector<QString>& ports, int units) {
  const QString path = dir.filePath(QStringLiteral("fleet.csv"));
  QFile list(path);
  if (!list.open(QIODevice::WriteOnly)) return {};
  list.write("name,port,address,interface,baud,parity,released\n");
  for (size_t b = 0; b < ports.size(); ++b)
    for (int a = 1; a <= units; ++a)
      list.write(QStringLiteral("u%1-%2,%3,%4,rs485,19200,none,\n").arg(b).arg(a).arg(ports[b]).arg(a).toUtf8());
  return path;
}

// One fleet run in a fresh work directory; its wall time in seconds, -1 when it failed.
double Run(const std::vector<QString>& ports, int units) {
  QTemporaryDir dir;
  const QString list = WriteList(dir, ports, units);
  const bench::Child run = bench::RunChild(Cli(), {QStringLiteral("fleet"), list, QStringLiteral("--work-dir"), dir.filePath(QStringLiteral("work"))}, {});
  if (run.ExitCode() != 0) {
    std::fprintf(stderr, "fleet run ended with %d\n", run.ExitCode());
    return -1;
  }
  return run.ended - run.started;
}

// The time the bus's line spends on the answers its units gave: at 11 bits a character, after
// each request the 3.5 characters of silence that end it. A pseudo-terminal carries the
// master's requests at once, so they are no part of this line's time. Every unit sees every
// frame on the line: a unit's own are those at its address (1, 2, ...).
double WireSeconds(devsim::PtyDevice& bus) {
  double characters = 0;
  for (int u = 0; u < bus.Units(); ++u) {
    for (const devsim::RecordedRequest& r : bus.WithUnit(u, [](devsim::Simulator& s) { return s.Requests(); })) {
      if (r.address != u + 1) continue;
      const bool read = r.function == 3 || r.function == 4;
      characters += 3.5 + (read ? 5 + 2.0 * r.count : 8);
    }
  }
  return characters * 11 / 19200;
}

// The records' commits a run makes: one first record of each unit's set, in a fresh
// repository, as the run makes them (a set each, told apart by its tag).
double CommitSeconds(devsim::PtyDevice& bus, int commits) {
  auto set = std::make_unique<RegisterImage>();
  for (int r = 0; r < static_cast<int>(set->size()); ++r) (*set)[static_cast<size_t>(r)] = bus.Register(r);
  QTemporaryDir dir;
  Records records(dir.path());
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < commits; ++i) {
    (*set)[reg::TagNumber] = i;
    const QString unit = QStringLiteral("unit-%1").arg(i);
    if (!records.Observe(unit, unit, UnitFilesOf(*set), QDateTime::currentDateTime()).committed) return -1;
  }
  return t.nsecsElapsed() / 1e9;
}

std::vector<QString> Ports(const std::vector<std::unique_ptr<devsim::PtyDevice>>& buses) {
  std::vector<QString> ports;
  for (const auto& b : buses) ports.push_back(QString::fromStdString(b->SlavePath()));
  return ports;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int units = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
  const int busCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;
  std::vector<std::unique_ptr<devsim::PtyDevice>> buses;
  for (int b = 0; b < busCount; ++b) buses.push_back(std::make_unique<devsim::PtyDevice>(Bus(units)));
  devsim::PtyDevice server(Bus(units, 0));

  const std::vector<QString> all = Ports(buses);
  const double alone = Run({all.front()}, units);
  for (auto& b : buses)
    for (int u = 0; u < b->Units(); ++u) b->WithUnit(u, [](devsim::Simulator& s) { s.ClearRequests(); });
  const double together = Run(all, units);
  double wire = 0;
  for (auto& b : buses) wire = std::max(wire, WireSeconds(*b));
  const double commits = CommitSeconds(*buses.front(), units * busCount);
  const double floor = wire + commits;
  const double overTcp = Run({QString::fromStdString(server.SlavePath())}, units);

  devsim::PtyDevice two(Bus(2));
  const bench::Child scan = bench::RunChild(
      Cli(), {QStringLiteral("scan"), QStringLiteral("--port"), QString::fromStdString(two.SlavePath()), QStringLiteral("--interface"),
              QStringLiteral("rs485"), QStringLiteral("--baud"), QStringLiteral("19200"), QStringLiteral("--parity"), QStringLiteral("none")},
      {});
  const double scanSeconds = scan.ended - scan.started;

  std::printf("fleet_bench: %d buses of %d units at 19200 baud, 11-bit characters\n", busCount, units);
  std::printf("  one bus alone                 %7.2f s\n", alone);
  std::printf("  slowest bus's wire time       %7.2f s\n", wire);
  std::printf("  records' commits of %2d units  %7.2f s\n", units * busCount, commits);
  std::printf("  %d buses at once               %7.2f s   / floor %.3f (target <= 1.05), / one bus alone %.3f\n", busCount,
              together, together / floor, together / alone);
  std::printf("  one bus through TCP           %7.2f s   ratio %.3f (target <= 1.10)\n", overTcp, overTcp / alone);
  std::printf("  scan of 247 addresses, 2 units %6.2f s   (target < 30 s), exit %d\n", scanSeconds, scan.ExitCode());
  const bool ok = alone > 0 && together > 0 && overTcp > 0 && commits > 0 && together / floor <= 1.05 && overTcp / alone <= 1.10 &&
                  scanSeconds < 30 && scan.ExitCode() == 0;
  return ok ? 0 : 1;
}

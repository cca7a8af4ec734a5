// The fleet run against simulated buses, measured side by side in one run:
//   fleet_bench [UNITS_PER_BUS] [BUSES]      (default 8 units on each of 4 buses)
// Each bus is a simulator of UNITS_PER_BUS units at 19200 baud, its answers paced as 11-bit
// characters (a line with parity; a pseudo-terminal itself carries none, so the program opens it
// without). Printed, with the targets:
//   buses at once / slowest bus alone   the whole run against the one bus it waits for: the
//                                       buses are read at the same time            <= 1.05
//   one bus through TCP / through a pty the same bus behind a serial server's port <= 1.10
//   scan of 247 addresses, two units    at 19200 baud                               < 30 s
// Every run records into a fresh work directory, so each reads and commits every unit.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "child_process.h"
#include "devsim/pty_device.h"

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
  const double together = Run(all, units);
  const double overTcp = Run({QString::fromStdString(server.SlavePath())}, units);

  devsim::PtyDevice two(Bus(2));
  const bench::Child scan = bench::RunChild(
      Cli(), {QStringLiteral("scan"), QStringLiteral("--port"), QString::fromStdString(two.SlavePath()), QStringLiteral("--interface"),
              QStringLiteral("rs485"), QStringLiteral("--baud"), QStringLiteral("19200"), QStringLiteral("--parity"), QStringLiteral("none")},
      {});
  const double scanSeconds = scan.ended - scan.started;

  std::printf("fleet_bench: %d buses of %d units at 19200 baud, 11-bit characters\n", busCount, units);
  std::printf("  one bus alone                 %7.2f s\n", alone);
  std::printf("  %d buses at once               %7.2f s   ratio %.3f (target <= 1.05)\n", busCount, together, together / alone);
  std::printf("  one bus through TCP           %7.2f s   ratio %.3f (target <= 1.10)\n", overTcp, overTcp / alone);
  std::printf("  scan of 247 addresses, 2 units %6.2f s   (target < 30 s), exit %d\n", scanSeconds, scan.ExitCode());
  const bool ok = alone > 0 && together > 0 && overTcp > 0 && together / alone <= 1.05 && overTcp / alone <= 1.10 &&
                  scanSeconds < 30 && scan.ExitCode() == 0;
  return ok ? 0 : 1;
}

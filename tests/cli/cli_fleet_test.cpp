// korvane-cli fleet against simulated buses, one behind a serial server's TCP port: each unit's
// verdict follows what the test did to the units, and the run's status is the worst.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "cli/cli_process.h"
#include "device_link/block_table.h"
#include "devsim/pty_device.h"
#include "devsim/setup_registers.h"

namespace kvn::test {
namespace {

class Fleet : public ::testing::Test {
 public:
  void SetUp() override {
    devsim::SimOptions options;
    options.units = 3;
    options.pacing = {115200, 10};
    bus = std::make_unique<devsim::PtyDevice>(options);
    options.units = 1;
    options.tcpPort = 0;
    options.model.identity.serialNumber = "KV2300-0099-0100";
    server = std::make_unique<devsim::PtyDevice>(options);
    ASSERT_EQ(Cli({"read", "-o", Path("released.kvn"), "--port", Bus(), "--interface", "rs485", "--baud", "115200", "--parity",
                   "none", "--address", "1"}).exit, 0);
  }
  QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  QString Bus() const { return QString::fromStdString(bus->SlavePath()); }
  CliRun Cli(QStringList words) const { return RunCli(words << QStringLiteral("--work-dir") << Path("work"), 60000); }
  // The list: three units on the bus (the first two with the released file), one behind the
  // server, and the lines a case adds.
  void WriteList(const QString& extra) const {
    QFile list(Path("fleet.csv"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    const QString released = Path("released.kvn"), bus = Bus(), net = QString::fromStdString(server->SlavePath());
    list.write(QStringLiteral("name,port,address,interface,baud,parity,released,checksum\n"
                              "t1,%1,1,rs485,115200,none,%2\nt2,%1,2,rs485,115200,none,%2\np3,%1,3,rs485,115200,none,\n"
                              "f1,%3,1,rs485,115200,none,\n%4")
                   .arg(bus, released, net, extra)
                   .toUtf8());
  }
  QTemporaryDir dir;
  std::unique_ptr<devsim::PtyDevice> bus, server;
};

// The verdict column of each unit's line, in the list's order.
QStringList Verdicts(const CliRun& run) {
  QStringList verdicts;
  for (const QByteArray& line : run.out.split('\n'))
    if (line.count('\t') >= 4) verdicts << QString::fromUtf8(line.split('\t')[4]).section(QLatin1Char(':'), 0, 0);
  return verdicts;
}

TEST_F(Fleet, EachUnitsVerdictFollowsWhatHappenedToIt) {
  const struct {
    const char* name;
    std::function<void(Fleet&)> before;
    const char* extra;  // lines added to the list
    int exit;
    QStringList verdicts;
    const char* says = "";  // a part of the run's lines
  } kRuns[] = {
      {"first run", [](Fleet&) {}, "", 1,
       {"as released", "differs from released (2 rows)", "first record", "first record"}},
      {"nothing happened", [](Fleet&) {}, "", 1, {"as released", "differs from released (2 rows)", "unchanged", "unchanged"}},
      {"p3 changed behind our back",
       [](Fleet& f) { f.bus->WithUnit(2, [](devsim::Simulator& s) { s.Model().SetWorkingRegister(reg::TagNumber, 0x4242); }); },
       "", 1, {"as released", "differs from released (2 rows)", "changed since the last record", "unchanged"}},
      {"the server's unit silent, the others read", [](Fleet& f) { f.server->faults().silent = true; }, "", 3,
       {"as released", "differs from released (2 rows)", "unchanged", "no answer"}},
      {"a wrong device", [](Fleet& f) { f.bus->WithUnit(2, [](devsim::Simulator& s) { s.GetFaults().firmware = 115; }); }, "", 4,
       {"as released", "differs from released (2 rows)", "wrong device", "unchanged"}},
      {"a released file of another checksum", [](Fleet&) {}, "t1b,{bus},1,rs485,115200,none,{released},1\n", 2,
       {"as released", "differs from released (2 rows)", "unchanged", "unchanged", "released file refused"}},
      {"two units at one address, the rest read",
       [](Fleet& f) { f.bus->WithUnit(2, [](devsim::Simulator& s) { s.Model().SetWorkingRegister(devsim::cfg::ModbusAddress, 2); }); },
       "", 3, {"as released", "no answer", "no answer", "unchanged"}, "suspected address conflict: the answers at address 2"},
  };
  for (const auto& r : kRuns) {
    SCOPED_TRACE(r.name);
    bus->faults().Clear();
    server->faults().Clear();
    for (int i = 0; i < 3; ++i) bus->WithUnit(i, [](devsim::Simulator& s) { s.GetFaults().Clear(); });
    r.before(*this);
    WriteList(QString::fromLatin1(r.extra).replace(QStringLiteral("{bus}"), Bus()).replace(QStringLiteral("{released}"), Path("released.kvn")));
    const CliRun run = Cli({"fleet", Path("fleet.csv")});
    EXPECT_EQ(run.exit, r.exit) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(Verdicts(run), r.verdicts) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(r.says)) << run.out.toStdString();
  }
  bus->WithUnit(2, [](devsim::Simulator& s) { s.Model().SetWorkingRegister(devsim::cfg::ModbusAddress, 3); });
  // The change behind our back is a commit of its own, naming the unit.
  EXPECT_TRUE(Cli({"records", "log"}).out.contains("KV2300-0017-0419: found changed since the last record"));
  // The report: a row per unit, and the differing unit's rows after them.
  WriteList(QStringLiteral("t1b,%1,1,rs485,115200,none,%2,1\n").arg(Bus(), Path("released.kvn")));
  ASSERT_EQ(Cli({"fleet", Path("fleet.csv"), "--report", Path("fleet.pdf")}).exit, 2);
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), Path("fleet.pdf"), QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished());
  const QString pages = QString::fromUtf8(text.readAllStandardOutput());
  for (const char* seen : {"t1b", "released file refused", "t2 (KV2300-0017-0418): differs from released (2 rows)", "Device tag"})
    EXPECT_TRUE(pages.contains(QLatin1String(seen))) << seen;
}

// With the event log: a unit's log is committed when it grew, and only then; its line says
// how many of its events are new.
TEST_F(Fleet, WithTheLogEachUnitsEventsAreKeptAndCommittedWhenTheyGrew) {
  WriteList({});
  const auto logField = [](const CliRun& run, const char* unit) {
    for (const QByteArray& line : run.out.split('\n'))
      if (line.startsWith(unit) && line.count('\t') >= 5) return QString::fromUtf8(line.split('\t')[5]);
    return QString();
  };
  const auto events = [this] { return bus->WithUnit(2, [](devsim::Simulator& s) { return static_cast<int>(s.Model().Events().Size()); }); };
  const struct {
    const char* name;
    std::function<void(Fleet&)> before;
    int commits;  // of p3: its first record and its log, its log, none
  } kRuns[] = {
      {"first", [](Fleet&) {}, 2},
      {"nothing happened", [](Fleet&) {}, 0},
      {"p3 restarted", [](Fleet& f) { f.bus->WithUnit(2, [](devsim::Simulator& s) { s.Model().PowerCycle(); }); }, 1},
  };
  int recorded = 0;
  for (const auto& r : kRuns) {
    SCOPED_TRACE(r.name);
    r.before(*this);
    const QString commits = Cli({"records", "log", "KV2300-0017-0419"}).out;
    const CliRun run = Cli({"fleet", Path("fleet.csv"), "--with-log"});
    EXPECT_EQ(run.exit, 1) << run.err.toStdString();
    const int now = events();
    EXPECT_EQ(logField(run, "p3"), QStringLiteral("event log: %1 events").arg(now) +
                                       (r.commits ? QStringLiteral(", %1 new").arg(now - recorded) : QString()))
        << run.out.toStdString();
    recorded = now;
    const QString after = Cli({"records", "log", "KV2300-0017-0419"}).out;
    EXPECT_EQ(after.count(QLatin1Char('\n')) - commits.count(QLatin1Char('\n')), r.commits) << after.toStdString();
  }
  QFile kept(Path("work/records/KV2300-0017-0419/events.csv"));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll().count("\r\n"), events() + 1);
}

TEST_F(Fleet, ABadListNamesItsLineAndColumnAndReadsNothing) {
  WriteList(QStringLiteral("x1,%1,twelve,rs485,115200,none,\n").arg(Bus()));
  bus->ClearRequests();
  const CliRun run = Cli({"fleet", Path("fleet.csv")});
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(run.err.contains("line 6, column 3 (address)")) << run.err.toStdString();
  EXPECT_TRUE(bus->Requests().empty());
}

}  // namespace
}  // namespace kvn::test

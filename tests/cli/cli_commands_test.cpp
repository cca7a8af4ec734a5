// The real korvane-cli against the simulated device on a pseudo-terminal: one table over the
// commands and their exit codes, each case run for people and with --json.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "cli/cli_process.h"
#include "device_link/block_table.h"
#include "devsim/setup_registers.h"
#include "support/sim_fixture.h"

namespace kvn::test {
namespace {

// What stands in the port's place, or what the file argument holds, before the command runs.
enum class Prep { None, SavedSet, ChangedSet, BadFile, FileAsPort, FolderAsPort, FifoAsPort, MissingPort, PortInUse, ComName };

struct Case {
  const char* name;
  const char* line;  // {port}, {file} and {out} are filled in
  Prep prep;
  devsim::Fault fault;
  int exit;
  const char* out;  // a part of stdout for people ("" = nothing asked)
  const char* err;  // a part of stderr for people
  bool deviceAsked;  // requests reached the device
};

const Case kCases[] = {
    {"identify", "identify --port {port}", Prep::None, devsim::Fault::None, 0, "Device type:   2300", "", true},
    {"read", "read -o {out} --port {port}", Prep::None, devsim::Fault::None, 0, "checksum", "", true},
    {"compare identical", "compare {file} --port {port}", Prep::SavedSet, devsim::Fault::None, 0, "No differences",
     "", true},
    {"compare differing", "--port {port} compare {file}", Prep::ChangedSet, devsim::Fault::None, 1,
     "Page\tParameter\tDevice\tFile", "", true},
    {"backup", "backup --port {port}", Prep::None, devsim::Fault::None, 0, "/records/", "", true},
    {"log", "log -o {out} --port {port}", Prep::None, devsim::Fault::None, 0, "events of the device's log", "", true},
    {"log of a silent device", "log -o {out} --port {port}", Prep::None, devsim::Fault::Silent, 3, "",
     "does not answer", true},
    {"report", "report -o {pdf} --port {port}", Prep::None, devsim::Fault::None, 0, "configuration report", "", true},
    {"report of a file", "report -o {pdf} --file {file} --port {port}", Prep::SavedSet, devsim::Fault::Silent, 0,
     "configuration report", "", false},
    {"report of a bad file", "report -o {pdf} --file {file} --port {port}", Prep::BadFile, devsim::Fault::None, 2, "",
     "Configuration file invalid.", false},
    {"bad file", "compare {file} --port {port}", Prep::BadFile, devsim::Fault::None, 2, "",
     "Configuration file invalid.", false},
    {"missing file", "compare {out} --port {port}", Prep::None, devsim::Fault::None, 2, "", "does not exist", false},
    {"usage", "identify --baud 1234 --port {port}", Prep::None, devsim::Fault::None, 2, "", "--baud takes", false},
    {"missing port", "identify --port {port}", Prep::MissingPort, devsim::Fault::None, 3, "", "does not exist", false},
    {"file as port", "identify --port {port}", Prep::FileAsPort, devsim::Fault::None, 3, "", "is a regular file",
     false},
    {"folder as port", "identify --port {port}", Prep::FolderAsPort, devsim::Fault::None, 3, "", "is a folder", false},
    {"FIFO as port", "identify --port {port}", Prep::FifoAsPort, devsim::Fault::None, 3, "", "is a FIFO", false},
    {"port in use", "identify --port {port}", Prep::PortInUse, devsim::Fault::None, 3, "", "in use by another program",
     false},
    {"COM name", "identify --port {port}", Prep::ComName, devsim::Fault::None, 0, "Serial number:", "", true},
    {"silent device", "read -o {out} --port {port}", Prep::None, devsim::Fault::Silent, 3, "", "does not answer",
     true},
    {"wrong type", "backup --port {port}", Prep::None, devsim::Fault::WrongType, 4, "", "Unknown device", true},
    {"wrong firmware", "identify --port {port}", Prep::None, devsim::Fault::WrongFirmware, 4, "",
     "Version incompatible", true},
    {"wrong mode", "read -o {out} --port {port}", Prep::None, devsim::Fault::WrongMode, 4, "",
     "Device mode mismatch", true},
};

class CliCommands : public SimFixture {
 protected:
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QStringList Line(const char* line, const QString& port) const {
    QStringList words = QString::fromLatin1(line).split(QLatin1Char(' '));
    for (QString& w : words)
      w.replace(QStringLiteral("{port}"), port).replace(QStringLiteral("{file}"), Path("set.kvn"))
          .replace(QStringLiteral("{out}"), Path("out.kvn")).replace(QStringLiteral("{pdf}"), Path("out.pdf"));
    return words << QStringLiteral("--interface") << QStringLiteral("usb") << QStringLiteral("--work-dir") << work();
  }
  QString work() const { return dir.filePath(QStringLiteral("work")); }

  // Sets up what the case needs; the port the command is given.
  QString Prepare(Prep prep) {
    QFile::remove(Path("out.kvn"));
    if (heldPort >= 0) ::close(heldPort);
    heldPort = -1;
    switch (prep) {
      case Prep::SavedSet:
      case Prep::ChangedSet: {
        const CliRun saved = RunCli(Line("read -o {file} --port {port}", SlavePath()));
        EXPECT_EQ(saved.exit, 0) << saved.err.toStdString();
        // A tag the file does not hold, kept by the device as if it had been programmed.
        if (prep == Prep::ChangedSet) sim().WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, 0x5A5A); });
        break;
      }
      case Prep::BadFile: {
        QFile f(Path("set.kvn"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("1|2|3|\x1a" "999");
        break;
      }
      case Prep::FileAsPort: {
        QFile f(Path("port-file"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return f.fileName();
      }
      case Prep::FolderAsPort: return dir.path();
      case Prep::FifoAsPort:
        QFile::remove(Path("port-fifo"));
        EXPECT_EQ(::mkfifo(QFile::encodeName(Path("port-fifo")).constData(), 0600), 0);
        return Path("port-fifo");
      case Prep::MissingPort: return Path("ttyGone");
      case Prep::PortInUse:  // held as the window holds it
        heldPort = ::open(QFile::encodeName(SlavePath()).constData(), O_RDWR | O_NOCTTY);
        EXPECT_EQ(::flock(heldPort, LOCK_EX | LOCK_NB), 0);
        break;
      case Prep::ComName:  // the program's own port names, in the work directory
        QDir().mkpath(work() + QStringLiteral("/ports"));
        QFile::remove(work() + QStringLiteral("/ports/COM1"));
        EXPECT_TRUE(QFile::link(SlavePath(), work() + QStringLiteral("/ports/COM1")));
        return QStringLiteral("COM1");
      case Prep::None: break;
    }
    return SlavePath();
  }

  void TearDown() override {
    if (heldPort >= 0) ::close(heldPort);
    SimFixture::TearDown();
  }

  QTemporaryDir dir;
  int heldPort = -1;
};

TEST_F(CliCommands, EachCaseEndsWithItsExitCodeForPeopleAndForPrograms) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    for (const bool json : {false, true}) {
      SCOPED_TRACE(json ? "--json" : "for people");
      RestartDevice(Options());
      const QString port = Prepare(c.prep);
      sim().SetFault(c.fault);
      sim().ClearRequests();
      QStringList line = Line(c.line, port);
      if (json) line << QStringLiteral("--json");
      const CliRun run = RunCli(line);
      EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
      EXPECT_EQ(!sim().Requests().empty(), c.deviceAsked);
      if (!json) {
        EXPECT_TRUE(run.out.contains(c.out)) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
        continue;
      }
      const QList<QJsonObject> lines = JsonLines(run.out);
      ASSERT_FALSE(lines.isEmpty());
      for (const QJsonObject& l : lines) EXPECT_FALSE(l.value(QStringLiteral("event")).toString().isEmpty());
      EXPECT_EQ(lines.back().value(QStringLiteral("event")).toString(), QStringLiteral("result"));
      EXPECT_EQ(lines.back().value(QStringLiteral("exit")).toInt(-1), c.exit);
      const auto errors = std::count_if(lines.begin(), lines.end(), [](const QJsonObject& l) {
        return l.value(QStringLiteral("event")).toString() == QStringLiteral("error");
      });
      EXPECT_EQ(errors, c.exit >= 2 ? 1 : 0);
      EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
  }
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The checksum printed is the one the file ends with, and the JSON result says the same.
TEST_F(CliCommands, ReadPrintsTheChecksumTheFileCarries) {
  const CliRun run = RunCli(Line("read -o {out} --port {port} --json", SlavePath()));
  ASSERT_EQ(run.exit, 0) << run.err.toStdString();
  const QByteArray file = Bytes(Path("out.kvn"));
  const QByteArray tail = file.mid(file.lastIndexOf('\x1a') + 1);
  ASSERT_FALSE(tail.isEmpty());
  EXPECT_EQ(JsonLines(run.out).back().value(QStringLiteral("checksum")).toInt(), tail.toInt());
  const QList<QJsonObject> lines = JsonLines(run.out);
  const QJsonObject lastProgress = lines[lines.size() - 2];
  EXPECT_EQ(lastProgress.value(QStringLiteral("event")).toString(), QStringLiteral("progress"));
  EXPECT_EQ(lastProgress.value(QStringLiteral("done")).toInt(), lastProgress.value(QStringLiteral("total")).toInt());
}

// The backup lands in the records and names a file that holds the device's set.
TEST_F(CliCommands, BackupPrintsThePathOfTheDevicesNewBackup) {
  const CliRun backup = RunCli(Line("backup --port {port}", SlavePath()));
  ASSERT_EQ(backup.exit, 0) << backup.err.toStdString();
  const QString path = QString::fromUtf8(backup.out.trimmed()).section(QStringLiteral(" (record "), 0, 0);
  EXPECT_EQ(path, work() + QStringLiteral("/records/KV2300-0017-0417/settings.kvn"));
  const CliRun compare = RunCli(Line("compare --port {port}", SlavePath()) << path);
  EXPECT_EQ(compare.exit, 0) << compare.out.toStdString() << compare.err.toStdString();
}

// Ctrl+C during a read: the read stops, no output file and no temporary file is left.
TEST_F(CliCommands, AnInterruptedReadLeavesNoFile) {
  sim().SetFault(devsim::Fault::Delayed);
  QProcess cli;
  cli.start(QStringLiteral(KVN_CLI_PATH), Line("read -o {out} --port {port} --json", SlavePath()));
  ASSERT_TRUE(cli.waitForStarted());
  while (!cli.canReadLine() && cli.state() == QProcess::Running) cli.waitForReadyRead(5000);
  ASSERT_TRUE(cli.readLine().contains("\"progress\""));
  ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
  ASSERT_TRUE(cli.waitForFinished(10000));
  EXPECT_EQ(cli.exitCode(), 130);
  EXPECT_EQ(JsonLines(cli.readAllStandardOutput()).back().value(QStringLiteral("exit")).toInt(), 130);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

// Three units on one RS-485 line: each address reaches its own unit, an address with none
// stays silent.
TEST_F(CliCommands, UnitsOnOneLineAnswerAtTheirOwnAddresses) {
  devsim::SimOptions options;
  options.units = 3;
  options.pacing = {19200, 10};
  devsim::PtyDevice bus(options);
  const struct {
    int address;
    int exit;
    const char* serial;
  } kUnits[] = {{1, 0, "KV2300-0017-0417"}, {2, 0, "KV2300-0017-0418"}, {3, 0, "KV2300-0017-0419"}, {4, 3, ""}};
  for (const auto& u : kUnits) {
    SCOPED_TRACE(u.address);
    QStringList line{QStringLiteral("identify"), QStringLiteral("--json"), QStringLiteral("--port"),
                     QString::fromStdString(bus.SlavePath()), QStringLiteral("--interface"), QStringLiteral("rs485"),
                     QStringLiteral("--baud"), QStringLiteral("19200"), QStringLiteral("--parity"), QStringLiteral("none"),
                     QStringLiteral("--address"), QString::number(u.address), QStringLiteral("--work-dir"), work()};
    const CliRun run = RunCli(line);
    EXPECT_EQ(run.exit, u.exit) << run.out.toStdString();
    EXPECT_EQ(JsonLines(run.out).back().value(QStringLiteral("serial_number")).toString(), QLatin1String(u.serial));
  }
  EXPECT_EQ(bus.WithUnit(1, [](devsim::Simulator& s) { return s.Model().Working()[reg::TagNumber]; }),
            uint16_t('U' | 'N' << 8));
}

// A serial server's network port, named directly or through a COM name: read as a serial port
// is; a server that refuses, stalls or resets is a lost port (3), never a hang.
TEST_F(CliCommands, ASerialServersPortIsReadOrLostNeverHung) {
  devsim::SimOptions options = Options();
  options.tcpPort = 0;
  devsim::PtyDevice server(options);
  const QString address = QString::fromStdString(server.SlavePath());
  ASSERT_EQ(RunCli({QStringLiteral("ports"), QStringLiteral("add"), QStringLiteral("COM20"), address,
                    QStringLiteral("--work-dir"), work()}).exit, 0);
  // socat as the serial server of a pseudo-terminal: the fixture's unit behind a TCP port.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  const quint16 bridgePort = probe.serverPort();
  probe.close();
  QProcess socat;
  socat.setProcessChannelMode(QProcess::MergedChannels);
  socat.start(QStringLiteral("socat"), {QStringLiteral("-d"), QStringLiteral("-d"),
                                        QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr").arg(bridgePort),
                                        QStringLiteral("FILE:%1,rawer").arg(SlavePath())});
  QByteArray socatSays;
  while (!socatSays.contains("listening on") && socat.waitForReadyRead(5000)) socatSays += socat.readAll();
  ASSERT_TRUE(socatSays.contains("listening on")) << socatSays.toStdString();
  const struct {
    const char* name;
    QString port;
    std::function<void(devsim::Faults&)> fault;
    int exit;
    const char* says;
  } kCases[] = {
      {"by its address", address, [](devsim::Faults&) {}, 0, ""},
      {"by a COM name", QStringLiteral("COM20"), [](devsim::Faults&) {}, 0, ""},
      {"through socat", QStringLiteral("tcp://127.0.0.1:%1").arg(bridgePort), [](devsim::Faults&) {}, 0, ""},
      {"refused", QStringLiteral("tcp://127.0.0.1:1"), [](devsim::Faults&) {}, 3, "refused"},
      {"stalls", address, [](devsim::Faults& f) { f.silent = true; }, 3, "does not answer"},
      {"resets mid-read", address, [](devsim::Faults& f) { f.disconnectAtRequest = 6; }, 3, "the connection to the serial server ended"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    server.faults().Clear();
    c.fault(server.faults());
    QElapsedTimer took;
    took.start();
    const CliRun run = RunCli(Line("read -o {out} --port {port}", c.port));
    EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
    EXPECT_LT(took.elapsed(), 20000);
  }
  socat.kill();
  socat.waitForFinished();
}

// A scan finds exactly the units of a line, and names an address two units answer at.
TEST_F(CliCommands, AScanFindsEachUnitAndNamesAnAddressConflict) {
  devsim::SimOptions options;
  options.units = 4;
  options.pacing = {19200, 10};
  devsim::PtyDevice bus(options);
  bus.WithUnit(3, [](devsim::Simulator& s) { s.Model().SetWorkingRegister(devsim::cfg::ModbusAddress, 2); });
  const auto scan = [&](const char* addresses) {
    return RunCli({QStringLiteral("scan"), QStringLiteral("--json"), QStringLiteral("--port"), QString::fromStdString(bus.SlavePath()),
                   QStringLiteral("--interface"), QStringLiteral("rs485"), QStringLiteral("--baud"), QStringLiteral("19200"),
                   QStringLiteral("--parity"), QStringLiteral("none"), QStringLiteral("--addresses"), QLatin1String(addresses),
                   QStringLiteral("--work-dir"), work()});
  };
  const CliRun run = scan("1-6");
  EXPECT_EQ(run.exit, 0) << run.err.toStdString();
  QStringList seen;
  for (const QJsonObject& o : JsonLines(run.out))
    if (o.value(QStringLiteral("event")) == QLatin1String("unit"))
      seen << QStringLiteral("%1 %2").arg(o.value(QStringLiteral("address")).toInt())
                  .arg(o.value(QStringLiteral("conflict")).toBool() ? QStringLiteral("conflict")
                                                                    : o.value(QStringLiteral("serial_number")).toString());
  EXPECT_EQ(seen, (QStringList{"1 KV2300-0017-0417", "2 conflict", "3 KV2300-0017-0419"}));
  EXPECT_EQ(scan("10-12").exit, 3);
}

}  // namespace
}  // namespace kvn::test

// The records' server as stations meet it: a bare repository by path, file:// and a real sshd
// on the loopback. Two stations' commits all land, in time order, never forced; an unknown or
// changed host key and a refused key are refused with what to do, known_hosts untouched; a
// server that cannot be reached or stalls changes no outcome, holds the command line no longer
// than --records-timeout, and loses nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "cli/cli_process.h"
#include "device_link/block_table.h"
#include "records/git_command.h"
#include "records/records.h"
#include "devsim/pty_device.h"
#include "support/loopback.h"
#include "support/sim_fixture.h"

namespace kvn::test {
namespace {

QString Login() { return QString::fromLocal8Bit(getpwuid(getuid())->pw_name); }

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  f.write(bytes);
}

class RecordsServer : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    ASSERT_TRUE(dir.isValid());
    savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(Path("home")));
    QDir().mkpath(Path("home/.ssh"));
    QDir().mkpath(QStringLiteral("/run/sshd"));  // sshd's own, when it runs as root
    ASSERT_EQ(RunGit(dir.path(), {"init", "-q", "--bare", Path("server.git")}).exit, 0);
    for (const char* key : {"hostkey", "home/.ssh/id_ed25519", "other_key"})
      ASSERT_EQ(QProcess::execute(QStringLiteral("ssh-keygen"), {"-q", "-t", "ed25519", "-N", "", "-f", Path(key)}), 0);
    Write(Path("authorized_keys"), Read(Path("home/.ssh/id_ed25519.pub")));
    StartSshd();
    hostLine = QStringLiteral("[127.0.0.1]:%1 ").arg(sshPort).toUtf8() + Read(Path("hostkey.pub")).split(' ').mid(0, 2).join(' ');
    Write(Path("home/.ssh/known_hosts"), hostLine + '\n');
  }
  void TearDown() override {
    sshd.kill();
    sshd.waitForFinished();
    qputenv("HOME", savedHome);
    SimFixture::TearDown();
  }
  void StartSshd() {
    sshPort = LoopbackPort().port;
    Write(Path("sshd_config"), QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2\nAuthorizedKeysFile %3\n"
                                              "PidFile none\nStrictModes no\nUsePAM no\nPasswordAuthentication no\n"
                                              "KbdInteractiveAuthentication no\nPermitRootLogin prohibit-password\n")
                                   .arg(sshPort)
                                   .arg(Path("hostkey"), Path("authorized_keys"))
                                   .toUtf8());
    sshd.setReadChannel(QProcess::StandardError);  // its log (-e)
    sshd.start(QStringLiteral("/usr/sbin/sshd"), {"-D", "-e", "-f", Path("sshd_config")});
    ASSERT_TRUE(sshd.waitForStarted()) << "openssh-server is missing: scripts/install-deps.sh";
    QElapsedTimer waited;
    waited.start();
    while (!Accepting(sshPort) && waited.elapsed() < 5000) QThread::msleep(20);
    ASSERT_TRUE(Accepting(sshPort)) << sshd.readAllStandardError().toStdString();
  }

  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QString Url(const QString& kind) const {
    if (kind == "ssh") return QStringLiteral("ssh://%1@127.0.0.1:%2%3").arg(Login()).arg(sshPort).arg(Path("server.git"));
    if (kind == "file") return QStringLiteral("file://") + Path("server.git");
    return Path("server.git");
  }
  QString ServerGit(const QStringList& arguments) { return RunGit(Path("server.git"), arguments).out.trimmed(); }

  QTemporaryDir dir;
  QByteArray savedHome;
  QProcess sshd;
  int sshPort = 0;
  QByteArray hostLine;  // what known_hosts holds for the loopback sshd
  const QDateTime t0{QDate(2026, 12, 10), QTime(9, 30, 0), Qt::OffsetFromUTC, 3600};
};

// Two stations record two units and the same unit between syncs, in either order of time and
// of syncing, over each kind of server.
struct Stations {
  const char* server;
  int secondsA;  // when A changes the shared unit
  int secondsB;
  bool aSyncsFirst;
  const char* held;  // what the shared unit's settings hold in the end
};

class TwoStations : public RecordsServer, public ::testing::WithParamInterface<Stations> {};

TEST_P(TwoStations, EveryCommitLandsInTimeOrderNeverForced) {
  const Stations& p = GetParam();
  Records a(Path("a"));
  Records b(Path("b"));
  const UnitFiles setA{"A", "a\n", "unit\n"};
  const UnitFiles setB{"B", "b\n", "unit\n"};
  for (Records* r : {&a, &b}) ASSERT_EQ(r->SetServer(Url(p.server)), QString());
  ASSERT_TRUE(a.Outcome("UA", &setA, "UA: by A", t0).committed);
  ASSERT_TRUE(a.Outcome("U", &setA, "U: by A", t0.addSecs(p.secondsA)).committed);
  const RecordOutcome byB = b.Outcome("UB", &setB, "UB: by B", t0);
  ASSERT_TRUE(byB.committed);
  // An outcome names the record it was told against; the name follows that record to the server.
  ASSERT_TRUE(b.Outcome("U", &setB, "U: by B\n\nBackup: record " + byB.commit.left(kShortRecordId), t0.addSecs(p.secondsB)).committed);
  Records& first = p.aSyncsFirst ? a : b;
  Records& second = p.aSyncsFirst ? b : a;
  const SyncOutcome one = first.Sync();
  EXPECT_EQ(one.error, QString());
  EXPECT_EQ(one.sent, 2);
  const QString tipAfterFirst = ServerGit({"rev-parse", "HEAD"});
  const SyncOutcome two = second.Sync();
  EXPECT_EQ(two.error, QString());
  EXPECT_EQ(two.received, 2);
  EXPECT_EQ(two.sent, 2);
  EXPECT_EQ(two.pending, 0);
  EXPECT_EQ(first.Sync().received, 2);

  EXPECT_EQ(ServerGit({"rev-list", "--count", "HEAD"}), "4");
  EXPECT_EQ(RunGit(Path("server.git"), {"merge-base", "--is-ancestor", tipAfterFirst, "HEAD"}).exit, 0) << "forced";
  EXPECT_EQ(ServerGit({"show", "HEAD:U/settings.kvn"}), QString::fromLatin1(p.held));
  EXPECT_EQ(ServerGit({"ls-tree", "--name-only", "HEAD"}), "U\nUA\nUB");
  const QString told = ServerGit({"log", "--format=%b", "--grep", "^U: by B"}).section(QStringLiteral("Backup: record "), 1).left(kShortRecordId);
  EXPECT_EQ(ServerGit({"log", "-1", "--format=%s", told}), "UB: by B") << told.toStdString();
  const GitRun fsck = RunGit(Path("server.git"), {"fsck", "--strict"});
  EXPECT_EQ(fsck.exit, 0) << fsck.err.toStdString();
  // A third station that has recorded nothing yet takes the server's records as they are.
  Records c(Path("c"));
  ASSERT_EQ(c.SetServer(Url(p.server)), QString());
  EXPECT_EQ(c.Sync().received, 4);
  for (const char* work : {"a", "b", "c"}) EXPECT_EQ(Read(Path(work) + "/records/U/settings.kvn"), p.held) << work;
  // What the server lacks is counted without reaching it.
  QString error;
  EXPECT_EQ(a.Pending(&error), 0);
  ASSERT_TRUE(a.Outcome("UA", nullptr, "UA: again", t0).committed);
  EXPECT_EQ(a.Pending(&error), 1) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, TwoStations,
                         ::testing::Values(Stations{"path", 0, 60, true, "B"}, Stations{"path", 60, 0, false, "A"},
                                           Stations{"file", 60, 0, true, "A"}, Stations{"ssh", 0, 60, false, "B"},
                                           Stations{"ssh", 60, 0, true, "A"}),
                         [](const auto& info) { return std::string(info.param.server) + std::to_string(info.index); });

// What the station knows of the ssh server and which keys the server takes: a refusal says
// what to do, nothing reaches the server, and known_hosts stays as it was.
TEST_F(RecordsServer, SshRefusesUnknownHostsAndKeysAndNeverWritesKnownHosts) {
  const QByteArray otherLine = hostLine.split(' ').front() + ' ' + Read(Path("other_key.pub")).split(' ').mid(0, 2).join(' ');
  const struct {
    const char* what;
    QByteArray knownHosts;
    bool authorized;  // our key in the server's authorized_keys
    QString says;     // empty: synced
  } kCases[] = {
      {"known host", hostLine + '\n', true, {}},
      {"hashed entry", {}, true, {}},  // hostLine hashed by ssh-keygen -H
      {"wildcard among other hosts", "other.example,[127.0.0.*]:" + QByteArray::number(sshPort) + hostLine.mid(hostLine.indexOf(' ')) + '\n', true, {}},
      {"unknown host", "# none\n", true, QString::fromUtf8(hostLine)},
      {"key changed", otherLine + '\n', true, "is not the one"},
      {"revoked", "@revoked " + hostLine + '\n' + hostLine + '\n', true, "revoked"},
      {"our key refused", hostLine + '\n', false, "refused this station's ssh keys"},
  };
  Records station(Path("work"));
  ASSERT_EQ(station.SetServer(Url("ssh")), QString());
  int commits = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    Write(Path("home/.ssh/known_hosts"), c.knownHosts);
    if (c.knownHosts.isEmpty()) {
      Write(Path("home/.ssh/known_hosts"), hostLine + '\n');
      ASSERT_EQ(QProcess::execute("ssh-keygen", {"-q", "-H", "-f", Path("home/.ssh/known_hosts")}), 0);
      QFile::remove(Path("home/.ssh/known_hosts.old"));
      ASSERT_TRUE(Read(Path("home/.ssh/known_hosts")).startsWith("|1|"));
    }
    const QByteArray knownHosts = Read(Path("home/.ssh/known_hosts"));
    Write(Path("authorized_keys"), Read(Path(c.authorized ? "home/.ssh/id_ed25519.pub" : "other_key.pub")));
    ASSERT_TRUE(station.Outcome("U", nullptr, QStringLiteral("U: %1").arg(++commits), t0).committed);
    const SyncOutcome sync = station.Sync();
    EXPECT_TRUE(c.says.isEmpty() ? sync.error.isEmpty() : sync.error.contains(c.says)) << sync.error.toStdString();
    EXPECT_EQ(sync.pending, c.says.isEmpty() ? 0 : 1);
    if (!c.says.isEmpty()) {
      EXPECT_EQ(ServerGit({"log", "-1", "--format=%s"}), QStringLiteral("U: %1").arg(commits - 1));
    }
    EXPECT_EQ(Read(Path("home/.ssh/known_hosts")), knownHosts);
    EXPECT_FALSE(QFile::exists(Path("home/.ssh/known_hosts.old")));
    if (!c.says.isEmpty()) {  // the next sync sends it, once the server is trusted again
      Write(Path("home/.ssh/known_hosts"), hostLine + '\n');
      Write(Path("authorized_keys"), Read(Path("home/.ssh/id_ed25519.pub")));
      EXPECT_EQ(station.Sync().error, QString());
    }
  }
  EXPECT_EQ(ServerGit({"rev-list", "--count", "HEAD"}), QString::number(commits));
}

// A command that recorded pushes at its end: a server that refuses the connection or stalls
// changes neither the read's outcome nor its exit status, the command line ends within its
// --records-timeout, and the next sync sends what stayed.
TEST_F(RecordsServer, AnUnreachableOrStalledServerChangesNoOutcomeAndLosesNothing) {
  const LoopbackPort stalled;
  ASSERT_EQ(listen(stalled.fd, 16), 0);
  const int refusing = LoopbackPort().port;
  const struct {
    const char* what;
    int port;
    QStringList words;
    int exit;
    const char* says;
  } kCases[] = {
      {"read, server refusing", refusing, {"read", "-o", Path("set.kvn")}, 0, "cannot be reached"},
      {"read, server stalled", stalled.port, {"read", "-o", Path("set.kvn")}, 0, "did not answer within 2 s"},
      {"sync, server stalled", stalled.port, {"records", "sync"}, 8, "did not answer within 2 s"},
  };
  const QString work = Path("work");
  int pending = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Records(work).SetServer(QStringLiteral("ssh://%1@127.0.0.1:%2/records.git").arg(Login()).arg(c.port)), QString());
    QStringList words = c.words;
    if (c.words.front() == "read") {
      words << "--port" << SlavePath() << "--interface" << "usb";
      sim().WithModel([&](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, static_cast<uint16_t>(++pending)); });
    }
    QElapsedTimer took;
    took.start();
    const CliRun run = RunCli(words << "--work-dir" << work << "--records-timeout" << "2" << "--json");
    if (c.words.front() == "records") {
      EXPECT_LT(took.elapsed(), 2000 + 500) << "beyond --records-timeout";
    }
    EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
    const QList<QJsonObject> lines = JsonLines(run.out);
    ASSERT_FALSE(lines.isEmpty()) << run.err.toStdString();
    const QJsonObject& result = lines.constLast();
    EXPECT_EQ(result.value(c.exit == 0 ? "records_pending" : "pending").toInt(), pending) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(c.says)) << run.out.toStdString();
    if (c.exit == 0) {
      EXPECT_TRUE(run.err.contains(QStringLiteral("Records: %1 not on the server: ").arg(pending).toUtf8())) << run.err.toStdString();
    }
  }
  ASSERT_EQ(Records(work).SetServer(Url("ssh")), QString());
  const CliRun sync = RunCli({"records", "sync", "--work-dir", work, "--json"});
  EXPECT_EQ(sync.exit, 0) << sync.out.toStdString();
  EXPECT_TRUE(sync.out.contains(QStringLiteral("\"sent\":%1").arg(pending).toUtf8())) << sync.out.toStdString();
  EXPECT_EQ(ServerGit({"rev-list", "--count", "HEAD"}), QString::number(pending));
}

// Several ports: each run records, and the records go to the server once, from the parent,
// after every run (sshd accepts one connection, where each child pushing would make more).
TEST_F(RecordsServer, SeveralPortsPushOnceAfterEveryRun) {
  const QString work = Path("work");
  ASSERT_EQ(Records(work).SetServer(Url("ssh")), QString());
  ASSERT_TRUE(Records(work).Outcome("U", nullptr, "U: start", t0).committed);
  ASSERT_EQ(RunCli({"records", "sync", "--work-dir", work}).exit, 0);  // the server's branch, now born
  devsim::PtyDevice second(Options());
  second.WithModel([](devsim::DeviceModel& m) { m.SetWorkingRegister(reg::TagNumber, 0x4242); });
  while (sshd.waitForReadyRead(300)) sshd.readAllStandardError();  // the sync's own lines
  const CliRun run = RunCli({"backup", "--port", SlavePath(), "--port", QString::fromStdString(second.SlavePath()),
                             "--interface", "usb", "--work-dir", work, "--json"});
  EXPECT_EQ(run.exit, 0) << run.out.toStdString();
  QByteArray log;
  while (sshd.waitForReadyRead(300)) log += sshd.readAllStandardError();
  EXPECT_EQ(log.count("Accepted publickey"), 1) << log.toStdString();
  QString error;
  EXPECT_EQ(Records(work).Pending(&error), 0) << error.toStdString();
  EXPECT_EQ(ServerGit({"rev-list", "--count", "HEAD"}), "3");
}

}  // namespace
}  // namespace kvn::test

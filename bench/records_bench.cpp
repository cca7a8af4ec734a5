// The cost of one write outcome's commit to the records, measured side by side in one run: in
// a plant's repository of 2,000 units with 10 records each (20,000 commits, the work tree and
// the index checked out) and in an empty one. Each commit is made as the program makes it: the
// records opened, the unit's three files committed on the branch's tip, written to the work
// tree through the atomic writer and added to the index. Prints the medians and their ratio
// (targets: median under 20 ms, plant / empty at most 1.5: a commit's cost must not grow with
// the plant's history).
// First, a push of one commit to the plant's server over ssh: a real sshd on the loopback
// (openssh-server), with a host key and an authorized key of its own; the median of the syncs
// that each send one new commit (target under 300 ms).
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <git2.h>
#include <git2/sys/mempack.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "records/records.h"
#include "support/loopback.h"

namespace {

constexpr int kUnits = 2000;
constexpr int kRecordsPerUnit = 10;
constexpr int kRounds = 31;

QByteArray UnitName(int u) { return QByteArrayLiteral("KV2300-") + QByteArray::number(u).rightJustified(5, '0'); }

// A unit's three files for one record: sizes as the real ones (settings.txt some 10 KB).
kvn::UnitFiles FilesOf(int unit, int record) {
  const QByteArray tag = UnitName(unit) + ' ' + QByteArray::number(record);
  return {QByteArray(2500, '1') + tag, QByteArray(10000, 'x') + tag + '\n', "Serial number: " + tag + '\n'};
}

git_oid Blob(git_repository* repo, const QByteArray& bytes) {
  git_oid id;
  git_blob_create_from_buffer(&id, repo, bytes.constData(), static_cast<size_t>(bytes.size()));
  return id;
}

// Writes the objects gathered in memory as one pack, as a clone from the plant's server holds
// them.
bool WritePack(git_repository* repo, git_odb* odb, git_odb_backend* memory) {
  git_buf pack = GIT_BUF_INIT;
  git_odb_writepack* writer = nullptr;
  git_indexer_progress stats{};
  const bool ok = git_mempack_dump(&pack, repo, memory) == 0 && git_odb_write_pack(&writer, odb, nullptr, nullptr) == 0 &&
                  writer->append(writer, pack.ptr, pack.size, &stats) == 0 && writer->commit(writer, &stats) == 0;
  if (writer) writer->free(writer);
  git_buf_dispose(&pack);
  git_mempack_reset(memory);
  return ok;
}

// The plant's history, written straight through libgit2 into memory and then one pack, so that
// it takes seconds; then checked out as a station's clone would be.
bool BuildPlant(const QString& path) {
  git_repository* repo = nullptr;
  if (git_repository_init(&repo, QFile::encodeName(path).constData(), 0) != 0) return false;
  git_odb* odb = nullptr;
  git_odb_backend* memory = nullptr;
  git_repository_odb(&odb, repo);
  git_mempack_new(&memory);
  git_odb_add_backend(odb, memory, 1000);
  git_signature* who = nullptr;
  git_signature_new(&who, "Bench", "bench@plant.example", 1700000000, 0);
  git_oid tip{};
  bool born = false;
  git_treebuilder* root = nullptr;
  git_treebuilder_new(&root, repo, nullptr);
  for (int r = 0; r < kRecordsPerUnit; ++r) {
    for (int u = 0; u < kUnits; ++u) {
      const kvn::UnitFiles f = FilesOf(u, r);
      git_treebuilder* unit = nullptr;
      git_treebuilder_new(&unit, repo, nullptr);
      const git_oid blobs[] = {Blob(repo, f.settings), Blob(repo, f.text), Blob(repo, f.identity)};
      const char* names[] = {kvn::kSettingsFile, kvn::kSettingsTextFile, kvn::kIdentityFile};
      for (int i = 0; i < 3; ++i) git_treebuilder_insert(nullptr, unit, names[i], &blobs[i], GIT_FILEMODE_BLOB);
      git_oid unitId, rootId;
      git_treebuilder_write(&unitId, unit);
      git_treebuilder_free(unit);
      git_treebuilder_insert(nullptr, root, UnitName(u).constData(), &unitId, GIT_FILEMODE_TREE);
      git_treebuilder_write(&rootId, root);
      git_tree* tree = nullptr;
      git_tree_lookup(&tree, repo, &rootId);
      git_commit* parent = nullptr;
      if (born) git_commit_lookup(&parent, repo, &tip);
      const git_commit* parents[] = {parent};
      const QByteArray message = UnitName(u) + ": record " + QByteArray::number(r) + "\n\nUnit: " + UnitName(u) + '\n';
      git_commit_create(&tip, repo, nullptr, who, who, nullptr, message.constData(), tree, born ? 1 : 0, parents);
      git_commit_free(parent);
      git_tree_free(tree);
      born = true;
    }
  }
  git_treebuilder_free(root);
  const bool packed = WritePack(repo, odb, memory);
  git_odb_free(odb);
  git_reference* ref = nullptr;
  const bool ok = git_reference_create(&ref, repo, "refs/heads/master", &tip, 1, "bench") == 0;
  git_reference_free(ref);
  git_checkout_options checkout = GIT_CHECKOUT_OPTIONS_INIT;
  checkout.checkout_strategy = GIT_CHECKOUT_FORCE;
  const bool checkedOut = git_checkout_head(repo, &checkout) == 0;
  git_signature_free(who);
  git_repository_free(repo);
  return packed && ok && checkedOut;
}

// One outcome commit of a unit with a set of its own, as the program makes it, in ms; negative
// when it was not recorded.
double CommitMs(const QString& workDirectory, int unit, int round) {
  const kvn::UnitFiles files = FilesOf(unit, 100 + round);
  QElapsedTimer timer;
  timer.start();
  kvn::Records records(workDirectory);
  const kvn::RecordOutcome o = records.Outcome(QString::fromLatin1(UnitName(unit)), &files,
                                               QStringLiteral("bench: write %1").arg(round), QDateTime::currentDateTime());
  const double ms = timer.nsecsElapsed() / 1e6;
  if (o.committed) return ms;
  std::fprintf(stderr, "records_bench: %s\n", qPrintable(o.error));
  return -1;
}

double Median(std::vector<double> ms) {
  std::nth_element(ms.begin(), ms.begin() + static_cast<long>(ms.size() / 2), ms.end());
  return ms[ms.size() / 2];
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The median push of one commit to a bare repository behind the loopback sshd, in ms; negative
// when the server could not be set up or a push failed.
double PushMs(const QString& folder) {
  const QDir d(folder);
  QDir().mkpath(d.filePath(QStringLiteral("home/.ssh")));
  QDir().mkpath(QStringLiteral("/run/sshd"));  // sshd's own, when it runs as root
  for (const char* key : {"hostkey", "home/.ssh/id_ed25519"})
    if (QProcess::execute(QStringLiteral("ssh-keygen"), {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                                         QStringLiteral("-N"), QString(), QStringLiteral("-f"),
                                                         d.filePath(QString::fromLatin1(key))}) != 0)
      return -1;
  const auto read = [&](const char* name) {
    QFile f(d.filePath(QString::fromLatin1(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  const int port = kvn::test::FreeLoopbackPort();
  const QByteArray config = QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2\nAuthorizedKeysFile %3\nPidFile none\n"
                                           "StrictModes no\nUsePAM no\nPasswordAuthentication no\n")
                                .arg(port)
                                .arg(d.filePath(QStringLiteral("hostkey")), d.filePath(QStringLiteral("home/.ssh/id_ed25519.pub")))
                                .toUtf8();
  const QByteArray known = "[127.0.0.1]:" + QByteArray::number(port) + ' ' + read("hostkey.pub").split(' ').mid(0, 2).join(' ') + '\n';
  if (!WriteFile(d.filePath(QStringLiteral("sshd_config")), config) ||
      !WriteFile(d.filePath(QStringLiteral("home/.ssh/known_hosts")), known))
    return -1;
  QProcess sshd;
  sshd.start(QStringLiteral("/usr/sbin/sshd"), {QStringLiteral("-D"), QStringLiteral("-f"), d.filePath(QStringLiteral("sshd_config"))});
  for (int i = 0; i < 250 && !kvn::test::Accepting(port); ++i) QThread::msleep(20);
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", QFile::encodeName(d.filePath(QStringLiteral("home"))));
  git_repository* bare = nullptr;
  git_repository_init(&bare, QFile::encodeName(d.filePath(QStringLiteral("server.git"))).constData(), 1);
  git_repository_free(bare);
  const QString url = QStringLiteral("ssh://%1@127.0.0.1:%2%3")
                          .arg(QString::fromLocal8Bit(getpwuid(getuid())->pw_name))
                          .arg(port)
                          .arg(d.filePath(QStringLiteral("server.git")));
  std::vector<double> runs;
  kvn::Records station(d.filePath(QStringLiteral("station")));
  bool ok = station.SetServer(url).isEmpty();
  for (int i = 0; ok && i <= kRounds / 2; ++i) {
    const kvn::UnitFiles files = FilesOf(i % 3, i);
    ok = station.Outcome(QString::fromLatin1(UnitName(i % 3)), &files, QStringLiteral("bench: push %1").arg(i),
                         QDateTime::currentDateTime()).committed;
    QElapsedTimer timer;
    timer.start();
    const kvn::SyncOutcome sync = station.Sync();
    if (i > 0) runs.push_back(timer.nsecsElapsed() / 1e6);  // the first one learns the server's branch
    if (!sync.error.isEmpty() || sync.sent != 1) {
      std::fprintf(stderr, "records_bench: push: %s\n", qPrintable(sync.error));
      ok = false;
    }
  }
  qputenv("HOME", home);
  sshd.kill();
  sshd.waitForFinished();
  return ok ? Median(runs) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  git_libgit2_init();
  QTemporaryDir dir;
  const double pushMs = PushMs(dir.filePath(QStringLiteral("push")));
  std::printf("records_bench: a push of one commit over ssh to 127.0.0.1 (median of %d)\n", kRounds / 2);
  if (pushMs < 0)
    std::printf("  push                 not measured: no sshd (openssh-server) or the push failed\n");
  else
    std::printf("  push                 %7.2f ms   (target < 300 ms)\n", pushMs);
  std::fflush(stdout);
  const QString plant = dir.filePath(QStringLiteral("plant"));
  const QString empty = dir.filePath(QStringLiteral("empty"));
  QElapsedTimer built;
  built.start();
  if (!BuildPlant(kvn::Records::PathIn(plant))) {
    std::fprintf(stderr, "records_bench: the plant's repository cannot be built\n");
    return 1;
  }
  std::printf("records_bench: %d units x %d records (%d commits) built in %.1f s; median of %d commits each\n",
              kUnits, kRecordsPerUnit, kUnits * kRecordsPerUnit, built.elapsed() / 1e3, kRounds);
  // Side by side, alternating, so that the machine's load falls on both alike.
  std::vector<double> emptyRuns, plantRuns;
  for (int i = 0; i < kRounds; ++i) {
    emptyRuns.push_back(CommitMs(empty, 7, i));
    plantRuns.push_back(CommitMs(plant, 1000, i));
    if (emptyRuns.back() < 0 || plantRuns.back() < 0) return 1;
  }
  const double emptyMs = Median(emptyRuns);
  const double plantMs = Median(plantRuns);
  std::printf("  empty repository     %7.2f ms\n", emptyMs);
  std::printf("  plant's repository   %7.2f ms   (target < 20 ms)\n", plantMs);
  std::printf("  plant / empty        %7.2f      (target <= 1.5)\n", plantMs / emptyMs);
  git_libgit2_shutdown();
  return 0;
}

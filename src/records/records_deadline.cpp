#include "records/records_deadline.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#ifdef __linux__
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#endif

#include "texts/tr_context.h"

namespace kvn {
namespace {

KVN_TR_CONTEXT(kvn::Records)

// The part of the time left for the sync to end once it is told to stop.
constexpr int kStopMs = 500;
constexpr int kSweepPauseMs = 20;

// What the sync's thread and the waiting one share; the thread owns its copy to the end.
struct Shared {
  explicit Shared(const QString& work) : records(work) {}
  Records records;
  std::atomic<bool> canceled{false};
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  SyncOutcome outcome;
};

// The network sockets this process holds. Only Linux tells them (/proc/self/fd); elsewhere a
// stalled sync is left behind.
std::set<int> NetworkSockets() {
  std::set<int> sockets;
#ifdef __linux__
  for (const QString& name : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System)) {
    const int fd = name.toInt();
    struct stat st {};
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) continue;
    if (address.ss_family == AF_INET || address.ss_family == AF_INET6) sockets.insert(fd);
  }
#endif
  return sockets;
}

// Shuts down the sockets opened since `before`: the sync's own (the device's link, older, is
// not among them). A read or a connect blocked on one returns at once.
void ShutDownSince(const std::set<int>& before) {
#ifdef __linux__
  for (const int fd : NetworkSockets())
    if (!before.count(fd)) shutdown(fd, SHUT_RDWR);
#else
  Q_UNUSED(before);
#endif
}

}  // namespace

SyncOutcome SyncWithin(const QString& workDirectory, int timeoutMs) {
  const auto shared = std::make_shared<Shared>(workDirectory);
  const std::set<int> before = NetworkSockets();
  std::thread worker([shared] {
    SyncOutcome outcome = shared->records.Sync(&shared->canceled);
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->outcome = std::move(outcome);
    shared->done = true;
    shared->ended.notify_all();
  });
  const int stopMs = std::min(kStopMs, timeoutMs / 4);
  std::unique_lock<std::mutex> lock(shared->mutex);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool done = shared->ended.wait_until(lock, deadline - std::chrono::milliseconds(stopMs), [&] { return shared->done; });
  if (!done) {
    shared->canceled = true;
    // A connection the sync opens after the first sweep is shut down by a later one.
    while (!done && std::chrono::steady_clock::now() < deadline) {
      lock.unlock();
      ShutDownSince(before);
      lock.lock();
      done = shared->ended.wait_for(lock, std::chrono::milliseconds(kSweepPauseMs), [&] { return shared->done; });
    }
  }
  if (done) {
    lock.unlock();
    worker.join();
  } else {
    lock.unlock();
    worker.detach();  // it holds its own share; the records' files are consistent at every step
  }
  SyncOutcome outcome;
  if (done) outcome = shared->outcome;
  // A sync that ended on its own just as it was told to stop says what it did.
  if (shared->canceled && (!done || !outcome.error.isEmpty())) {
    outcome.error = Tr("The records' server did not answer within %1 s; nothing is lost, the next push sends it.")
                        .arg(QString::number(timeoutMs / 1000.0));
    QString error;
    outcome.pending = Records(workDirectory).Pending(&error);
  }
  return outcome;
}

}  // namespace kvn

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
#include <vector>

#include "platform/platform.h"
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

// Shuts down the sockets opened since `before`: the sync's own (the device's link, older, is
// not among them). A read or a connect blocked on one returns at once. Where the system does
// not list a process's sockets, a stalled sync is left behind.
void ShutDownSince(const std::set<qintptr>& before) {
  for (const qintptr socket : platform::NetworkSockets())
    if (!before.count(socket)) platform::ShutDownSocket(socket);
}

std::atomic<bool> leftRunning{false};

}  // namespace

bool SyncLeftRunning() { return leftRunning; }

SyncOutcome SyncWithin(const QString& workDirectory, int timeoutMs, const std::atomic<bool>* stop) {
  const auto shared = std::make_shared<Shared>(workDirectory);
  const std::vector<qintptr> open = platform::NetworkSockets();
  const std::set<qintptr> before(open.begin(), open.end());
  std::thread worker([shared] {
    SyncOutcome outcome = shared->records.Sync(&shared->canceled);
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->outcome = std::move(outcome);
    shared->done = true;
    shared->ended.notify_all();
  });
  const int stopMs = std::min(kStopMs, timeoutMs / 4);
  std::unique_lock<std::mutex> lock(shared->mutex);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const auto stopping = [&] { return stop && *stop; };
  bool done = false;
  while (!done && !stopping() && std::chrono::steady_clock::now() < deadline - std::chrono::milliseconds(stopMs))
    done = shared->ended.wait_for(lock, std::chrono::milliseconds(kSweepPauseMs * 5), [&] { return shared->done; });
  if (!done && stopping()) deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopMs);
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
    leftRunning = true;
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

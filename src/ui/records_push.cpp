#include "ui/records_push.h"

#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "records/records.h"
#include "records/records_deadline.h"

namespace kvn {

// What the GUI thread and the worker share; the worker holds it for as long as it runs, past
// the window's end when a server stalls.
struct RecordsPush::Shared {
  std::mutex mutex;
  std::condition_variable finished;
  bool wanted = false;     // a commit came that no push has taken along yet
  bool full = false;       // a sync is wanted even with nothing to send
  bool running = false;    // a worker runs
  bool abandoned = false;  // the window is gone: nothing is reported any more
  std::atomic<bool> canceled{false};  // the sync under way is to stop where it stands
};

RecordsPush::RecordsPush(QString workDirectory, std::function<void(const QString&)> show, QObject* parent)
    : QObject(parent), workDirectory_(std::move(workDirectory)), show_(std::move(show)),
      shared_(std::make_shared<Shared>()) {
  // Every move of the branch is a line of its log (libgit2 writes HEAD's along): a look at its
  // size costs the window nothing, whoever made the commit.
  check_.setInterval(kPushCheckMs);
  connect(&check_, &QTimer::timeout, this, &RecordsPush::CheckBranch);
  check_.start();
  retry_.setSingleShot(true);
  retry_.setInterval(kPushRetryMs);
  connect(&retry_, &QTimer::timeout, this, [this] { Request(); });
  CheckBranch();
  Request();  // what an earlier run left unsent
}

RecordsPush::~RecordsPush() {
  shared_->canceled = true;
  std::unique_lock lock(shared_->mutex);
  shared_->abandoned = true;
  shared_->finished.wait_for(lock, std::chrono::milliseconds(kPushQuitWaitMs), [this] { return !shared_->running; });
  const bool stalled = shared_->running;
  lock.unlock();
  if (!worker_.joinable()) return;
  // A stalled server: the worker ends with the process, reporting nothing.
  if (stalled)
    worker_.detach();
  else
    worker_.join();
}

bool RecordsPush::Busy() const {
  const std::lock_guard lock(shared_->mutex);
  return shared_->running;
}

void RecordsPush::CheckBranch() {
  const QFileInfo log(Records::PathIn(workDirectory_) + QStringLiteral("/.git/logs/HEAD"));
  const qint64 size = log.exists() ? log.size() : 0;
  const QDateTime moved = log.lastModified();
  if (size == branchLogSize_ && moved == branchMoved_) return;
  const bool first = branchLogSize_ < 0;
  branchLogSize_ = size;
  branchMoved_ = moved;
  if (!first) Request();
}

void RecordsPush::Request(bool full) {
  retry_.stop();
  std::unique_lock lock(shared_->mutex);
  shared_->wanted = true;
  shared_->full = shared_->full || full;
  if (shared_->running) return;
  shared_->running = true;
  lock.unlock();
  StartWorker();
}

void RecordsPush::StartWorker() {
  if (worker_.joinable()) worker_.join();  // it has said it is done: nothing left to wait for
  worker_ = std::thread(&RecordsPush::Work, shared_, workDirectory_, this);
}

// Runs on the worker. Reports go to the window's thread as queued calls, and only while the
// window exists: it marks itself abandoned under the same lock before it goes.
void RecordsPush::Work(std::shared_ptr<Shared> shared, QString workDirectory, RecordsPush* owner) {
  const auto report = [&](int pending, const QString& why, bool finished) {
    const std::lock_guard lock(shared->mutex);
    if (shared->abandoned) return;
    QMetaObject::invokeMethod(owner, [owner, pending, why, finished] { owner->Report(pending, why, finished); },
                              Qt::QueuedConnection);
  };
  const auto tell = [&](const QString& outcome) {
    const std::lock_guard lock(shared->mutex);
    if (shared->abandoned) return;
    QMetaObject::invokeMethod(owner, [owner, outcome] { owner->Tell(outcome); }, Qt::QueuedConnection);
  };
  for (;;) {
    bool full = false;
    {
      std::unique_lock lock(shared->mutex);
      if (!shared->wanted || shared->abandoned) {
        shared->running = false;
        shared->finished.notify_all();
        return;
      }
      shared->wanted = false;
      full = std::exchange(shared->full, false);
    }
    Records records(workDirectory);
    QString error;
    const int pending = records.Pending(&error);
    if (pending == 0 && !full) {
      report(0, error, true);
      continue;
    }
    if (pending > 0) report(pending, RecordsPush::tr("sending to %1").arg(records.Server(&error)), false);
    // Bounded, and ended at once when the window quits: a stalled server's connection is shut.
    const SyncOutcome sync = SyncWithin(workDirectory, kPushTimeoutMs, &shared->canceled);
    report(sync.pending, sync.error, true);
    tell(sync.error.isEmpty() ? RecordsPush::tr("Synced: %1 received, %2 sent.").arg(sync.received).arg(sync.sent)
                              : sync.error);
  }
}

void RecordsPush::Report(int pending, const QString& why, bool finished) {
  const QString reason = why.trimmed().replace(QLatin1Char('\n'), QLatin1Char(' '));
  note_ = pending > 0 ? tr("Records: %1 not on the server: %2").arg(pending).arg(reason) : QString();
  if (show_) show_(note_);
  // A push that failed is tried again a while later, whether or not a commit comes.
  if (finished && pending > 0) retry_.start();
}

}  // namespace kvn

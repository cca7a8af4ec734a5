#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <thread>

namespace kvn {

struct SyncOutcome;

// How long quitting waits for a push under way before it leaves it to end with the process: a
// stalled server never holds up the quit beyond this.
inline constexpr int kPushQuitWaitMs = 2000;
// How often the window looks for new commits, and how long a failed push waits before it is
// tried again without one.
inline constexpr int kPushCheckMs = 1000;
inline constexpr int kPushRetryMs = 60000;
// The longest one push may take before it is given up (and tried again later).
inline constexpr int kPushTimeoutMs = 60000;

// The window's background push of the records: whenever the branch moved (a commit of a read, a
// write's outcome) a worker thread with its own Records syncs with the plant's server; libgit2's
// objects never leave that thread. Requests that come while a push runs make one more push
// after it. What the server lacks is told through `show` as "Records: N not on the server:
// why", an empty text when it holds everything (or no server is set).
class RecordsPush : public QObject {
  Q_OBJECT

 public:
  RecordsPush(QString workDirectory, std::function<void(const QString&)> show, QObject* parent = nullptr);
  ~RecordsPush() override;

  // A push after a commit; one under way takes it along with one more round. full: a sync even
  // when nothing waits to be sent, to receive what other stations sent.
  void Request(bool full = false);
  // The text shown last.
  const QString& Note() const { return note_; }
  // True while a worker runs.
  bool Busy() const;

 signals:
  // A sync ran: what it did, or why the server does not hold everything.
  void Synced(const QString& outcome);

 private:
  struct Shared;
  void CheckBranch();
  void Report(int pending, const QString& why, bool finished);
  void Tell(const QString& outcome) { emit Synced(outcome); }
  void StartWorker();
  static void Work(std::shared_ptr<Shared> shared, QString workDirectory, RecordsPush* owner);

  QString workDirectory_;
  std::function<void(const QString&)> show_;
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
  QTimer check_;
  QTimer retry_;
  QDateTime branchMoved_;  // when the branch's log last changed
  qint64 branchLogSize_ = -1;
  QString note_;
};

}  // namespace kvn

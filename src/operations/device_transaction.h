#pragma once
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

namespace kvn {

// While the engineer's own transaction runs no poll may interleave with it: the poll timer
// stays stopped for the guard's life and starts again on every way out.
class PollTimerStopped {
 public:
  explicit PollTimerStopped(QTimer& timer) : timer_(timer) { timer_.stop(); }
  ~PollTimerStopped() { timer_.start(); }
  PollTimerStopped(const PollTimerStopped&) = delete;
  PollTimerStopped& operator=(const PollTimerStopped&) = delete;

 private:
  QTimer& timer_;
};

// The hourglass for a transaction that may take a few seconds, restored on every way out. A
// program without a window (the command line) has no cursor to change.
class Hourglass {
 public:
  Hourglass() : shown_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (shown_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~Hourglass() {
    if (shown_) QGuiApplication::restoreOverrideCursor();
  }
  Hourglass(const Hourglass&) = delete;
  Hourglass& operator=(const Hourglass&) = delete;

 private:
  bool shown_;
};

}  // namespace kvn

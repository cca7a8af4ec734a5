#pragma once
#include "operations/poll_state.h"
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

namespace kvn {

// While the engineer's own transaction runs no poll may interleave with it: the poll timer
// stays stopped for the guard's life and starts again on every way out.
// What a device operation asks of a front end's poll, where it has one (the window's timer): to
// hold off while the operation talks to the device, and to read the device's set again after
// it. A front end without a poll (the command line) gives none.
class PollHold {
 public:
  virtual ~PollHold() = default;
  virtual void Stop() = 0;
  virtual void Start() = 0;
  virtual void SetChanged() = 0;
};

// The window's poll: its timer, and the flag that has the next good poll read the parameter
// blocks.
class TimerPoll : public PollHold {
 public:
  TimerPoll(QTimer& timer, PollState& poll) : timer_(timer), poll_(poll) {}
  void Stop() override { timer_.stop(); }
  void Start() override { timer_.start(); }
  void SetChanged() override { poll_.ConfigBlocksPolled = false; }

 private:
  QTimer& timer_;
  PollState& poll_;
};

// The poll held off for as long as it lives; nothing without a poll.
class PollHeld {
 public:
  explicit PollHeld(PollHold* poll) : poll_(poll) {
    if (poll_) poll_->Stop();
  }
  ~PollHeld() {
    if (poll_) poll_->Start();
  }
  PollHeld(const PollHeld&) = delete;
  PollHeld& operator=(const PollHeld&) = delete;

 private:
  PollHold* poll_;
};

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

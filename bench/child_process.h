#pragma once
// A program of the build started afresh, as a script starts it (posix_spawn), with the time it
// started and ended, how it ended, and its peak memory from wait4().
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QThread>
#include <cstdio>
#include <vector>

#include "bench_line.h"

extern char** environ;

namespace kvn::bench {

struct Child {
  double started = 0;  // CLOCK_MONOTONIC, just before the spawn
  double ended = 0;    // when wait4() reaped it
  int status = -1;     // wait4()'s status
  long peakKb = 0;
  // The exit status, or -1 when it ended by a signal (or never started).
  int ExitCode() const { return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
};

// How long a child may run, and where its stdout and stderr go.
struct ChildLimits {
  int stopAfterMs = 0;  // 0: waits for its end; else SIGTERM when it still runs after this long
  QString output = QStringLiteral("/dev/null");
};

namespace detail {
// Blocks until the child ends; with a limit it looks every 2 ms, and stops it at the limit.
inline void Reap(pid_t pid, Child& child, int stopAfterMs) {
  rusage usage{};
  if (stopAfterMs > 0) {
    const double limit = child.started + stopAfterMs / 1000.0;
    while (wait4(pid, &child.status, WNOHANG, &usage) == 0) {
      if (Now(CLOCK_MONOTONIC) >= limit) {
        kill(pid, SIGTERM);
        wait4(pid, &child.status, 0, &usage);
        break;
      }
      QThread::msleep(2);
    }
  } else {
    wait4(pid, &child.status, 0, &usage);
  }
  child.ended = Now(CLOCK_MONOTONIC);
  child.peakKb = usage.ru_maxrss;
}
}  // namespace detail

// Starts program with arguments and extra environment (ahead of this program's own, so it
// wins), and waits for its end.
inline Child RunChild(const QString& program, const QStringList& arguments, const QStringList& environment,
                      const ChildLimits& limits = {}) {
  std::vector<QByteArray> storage;
  std::vector<char*> argv, envp;
  storage.push_back(program.toLocal8Bit());
  for (const QString& a : arguments) storage.push_back(a.toLocal8Bit());
  const size_t argc = storage.size();
  for (const QString& e : environment) storage.push_back(e.toLocal8Bit());
  for (char** e = environ; *e; ++e) storage.emplace_back(*e);
  for (size_t i = 0; i < storage.size(); ++i) (i < argc ? argv : envp).push_back(storage[i].data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  const QByteArray output = limits.output.toLocal8Bit();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  Child child;
  pid_t pid = 0;
  child.started = Now(CLOCK_MONOTONIC);
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::fprintf(stderr, "cannot start %s\n", argv[0]);
    return child;
  }
  detail::Reap(pid, child, limits.stopAfterMs);
  return child;
}

}  // namespace kvn::bench

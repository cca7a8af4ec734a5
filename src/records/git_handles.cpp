#include "records/git_handles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <array>

namespace kvn::records_git {


QString GitError(const QString& what) {
  const git_error* e = git_error_last();
  return e && e->message ? what + QStringLiteral(": ") + QString::fromUtf8(e->message) : what;
}

QString Hex(const git_oid& id) {
  std::array<char, GIT_OID_HEXSZ + 1> text{};
  git_oid_tostr(text.data(), text.size(), &id);
  return QString::fromLatin1(text.data());
}

// The branch a commit goes to: the one HEAD names (born or not), or HEAD itself when detached.
QString BranchOf(git_repository* repo) {
  git_reference* raw = nullptr;
  if (git_reference_lookup(&raw, repo, "HEAD") != 0) return QStringLiteral("HEAD");
  const Reference head(raw);
  if (git_reference_type(head.get()) != GIT_REFERENCE_SYMBOLIC) return QStringLiteral("HEAD");
  return QString::fromUtf8(git_reference_symbolic_target(head.get()));
}

// Takes the program's own lock of the repository, retried often: a commit holds it for
// milliseconds. A lock whose process died is taken over.
bool LockRecords(QLockFile& lock, int waitMs) {
  lock.setStaleLockTime(kStaleLockMs);
  QDeadlineTimer deadline(waitMs);
  for (;;) {
    if (lock.tryLock(0)) return true;
    if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) return false;
    QThread::msleep(kRetryPauseMs);
  }
}

QString LockPath(git_repository* repo) {
  return QDir(QFile::decodeName(git_repository_path(repo))).filePath(QStringLiteral("korvane-records.lock"));
}

}  // namespace kvn::records_git

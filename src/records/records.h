#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <optional>
#include <vector>

#include "records/unit_files.h"

struct git_oid;
struct git_remote;
struct git_repository;
struct git_signature;

namespace kvn {

namespace records_git {
struct SshSession;
}

// The names of a unit's files in its folder.
inline constexpr char kSettingsFile[] = "settings.kvn";
inline constexpr char kSettingsTextFile[] = "settings.txt";
inline constexpr char kIdentityFile[] = "identity.txt";
inline constexpr char kEventsFile[] = "events.csv";  // the event log, when a fleet run reads it

// The length a record's id is shown with, as short as git's own short ids stay unambiguous.
inline constexpr int kShortRecordId = 10;

// How long a commit waits for another writer of the same repository: another process of the
// program, or git itself holding the branch's reference.
inline constexpr int kRecordsLockWaitMs = 5000;

// What one commit left behind.
struct RecordOutcome {
  bool committed = false;
  QString commit;  // its id, hex; of an observation that found nothing new, the commit that holds the set
  QString error;   // why nothing was recorded; empty when recorded or nothing was due
};

// What a sync with the plant's server did.
struct SyncOutcome {
  int received = 0;  // commits of other stations now in the records
  int sent = 0;      // commits of this station the server now holds
  int pending = 0;   // commits of this station the server does not hold (as far as it was last seen)
  QString error;     // why the server does not hold them all; empty when it does
};

// One commit as a log shows it.
struct RecordEntry {
  QString commit;  // id, hex
  QDateTime time;  // the commit's own time, in its own offset
  QString author;
  QString email;
  QString summary;  // the message's first line
  QString message;  // the whole message
  QString unit;     // the unit's folder, from the message's "Unit:" line
};

// The plant's records: <work dir>/records, a Git repository with a folder per unit. Created on
// first use; one already there (a clone of the plant's) is used as it is. Each commit is made
// on the branch HEAD names, from its tip, without the index: the tree is built from the tip's,
// so a commit never takes along what someone left in the work tree. Writers of the program
// take turns through a lock file in the repository; a branch reference that someone else holds
// is retried for kRecordsLockWaitMs. The unit's files in the work tree follow each commit.
class Records {
 public:
  explicit Records(QString workDirectory);
  ~Records();
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;

  static QString PathIn(const QString& workDirectory);
  // Opens the records, creating them on first use: empty when they can be written to, else why
  // not (a file where they belong, a damaged repository).
  QString Check() { return Open(true); }
  const QString& Path() const { return path_; }

  // A set read from the unit: its files are committed when they differ from the unit's last
  // record, with "<serial>: first record" or "<serial>: found changed since the last record".
  RecordOutcome Observe(const QString& unit, const QString& serial, const UnitFiles& files, const QDateTime& time);
  // A write's outcome: always a commit, empty when nothing changed. files nullptr: the unit's
  // files stay as they are (what the unit runs is not known).
  RecordOutcome Outcome(const QString& unit, const UnitFiles* files, const QString& message, const QDateTime& time);

  // A further file of the unit's folder (the event log it gave): committed with message when
  // it differs from the unit's last record, nothing otherwise.
  RecordOutcome Attach(const QString& unit, const char* name, const QByteArray& bytes, const QString& message,
                       const QDateTime& time);

  // The commits of the branch, newest first; of one unit only when unit is not empty.
  std::vector<RecordEntry> Log(const QString& unit, QString* error);
  // A unit's file as it was at revision (any name git takes: HEAD, an id, HEAD~2, a branch);
  // nullopt with the reason when there is none.
  std::optional<QByteArray> FileAt(const QString& unit, const char* file, const QString& revision, QString* error);

  // --- The plant's server: the repository's remote "origin" (a clone's own) ---

  // Its address; empty when none is set (error tells why when it cannot be read).
  QString Server(QString* error);
  // Sets it: a bare repository's path (made absolute), file://, ssh:// or user@host:path.
  // Empty, or why it was not set.
  QString SetServer(const QString& url);
  // Fetches the server's branch, puts this station's commits on top of what other stations
  // sent meanwhile and pushes them, never forcing anything: a push the server refuses because
  // it moved on again is tried anew. A unit that two stations changed in between holds the
  // later of their sets. What could not be sent stays and goes with the next sync. canceled,
  // set from another thread, ends the work with the server at its next step (SyncWithin).
  SyncOutcome Sync(const std::atomic<bool>* canceled = nullptr);
  // This station's commits the server does not hold, as of the last sync, without reaching the
  // server: those on the branch not reachable from the server's branch as last fetched (all of
  // them before the first fetch). 0 when no server is set.
  int Pending(QString* error);

 private:
  struct Commit;
  QString Open(bool create);
  RecordOutcome Write(const Commit& commit);
  // The commit on the branch's tip, made anew when someone else moved the tip meanwhile.
  RecordOutcome CommitOnBranch(const Commit& commit, const std::array<git_oid, 3>* blobs, const git_signature* signature);
  enum class Observed { First, Changed, Identity };
  QString MessageOf(const Commit& commit, Observed observed, const QStringList& notes) const;
  // The unit's files in the work tree and the index, as the commit just made holds them.
  void CheckOut(const QString& unit, const UnitFiles& files, const std::array<git_oid, 3>& blobs);
  void CheckOutFile(const QString& unit, const QString& name, const QByteArray& bytes);
  // This station's commits straight on top of the server's branch as last fetched: one
  // connection instead of two. False when that is not the case or the server moved on since
  // (then a round of SyncOnce follows).
  bool PushAhead(git_remote* remote, records_git::SshSession& ssh, SyncOutcome& outcome);
  // One round of Sync; false (and no error) when the server moved on while we pushed.
  bool SyncOnce(git_remote* remote, records_git::SshSession& ssh, SyncOutcome& outcome);
  // This station's commits made anew on the server's tip (tip: where they end), the local
  // branch and work tree moved there.
  bool PutOnTop(const QByteArray& local, const git_oid& ours, const git_oid& theirs, SyncOutcome& outcome, git_oid* tip);

  QString path_;
  git_repository* repo_ = nullptr;
};

}  // namespace kvn

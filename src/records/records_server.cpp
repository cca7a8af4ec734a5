#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QUrl>

#include <vector>

#include "records/git_handles.h"
#include "records/records.h"
#include "records/records_ssh.h"
#include "texts/tr_context.h"

namespace kvn {

using namespace records_git;

namespace {

KVN_TR_CONTEXT(kvn::Records)

constexpr char kRemote[] = "origin";
constexpr int kPushRounds = 5;  // pushes refused because another station pushed first

// A path of this machine (a mounted share) is made absolute, so that it means the same from
// every working directory; URLs stay as they are.
QString ServerAddress(const QString& url) {
  const bool isUrl = url.contains(QStringLiteral("://"));
  const bool isScp = !isUrl && url.contains(QLatin1Char(':')) && !url.startsWith(QLatin1Char('/'));
  return isUrl || isScp ? url : QFileInfo(url).absoluteFilePath();
}

// The folder a path or file:// address names; empty for a network address.
QString LocalFolderOf(const QString& address) {
  if (address.startsWith(QLatin1String("file://"))) return QUrl(address).toLocalFile();
  return QDir::isAbsolutePath(address) ? address : QString();
}

git_time_t TimeOf(const git_commit* commit) { return git_commit_author(commit)->when.time; }

// The top-level folders (units) in which two trees differ.
std::vector<std::string> ChangedUnits(const git_tree* before, const git_tree* after) {
  std::vector<std::string> units;
  const auto differs = [](const git_tree* a, const git_tree* b, std::vector<std::string>& out) {
    for (size_t i = 0; i < git_tree_entrycount(a); ++i) {
      const git_tree_entry* e = git_tree_entry_byindex(a, i);
      const git_tree_entry* other = b ? git_tree_entry_byname(b, git_tree_entry_name(e)) : nullptr;
      if (!other || git_oid_cmp(git_tree_entry_id(e), git_tree_entry_id(other)) != 0) out.emplace_back(git_tree_entry_name(e));
    }
  };
  differs(after, before, units);
  if (before) {
    std::vector<std::string> removed;
    differs(before, after, removed);
    for (const std::string& name : removed)
      if (!git_tree_entry_byname(after, name.c_str())) units.push_back(name);
  }
  return units;
}

struct Commits {
  std::vector<CommitObject> list;
  QString error;
};

// The commits reachable from `from` but not from `hidden`, oldest first.
Commits CommitsBetween(git_repository* repo, const git_oid& from, const git_oid* hidden) {
  Commits c;
  git_revwalk* raw = nullptr;
  if (git_revwalk_new(&raw, repo) != 0) {
    c.error = GitError(Tr("The records cannot be read"));
    return c;
  }
  const RevWalk walk(raw);
  git_revwalk_sorting(raw, GIT_SORT_TOPOLOGICAL | GIT_SORT_REVERSE);
  git_revwalk_push(raw, &from);
  if (hidden) git_revwalk_hide(raw, hidden);
  git_oid id;
  while (git_revwalk_next(&id, raw) == 0) {
    git_commit* commit = nullptr;
    if (git_commit_lookup(&commit, repo, &id) != 0) {
      c.error = GitError(Tr("The records cannot be read"));
      return c;
    }
    c.list.emplace_back(commit);
  }
  return c;
}

Tree TreeOf(const git_commit* commit) {
  git_tree* tree = nullptr;
  return git_commit_tree(&tree, commit) == 0 ? Tree(tree) : nullptr;
}

Tree ParentTree(const git_commit* commit) {
  git_commit* parent = nullptr;
  if (git_commit_parentcount(commit) == 0 || git_commit_parent(&parent, commit, 0) != 0) return nullptr;
  const CommitObject owner(parent);
  return TreeOf(parent);
}

// The latest time at which any of the commits changed each unit.
QHash<QByteArray, git_time_t> LatestChanges(const std::vector<CommitObject>& commits) {
  QHash<QByteArray, git_time_t> latest;
  for (const CommitObject& c : commits) {
    const Tree tree = TreeOf(c.get());
    if (!tree) continue;
    for (const std::string& unit : ChangedUnits(ParentTree(c.get()).get(), tree.get())) {
      git_time_t& t = latest[QByteArray::fromStdString(unit)];
      t = std::max(t, TimeOf(c.get()));
    }
  }
  return latest;
}

// Makes a station's commit anew on base: its message, author and time as they were; each unit
// it changed takes its folder from it, unless another station changed that unit later.
// A message names the record it was told against by its id ("record 1a2b3c4d5e"); a record
// made anew on the server's tip has another: the message follows it.
QByteArray Renamed(QByteArray message, const QHash<QByteArray, QByteArray>& renamed) {
  for (auto r = renamed.cbegin(); r != renamed.cend(); ++r) message.replace("record " + r.key(), "record " + r.value());
  return message;
}

bool Replay(git_repository* repo, const git_commit* commit, git_oid* base, const QHash<QByteArray, git_time_t>& later,
            const QHash<QByteArray, QByteArray>& renamed) {
  const Tree tree = TreeOf(commit);
  git_commit* rawBase = nullptr;
  if (!tree || git_commit_lookup(&rawBase, repo, base) != 0) return false;
  const CommitObject baseCommit(rawBase);
  const Tree baseTree = TreeOf(rawBase);
  git_treebuilder* rawBuilder = nullptr;
  if (!baseTree || git_treebuilder_new(&rawBuilder, repo, baseTree.get()) != 0) return false;
  const TreeBuilder builder(rawBuilder);
  for (const std::string& unit : ChangedUnits(ParentTree(commit).get(), tree.get())) {
    if (later.value(QByteArray::fromStdString(unit), 0) > TimeOf(commit)) continue;
    const git_tree_entry* entry = git_tree_entry_byname(tree.get(), unit.c_str());
    const int done = entry ? git_treebuilder_insert(nullptr, rawBuilder, unit.c_str(), git_tree_entry_id(entry),
                                                    git_tree_entry_filemode(entry))
                           : git_treebuilder_remove(rawBuilder, unit.c_str());
    if (done != 0) return false;
  }
  git_oid treeId;
  git_tree* newTree = nullptr;
  if (git_treebuilder_write(&treeId, rawBuilder) != 0 || git_tree_lookup(&newTree, repo, &treeId) != 0) return false;
  const Tree owner(newTree);
  const git_commit* parents[] = {rawBase};
  const QByteArray message = Renamed(git_commit_message(commit), renamed);
  return git_commit_create(base, repo, nullptr, git_commit_author(commit), git_commit_committer(commit),
                           git_commit_message_encoding(commit), message.constData(), newTree, 1, parents) == 0;
}

// Fetches the server's branches over one connection; server: its default branch
// ("refs/heads/main"), the given one when the server has none yet.
bool Fetch(git_remote* remote, const git_fetch_options& options, const QByteArray& local, QByteArray* server) {
  *server = local;
  if (git_remote_connect(remote, GIT_DIRECTION_FETCH, &options.callbacks, nullptr, nullptr) != 0) return false;
  git_buf name = GIT_BUF_INIT;
  if (git_remote_default_branch(&name, remote) == 0) *server = QByteArray(name.ptr, static_cast<qsizetype>(name.size));
  git_buf_dispose(&name);
  const int fetched = git_remote_fetch(remote, nullptr, &options, "records: fetch");
  git_remote_disconnect(remote);
  return fetched == 0;
}

constexpr char kRemoteHead[] = "refs/remotes/origin/HEAD";

// The server's branch as this station last fetched it: the one origin/HEAD names (each sync
// points it at the server's default branch), else the one named as ours.
QByteArray TrackingBranch(git_repository* repo, const QByteArray& local) {
  git_reference* raw = nullptr;
  if (git_reference_lookup(&raw, repo, kRemoteHead) == 0) {
    const Reference head(raw);
    if (git_reference_type(raw) == GIT_REFERENCE_SYMBOLIC) return git_reference_symbolic_target(raw);
  }
  return QByteArrayLiteral("refs/remotes/") + kRemote + local.mid(int(sizeof("refs/heads")) - 1);
}

// Moves the local branch from `from` (null: unborn) to `to`, and the work tree with it where it
// still holds what `from` held.
bool MoveLocal(git_repository* repo, const QByteArray& branch, const git_oid* from, const git_oid& to) {
  git_reference* ref = nullptr;
  const int moved = from ? git_reference_create_matching(&ref, repo, branch.constData(), &to, 1, from, "records: sync")
                         : git_reference_create(&ref, repo, branch.constData(), &to, 0, "records: sync");
  git_reference_free(ref);
  if (moved != 0) return false;
  if (git_repository_is_bare(repo)) return true;
  git_commit* fromCommit = nullptr;
  git_commit* toCommit = nullptr;
  if (from) git_commit_lookup(&fromCommit, repo, from);
  const CommitObject fromOwner(fromCommit);
  if (git_commit_lookup(&toCommit, repo, &to) != 0) return true;
  const CommitObject toOwner(toCommit);
  const Tree baseline = fromCommit ? TreeOf(fromCommit) : nullptr;
  git_checkout_options options = GIT_CHECKOUT_OPTIONS_INIT;
  options.checkout_strategy = GIT_CHECKOUT_SAFE;
  options.baseline = baseline.get();
  git_checkout_tree(repo, reinterpret_cast<const git_object*>(toCommit), &options);
  return true;
}

int PushRefused(const char*, const char* status, void* session) {
  if (status) static_cast<SshSession*>(session)->updateRefused = QString::fromUtf8(status);
  return 0;
}

// What went wrong with the server: the ssh check's own words when it refused.
QString NetworkError(const SshSession& ssh, const QString& what) {
  return ssh.refusal.isEmpty() ? GitError(what) : ssh.refusal;
}

}  // namespace

QString Records::Server(QString* error) {
  *error = Open(false);
  if (!error->isEmpty()) return {};
  git_remote* raw = nullptr;
  if (git_remote_lookup(&raw, repo_, kRemote) != 0) return {};
  const Remote remote(raw);
  return QString::fromUtf8(git_remote_url(raw));
}

QString Records::SetServer(const QString& url) {
  if (url.trimmed().isEmpty()) return Tr("The records' server needs an address.");
  const QString scheme = url.trimmed().section(QStringLiteral("://"), 0, 0);
  if (url.contains(QLatin1String("://")) && scheme != QLatin1String("file") && scheme != QLatin1String("ssh"))
    return Tr("The records' server is a path, file://, ssh://user@host[:port]/path or user@host:path; %1 is none of them.")
        .arg(url.trimmed());
  if (const QString error = Open(true); !error.isEmpty()) return error;
  // A password in the address would be stored in the repository's settings: ssh keys only.
  if (url.contains(QLatin1String("://")) && !QUrl(url.trimmed()).password().isEmpty())
    return Tr("The records' server address holds a password, which would be stored in the settings; "
              "give it without one: the server is reached with ssh keys.");
  const QByteArray address = ServerAddress(url.trimmed()).toUtf8();
  git_remote* raw = nullptr;
  if (git_remote_lookup(&raw, repo_, kRemote) == 0) {
    git_remote_free(raw);
    if (git_remote_set_url(repo_, kRemote, address.constData()) == 0) return {};
  } else if (git_remote_create(&raw, repo_, kRemote, address.constData()) == 0) {
    git_remote_free(raw);
    return {};
  }
  return GitError(Tr("The records' server cannot be set"));
}

SyncOutcome Records::Sync(const std::atomic<bool>* canceled) {
  SyncOutcome outcome;
  outcome.error = Open(true);
  if (!outcome.error.isEmpty()) return outcome;
  git_remote* raw = nullptr;
  if (git_remote_lookup(&raw, repo_, kRemote) != 0) {
    outcome.error = Tr("No server is set for the records: korvane-cli records server URL");
    return outcome;
  }
  const Remote remote(raw);
  const QString address = QString::fromUtf8(git_remote_url(raw));
  // A share that is not mounted, or a path mistyped: said as such, not as libgit2's "unsupported
  // URL protocol".
  if (const QString folder = LocalFolderOf(address); !folder.isEmpty() && !QFileInfo(folder).isDir()) {
    outcome.error = Tr("The records' server %1 is not there (a share that is not mounted?)").arg(QDir::toNativeSeparators(folder));
    QString error;
    outcome.pending = Pending(&error);
    return outcome;
  }
  SshSession ssh(address, canceled);
  bool done = PushAhead(raw, ssh, outcome);
  for (int round = 0; !done && outcome.error.isEmpty() && !(canceled && *canceled); ++round) {
    if (round == kPushRounds) {
      outcome.error = Tr("The server moved on at every try; nothing is lost, the next sync sends it.");
      break;
    }
    done = SyncOnce(raw, ssh, outcome);
  }
  QString error;
  outcome.pending = Pending(&error);
  return outcome;
}

int Records::Pending(QString* error) {
  *error = Open(false);
  if (!error->isEmpty()) return 0;
  git_remote* raw = nullptr;
  if (git_remote_lookup(&raw, repo_, kRemote) != 0) return 0;
  git_remote_free(raw);
  const QByteArray local = BranchOf(repo_).toUtf8();
  git_oid ours;
  git_oid theirs;
  if (git_reference_name_to_id(&ours, repo_, local.constData()) != 0) return 0;  // nothing recorded yet
  if (git_reference_name_to_id(&theirs, repo_, TrackingBranch(repo_, local).constData()) != 0) {
    const Commits all = CommitsBetween(repo_, ours, nullptr);
    *error = all.error;
    return static_cast<int>(all.list.size());
  }
  size_t ahead = 0;
  size_t behind = 0;
  if (git_graph_ahead_behind(&ahead, &behind, repo_, &ours, &theirs) != 0) {
    *error = GitError(Tr("The records cannot be read"));
    return 0;
  }
  return static_cast<int>(ahead);
}

namespace {

enum class Pushed { Sent, MovedOn, Refused };

Pushed Push(git_remote* remote, SshSession& ssh, const QByteArray& local, const QByteArray& server) {
  const QByteArray spec = local + ':' + server;  // no "+": never a forced update
  char* specs[] = {const_cast<char*>(spec.constData())};
  const git_strarray refspecs{specs, 1};
  ssh.updateRefused.clear();
  git_push_options push = GIT_PUSH_OPTIONS_INIT;
  SetSshCallbacks(push.callbacks, &ssh);
  push.callbacks.push_update_reference = PushRefused;
  const int pushed = git_remote_push(remote, &refspecs, &push);
  if (pushed == GIT_ENONFASTFORWARD || !ssh.updateRefused.isEmpty()) return Pushed::MovedOn;
  return pushed == 0 ? Pushed::Sent : Pushed::Refused;
}

}  // namespace

bool Records::PutOnTop(const QByteArray& local, const git_oid& ours, const git_oid& theirs, SyncOutcome& outcome,
                       git_oid* tip) {
  const Commits received = CommitsBetween(repo_, theirs, &ours);
  const Commits mine = CommitsBetween(repo_, ours, &theirs);
  if (!received.error.isEmpty() || !mine.error.isEmpty()) {
    outcome.error = received.error + mine.error;
    return false;
  }
  *tip = theirs;
  const QHash<QByteArray, git_time_t> later = LatestChanges(received.list);
  QHash<QByteArray, QByteArray> renamed;
  for (const CommitObject& c : mine.list) {
    if (!Replay(repo_, c.get(), tip, later, renamed)) {
      outcome.error = GitError(Tr("The records cannot be put on top of the server's"));
      return false;
    }
    renamed.insert(Hex(*git_commit_id(c.get())).left(kShortRecordId).toLatin1(), Hex(*tip).left(kShortRecordId).toLatin1());
  }
  if (!MoveLocal(repo_, local, &ours, *tip)) {
    outcome.error = GitError(Tr("The records cannot be brought up to date"));
    return false;
  }
  outcome.received += static_cast<int>(received.list.size());
  return true;
}

bool Records::PushAhead(git_remote* remote, SshSession& ssh, SyncOutcome& outcome) {
  const QByteArray local = BranchOf(repo_).toUtf8();
  git_reference* raw = nullptr;
  if (git_reference_lookup(&raw, repo_, kRemoteHead) != 0) return false;  // never fetched
  const Reference head(raw);
  const QByteArray tracking = git_reference_symbolic_target(raw) ? git_reference_symbolic_target(raw) : "";
  const QByteArray prefix = QByteArrayLiteral("refs/remotes/") + kRemote + '/';
  git_oid ours;
  git_oid theirs;
  if (!tracking.startsWith(prefix) || git_reference_name_to_id(&ours, repo_, local.constData()) != 0 ||
      git_reference_name_to_id(&theirs, repo_, tracking.constData()) != 0 || git_oid_cmp(&ours, &theirs) == 0 ||
      git_graph_descendant_of(repo_, &ours, &theirs) != 1)
    return false;
  const int sending = static_cast<int>(CommitsBetween(repo_, ours, &theirs).list.size());
  switch (Push(remote, ssh, local, QByteArrayLiteral("refs/heads/") + tracking.mid(prefix.size()))) {
    case Pushed::Sent: outcome.sent += sending; return true;
    case Pushed::MovedOn: return false;
    case Pushed::Refused: break;
  }
  outcome.error = NetworkError(ssh, Tr("The records' server refused them; nothing is lost, the next sync sends them"));
  return true;
}

bool Records::SyncOnce(git_remote* remote, SshSession& ssh, SyncOutcome& outcome) {
  // The network is reached without the records' lock: other programs commit meanwhile.
  const QByteArray local = BranchOf(repo_).toUtf8();
  git_fetch_options fetch = GIT_FETCH_OPTIONS_INIT;
  SetSshCallbacks(fetch.callbacks, &ssh);
  QByteArray server;
  if (!Fetch(remote, fetch, local, &server)) {
    outcome.error = NetworkError(ssh, Tr("The records' server cannot be reached"));
    return false;
  }
  const QByteArray tracking = QByteArrayLiteral("refs/remotes/") + kRemote + server.mid(int(sizeof("refs/heads")) - 1);
  git_oid theirs;
  const bool haveTheirs = git_reference_name_to_id(&theirs, repo_, tracking.constData()) == 0;
  git_oid tip;
  {
    QLockFile lock(LockPath(repo_));
    if (!LockRecords(lock, kRecordsLockWaitMs)) {
      outcome.error = Tr("The records are being written by another program; %1 is still held.").arg(LockPath(repo_));
      return false;
    }
    git_reference* head = nullptr;  // what Pending counts against
    git_reference_symbolic_create(&head, repo_, kRemoteHead, tracking.constData(), 1, "records: server's branch");
    git_reference_free(head);
    git_oid ours;
    if (git_reference_name_to_id(&ours, repo_, local.constData()) != 0) {  // nothing recorded here yet
      if (!haveTheirs) return true;
      if (!MoveLocal(repo_, local, nullptr, theirs)) outcome.error = GitError(Tr("The records cannot be brought up to date"));
      outcome.received += static_cast<int>(CommitsBetween(repo_, theirs, nullptr).list.size());
      return true;
    }
    tip = ours;
    const bool behind = haveTheirs && git_oid_cmp(&ours, &theirs) != 0 && git_graph_descendant_of(repo_, &ours, &theirs) != 1;
    if (behind && !PutOnTop(local, ours, theirs, outcome, &tip)) return false;
    if (haveTheirs && git_oid_cmp(&tip, &theirs) == 0) return true;
  }
  const int sending = static_cast<int>(CommitsBetween(repo_, tip, haveTheirs ? &theirs : nullptr).list.size());
  switch (Push(remote, ssh, local, server)) {
    case Pushed::Sent: outcome.sent += sending; return true;
    case Pushed::MovedOn: return false;  // the next round fetches again
    case Pushed::Refused: break;
  }
  outcome.error = NetworkError(ssh, Tr("The records' server refused them; nothing is lost, the next sync sends them"));
  return false;
}

}  // namespace kvn

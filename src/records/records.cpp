#include "records/records.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>
#include <git2.h>
#include <git2/sys/commit.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "records/git_handles.h"
#include "records/index_patch.h"
#include "texts/atomic_file.h"
#include "texts/guarded_file.h"
#include "texts/tr_context.h"

namespace kvn {

using namespace records_git;

namespace {

KVN_TR_CONTEXT(kvn::Records)

const QString kRecordsFolder = QStringLiteral("records");
constexpr qint64 kUnitFileCap = 1024 * 1024;  // settings.txt is some 10 KB


const std::array<const char*, 3> kFileNames{kSettingsFile, kSettingsTextFile, kIdentityFile};

std::array<const QByteArray*, 3> FilesOf(const UnitFiles& f) { return {&f.settings, &f.text, &f.identity}; }

// Who the commit is by: the Git identity git itself would use, else the login at this host.
struct Person {
  QString name;
  QString email;
};

QString ConfigText(git_config* config, const char* key) {
  git_buf value = GIT_BUF_INIT;
  if (git_config_get_string_buf(&value, config, key) != 0) return {};
  const QString text = QString::fromUtf8(value.ptr, static_cast<qsizetype>(value.size)).trimmed();
  git_buf_dispose(&value);
  return text;
}

QString LoginName() {
  QString login = qEnvironmentVariable("USER");
  if (login.isEmpty()) login = qEnvironmentVariable("USERNAME");
  if (login.isEmpty()) login = QDir::home().dirName();
  return login.isEmpty() ? QStringLiteral("unknown") : login;
}

Person Author(git_repository* repo) {
  Person p;
  git_config* raw = nullptr;
  if (git_repository_config_snapshot(&raw, repo) == 0) {
    const Config config(raw);
    p.name = ConfigText(config.get(), "user.name");
    p.email = ConfigText(config.get(), "user.email");
  }
  if (p.name.isEmpty()) p.name = LoginName();
  if (p.email.isEmpty()) p.email = LoginName() + QLatin1Char('@') + QSysInfo::machineHostName();
  return p;
}

// The program and the station, the last lines of every message, and the unit it belongs to:
// `git log --grep "^Unit: X$"` finds a unit's commits, its empty ones too.
QString Trailers(const QString& unit, const QStringList& notes) {
  const QString program = QCoreApplication::applicationName().isEmpty() ? QStringLiteral("korvane")
                                                                          : QCoreApplication::applicationName();
  QString lines;
  for (const QString& note : notes) lines += note + QLatin1Char('\n');
  return lines + QStringLiteral("Unit: ") + unit + QStringLiteral("\nStation: ") + QSysInfo::machineHostName() +
         QStringLiteral("\nProgram: ") + program + QLatin1Char(' ') + QStringLiteral(KVN_VERSION) + QLatin1Char('\n');
}

// The message's own "Unit:" line is among its last: a device's text above it (a tag that holds
// a line break) cannot name another unit.
QString UnitOf(const QString& message) {
  const QStringList lines = message.split(QLatin1Char('\n'));
  for (auto line = lines.crbegin(); line != lines.crend(); ++line)
    if (line->startsWith(QLatin1String("Unit: "))) return line->mid(6);
  return {};
}


// git's own lock files that a program which died left behind, the branch's and the index's: a
// lock older than kStaleLockMs is removed, and the commit's message tells it.
QStringList RemoveStaleLocks(git_repository* repo, const QByteArray& branch) {
  const QDir gitDir(QFile::decodeName(git_repository_path(repo)));
  QStringList notes;
  for (const QString& name : {QString::fromUtf8(branch) + QStringLiteral(".lock"), QStringLiteral("index.lock")}) {
    const QFileInfo lock(gitDir.filePath(name));
    if (!lock.isFile() || lock.lastModified().msecsTo(QDateTime::currentDateTime()) < kStaleLockMs) continue;
    if (QFile::remove(lock.filePath()))
      notes << QStringLiteral("Removed a lock left behind: %1 (%2)").arg(name, lock.lastModified().toString(Qt::ISODate));
  }
  return notes;
}

}  // namespace

// One commit to make: the unit, its new files (none: as they are) and its message.
struct Records::Commit {
  QString unit;
  QString serial;
  const UnitFiles* files = nullptr;
  QString message;  // empty for an observation: chosen by what the last record holds
  QDateTime time;
};

Records::Records(QString workDirectory) : path_(PathIn(workDirectory)) { git_libgit2_init(); }

Records::~Records() {
  git_repository_free(repo_);
  git_libgit2_shutdown();
}

QString Records::PathIn(const QString& workDirectory) {
  return workDirectory + QLatin1Char('/') + kRecordsFolder;
}

QString Records::Open(bool create) {
  if (repo_) return {};
  const QByteArray path = QFile::encodeName(path_);
  // Two programs that start the records at the same moment: one creates them, the other finds
  // them being created and opens them once they are.
  const QDeadlineTimer deadline(kRecordsLockWaitMs);
  for (;;) {
    const int opened = git_repository_open_ext(&repo_, path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr);
    if (opened == 0) return {};
    repo_ = nullptr;
    if (opened == GIT_ENOTFOUND && !create) return Tr("There are no records yet in %1.").arg(QDir::toNativeSeparators(path_));
    if (opened == GIT_ENOTFOUND && git_repository_init(&repo_, path.constData(), 0) == 0) return {};
    repo_ = nullptr;
    // Only records that another program is creating are waited for.
    const bool beingCreated = QFileInfo(path_ + QStringLiteral("/.git")).isDir();
    if (!beingCreated || deadline.hasExpired())
      return GitError((opened == GIT_ENOTFOUND ? Tr("The records %1 cannot be created") : Tr("The records %1 cannot be opened"))
                          .arg(QDir::toNativeSeparators(path_)));
    QThread::msleep(kRetryPauseMs);
  }
}

RecordOutcome Records::Observe(const QString& unit, const QString& serial, const UnitFiles& files,
                               const QDateTime& time) {
  return Write({unit, serial, &files, {}, time});
}

RecordOutcome Records::Outcome(const QString& unit, const UnitFiles* files, const QString& message,
                               const QDateTime& time) {
  return Write({unit, {}, files, message, time});
}

namespace {

// The tip of the branch; a null commit on a branch not yet born.
struct Tip {
  bool ok = false;
  git_oid id{};
  CommitObject commit;
  Tree tree;
};

Tip TipOf(git_repository* repo, const QByteArray& branch) {
  Tip tip;
  const int found = git_reference_name_to_id(&tip.id, repo, branch.constData());
  if (found == GIT_ENOTFOUND) {
    tip.ok = true;
    return tip;
  }
  git_commit* commit = nullptr;
  git_tree* tree = nullptr;
  if (found != 0 || git_commit_lookup(&commit, repo, &tip.id) != 0) return tip;
  tip.commit.reset(commit);
  if (git_commit_tree(&tree, commit) != 0) return tip;
  tip.tree.reset(tree);
  tip.ok = true;
  return tip;
}

// The unit's folder in a tree; null when it has none.
Tree UnitTree(git_repository* repo, git_tree* root, const QByteArray& unit) {
  if (!root) return nullptr;
  const git_tree_entry* entry = git_tree_entry_byname(root, unit.constData());
  git_tree* tree = nullptr;
  if (!entry || git_tree_entry_type(entry) != GIT_OBJECT_TREE || git_tree_lookup(&tree, repo, git_tree_entry_id(entry)) != 0)
    return nullptr;
  return Tree(tree);
}

bool SameFile(git_tree* unitTree, const std::array<git_oid, 3>& blobs, size_t i) {
  const git_tree_entry* entry = unitTree ? git_tree_entry_byname(unitTree, kFileNames[i]) : nullptr;
  return entry && git_oid_cmp(git_tree_entry_id(entry), &blobs[i]) == 0;
}

bool SameFiles(git_tree* unitTree, const std::array<git_oid, 3>& blobs) {
  for (size_t i = 0; i < blobs.size(); ++i)
    if (!SameFile(unitTree, blobs, i)) return false;
  return true;
}

// The set unchanged and only the identity new: a firmware update, or a unit whose identity
// the records did not know yet (a set imported from a backup file).
bool OnlyIdentityDiffers(git_tree* unitTree, const std::array<git_oid, 3>& blobs) {
  return SameFile(unitTree, blobs, 0) && SameFile(unitTree, blobs, 1) && !SameFile(unitTree, blobs, 2);
}

// Git's order of a tree's entries: by name, a folder's name as if it ended in "/".
bool EntryBefore(const char* a, size_t aLength, bool aFolder, const char* b, size_t bLength, bool bFolder) {
  const int c = std::memcmp(a, b, std::min(aLength, bLength));
  if (c != 0) return c < 0;
  const char aNext = aLength > bLength ? a[bLength] : aFolder ? '/' : '\0';
  const char bNext = bLength > aLength ? b[aLength] : bFolder ? '/' : '\0';
  return static_cast<unsigned char>(aNext) < static_cast<unsigned char>(bNext);
}

// The root tree with the unit's folder set to unitId, written as git stores a tree ("<mode>
// <name>\0<id>" in order) straight from the old root's entries: a tree builder would copy each
// of a plant's 2,000 into a map of its own and sort them again.
bool WriteRoot(git_repository* repo, git_tree* root, const QByteArray& unit, const git_oid& unitId, git_oid* out) {
  QByteArray raw;
  const auto put = [&raw](quint32 mode, const char* name, size_t length, const git_oid* id) {
    raw += QByteArray::number(mode, 8);
    raw += ' ';
    raw.append(name, static_cast<qsizetype>(length));
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(id->id), GIT_OID_RAWSZ);
  };
  const size_t count = root ? git_tree_entrycount(root) : 0;
  raw.reserve(static_cast<qsizetype>(count + 1) * (unit.size() + 30));
  bool placed = false;
  for (size_t i = 0; i < count; ++i) {
    const git_tree_entry* e = git_tree_entry_byindex(root, i);
    const char* name = git_tree_entry_name(e);
    const size_t length = std::strlen(name);
    const bool folder = git_tree_entry_type(e) == GIT_OBJECT_TREE;
    if (!placed && !EntryBefore(name, length, folder, unit.constData(), static_cast<size_t>(unit.size()), true)) {
      put(GIT_FILEMODE_TREE, unit.constData(), static_cast<size_t>(unit.size()), &unitId);
      placed = true;
    }
    if (unit == name) continue;  // the unit's old folder
    put(git_tree_entry_filemode_raw(e), name, length, git_tree_entry_id(e));
  }
  if (!placed) put(GIT_FILEMODE_TREE, unit.constData(), static_cast<size_t>(unit.size()), &unitId);
  git_odb* odb = nullptr;
  if (git_repository_odb(&odb, repo) != 0) return false;
  const int written = git_odb_write(out, odb, raw.constData(), static_cast<size_t>(raw.size()), GIT_OBJECT_TREE);
  git_odb_free(odb);
  return written == 0;
}

// The root tree with the unit's folder holding the blobs; the tip's own tree when blobs is null.
bool BuildTree(git_repository* repo, git_tree* root, git_tree* unitTree, const QByteArray& unit,
               const std::array<git_oid, 3>* blobs, git_oid* out) {
  if (!blobs) {
    if (root) {
      git_oid_cpy(out, git_tree_id(root));
      return true;
    }
    git_treebuilder* empty = nullptr;
    if (git_treebuilder_new(&empty, repo, nullptr) != 0) return false;
    return git_treebuilder_write(out, TreeBuilder(empty).get()) == 0;
  }
  git_treebuilder* rawUnit = nullptr;
  if (git_treebuilder_new(&rawUnit, repo, unitTree) != 0) return false;
  const TreeBuilder unitBuilder(rawUnit);
  for (size_t i = 0; i < blobs->size(); ++i)
    if (git_treebuilder_insert(nullptr, unitBuilder.get(), kFileNames[i], &(*blobs)[i], GIT_FILEMODE_BLOB) != 0)
      return false;
  git_oid unitId;
  if (git_treebuilder_write(&unitId, unitBuilder.get()) != 0) return false;
  return WriteRoot(repo, root, unit, unitId, out);
}

Signature SignatureAt(const Person& person, const QDateTime& time) {
  git_signature* raw = nullptr;
  const QDateTime t = time.isValid() ? time : QDateTime::currentDateTime();
  if (git_signature_new(&raw, person.name.toUtf8().constData(), person.email.toUtf8().constData(),
                        t.toSecsSinceEpoch(), t.offsetFromUtc() / 60) != 0)
    return nullptr;
  return Signature(raw);
}

// Moves the branch from the tip the commit was made on to the commit; someone else holding
// the branch's lock is waited for. False with the reason when the branch moved on meanwhile
// (the caller makes the commit anew) or stayed locked.
int MoveBranch(git_repository* repo, const QByteArray& branch, const Tip& tip, const git_oid& id,
               const QByteArray& note, const QDeadlineTimer& deadline) {
  for (;;) {
    git_reference* ref = nullptr;
    const int moved = tip.commit ? git_reference_create_matching(&ref, repo, branch.constData(), &id, 1, &tip.id,
                                                                 note.constData())
                                 : git_reference_create(&ref, repo, branch.constData(), &id, 0, note.constData());
    git_reference_free(ref);
    if (moved != GIT_ELOCKED || deadline.hasExpired()) return moved;
    QThread::msleep(kRetryPauseMs);
  }
}

}  // namespace

namespace {

RecordOutcome Failed(const QString& error) {
  RecordOutcome outcome;
  outcome.error = error;
  return outcome;
}

bool WriteBlobs(git_repository* repo, const UnitFiles& files, std::array<git_oid, 3>& blobs) {
  const std::array<const QByteArray*, 3> bytes = FilesOf(files);
  for (size_t i = 0; i < blobs.size(); ++i)
    if (git_blob_create_from_buffer(&blobs[i], repo, bytes[i]->constData(), static_cast<size_t>(bytes[i]->size())) != 0)
      return false;
  return true;
}

// What a commit is made of besides the branch's tip.
struct Change {
  QByteArray unit;
  const std::array<git_oid, 3>* blobs;  // nullptr: the unit's files stay as they are
  QString message;                      // with its trailers
  const git_signature* signature;
};

// The commit on tip: the tip's tree with the unit's folder holding the blobs.
bool MakeCommit(git_repository* repo, const Tip& tip, git_tree* unitTree, const Change& change, git_oid* id) {
  git_oid treeId;
  if (!BuildTree(repo, tip.tree.get(), unitTree, change.unit, change.blobs, &treeId)) return false;
  // By ids: the new root is not read back and parsed again.
  const git_oid* parents[] = {&tip.id};
  const QByteArray text = change.message.toUtf8();
  return git_commit_create_from_ids(id, repo, nullptr, change.signature, change.signature, nullptr, text.constData(), &treeId,
                                    tip.commit ? 1 : 0, parents) == 0;
}

}  // namespace

QString Records::MessageOf(const Commit& c, Observed observed, const QStringList& notes) const {
  QString message = c.message;
  if (message.isEmpty()) {
    switch (observed) {
      case Observed::First: message = Tr("%1: first record").arg(c.serial); break;
      case Observed::Changed: message = Tr("%1: found changed since the last record").arg(c.serial); break;
      case Observed::Identity: message = Tr("%1: identity found changed since the last record (type, firmware or tag)").arg(c.serial); break;
    }
  }
  if (!message.endsWith(QLatin1Char('\n'))) message += QLatin1Char('\n');
  // A terminal that shows `git log` is never driven by a device's text in it.
  return WithoutControls(message, LineBreaks::Kept) + QLatin1Char('\n') + Trailers(c.unit, notes);
}

RecordOutcome Records::Write(const Commit& c) {
  if (const QString error = Open(true); !error.isEmpty()) return Failed(error);
  QLockFile lock(LockPath(repo_));
  if (!LockRecords(lock, kRecordsLockWaitMs))
    return Failed(Tr("The records are being written by another program; %1 is still held.")
                      .arg(QDir::toNativeSeparators(LockPath(repo_))));
  std::array<git_oid, 3> blobs{};
  if (c.files && !WriteBlobs(repo_, *c.files, blobs)) return Failed(GitError(Tr("The records cannot be written")));
  const Signature signature = SignatureAt(Author(repo_), c.time);
  if (!signature) return Failed(GitError(Tr("The records cannot be signed")));
  const RecordOutcome outcome = CommitOnBranch(c, c.files ? &blobs : nullptr, signature.get());
  if (outcome.committed && c.files) CheckOut(c.unit, *c.files, blobs);
  return outcome;
}

RecordOutcome Records::CommitOnBranch(const Commit& c, const std::array<git_oid, 3>* blobs, const git_signature* signature) {
  const QByteArray branch = BranchOf(repo_).toUtf8();
  const QByteArray unit = c.unit.toUtf8();
  const QDeadlineTimer deadline(kRecordsLockWaitMs);
  const QStringList notes = RemoveStaleLocks(repo_, branch);
  for (;;) {
    const Tip tip = TipOf(repo_, branch);
    if (!tip.ok) return Failed(GitError(Tr("The records' last commit cannot be read")));
    const Tree unitTree = UnitTree(repo_, tip.tree.get(), unit);
    // An observation that found the unit as last recorded has nothing to record.
    // The tip then holds the unit's set: it names the record.
    if (c.message.isEmpty() && SameFiles(unitTree.get(), *blobs)) return {false, Hex(tip.id), {}};
    const Observed observed = !unitTree                                         ? Observed::First
                              : blobs && OnlyIdentityDiffers(unitTree.get(), *blobs) ? Observed::Identity
                                                                                    : Observed::Changed;
    const Change change{unit, blobs, MessageOf(c, observed, notes), signature};
    git_oid id;
    if (!MakeCommit(repo_, tip, unitTree.get(), change, &id)) return Failed(GitError(Tr("The records cannot be written")));
    const QByteArray note = QByteArrayLiteral("commit: ") + change.message.section(QLatin1Char('\n'), 0, 0).toUtf8();
    const int moved = MoveBranch(repo_, branch, tip, id, note, deadline);
    if (moved == 0) return {true, Hex(id), {}};
    // Another writer (git itself) moved the branch on: the commit is made anew on its tip.
    if ((moved != GIT_EMODIFIED && moved != GIT_EEXISTS) || deadline.hasExpired())
      return Failed(GitError(Tr("The records' branch cannot be moved on")));
  }
}

namespace {

// The root tree with one file of the unit's folder replaced or added.
bool TreeWithFile(git_repository* repo, git_tree* root, git_tree* unitTree, const QByteArray& unit, const char* name,
                  const git_oid& blob, git_oid* out) {
  git_treebuilder* rawUnit = nullptr;
  if (git_treebuilder_new(&rawUnit, repo, unitTree) != 0) return false;
  const TreeBuilder unitBuilder(rawUnit);
  git_oid unitId;
  if (git_treebuilder_insert(nullptr, rawUnit, name, &blob, GIT_FILEMODE_BLOB) != 0 ||
      git_treebuilder_write(&unitId, rawUnit) != 0)
    return false;
  git_treebuilder* rawRoot = nullptr;
  if (git_treebuilder_new(&rawRoot, repo, root) != 0) return false;
  const TreeBuilder rootBuilder(rawRoot);
  return git_treebuilder_insert(nullptr, rawRoot, unit.constData(), &unitId, GIT_FILEMODE_TREE) == 0 &&
         git_treebuilder_write(out, rawRoot) == 0;
}

}  // namespace

RecordOutcome Records::Attach(const QString& unit, const char* name, const QByteArray& bytes, const QString& message,
                              const QDateTime& time) {
  if (const QString error = Open(true); !error.isEmpty()) return Failed(error);
  QLockFile lock(LockPath(repo_));
  if (!LockRecords(lock, kRecordsLockWaitMs))
    return Failed(Tr("The records are being written by another program; %1 is still held.")
                      .arg(QDir::toNativeSeparators(LockPath(repo_))));
  git_oid blob;
  if (git_blob_create_from_buffer(&blob, repo_, bytes.constData(), static_cast<size_t>(bytes.size())) != 0)
    return Failed(GitError(Tr("The records cannot be written")));
  const Signature signature = SignatureAt(Author(repo_), time);
  if (!signature) return Failed(GitError(Tr("The records cannot be signed")));
  const QByteArray branch = BranchOf(repo_).toUtf8();
  const QByteArray folder = unit.toUtf8();
  const QDeadlineTimer deadline(kRecordsLockWaitMs);
  for (;;) {
    const Tip tip = TipOf(repo_, branch);
    if (!tip.ok) return Failed(GitError(Tr("The records' last commit cannot be read")));
    const Tree unitTree = UnitTree(repo_, tip.tree.get(), folder);
    const git_tree_entry* held = unitTree ? git_tree_entry_byname(unitTree.get(), name) : nullptr;
    if (held && git_oid_cmp(git_tree_entry_id(held), &blob) == 0) return {false, Hex(tip.id), {}};
    git_oid treeId;
    git_tree* rawTree = nullptr;
    if (!TreeWithFile(repo_, tip.tree.get(), unitTree.get(), folder, name, blob, &treeId) ||
        git_tree_lookup(&rawTree, repo_, &treeId) != 0)
      return Failed(GitError(Tr("The records cannot be written")));
    const Tree tree(rawTree);
    const git_commit* parents[] = {tip.commit.get()};
    const QByteArray text = (WithoutControls(message, LineBreaks::Kept) + QStringLiteral("\n\n") + Trailers(unit, {})).toUtf8();
    git_oid id;
    if (git_commit_create(&id, repo_, nullptr, signature.get(), signature.get(), nullptr, text.constData(), rawTree,
                          tip.commit ? 1 : 0, parents) != 0)
      return Failed(GitError(Tr("The records cannot be written")));
    const int moved = MoveBranch(repo_, branch, tip, id, QByteArrayLiteral("commit: ") + text.left(text.indexOf('\n')), deadline);
    if (moved == 0) {
      CheckOutFile(unit, QString::fromLatin1(name), bytes);
      return {true, Hex(id), {}};
    }
    if ((moved != GIT_EMODIFIED && moved != GIT_EEXISTS) || deadline.hasExpired())
      return Failed(GitError(Tr("The records' branch cannot be moved on")));
  }
}

void Records::CheckOutFile(const QString& unit, const QString& name, const QByteArray& bytes) {
  const char* workTree = git_repository_workdir(repo_);
  if (!workTree) return;
  const QDir folder(QFile::decodeName(workTree) + unit);
  QString error;
  if (!folder.mkpath(QStringLiteral(".")) || !WriteFileAtomically(folder.filePath(name), bytes, &error)) return;
  git_index* raw = nullptr;
  if (git_repository_index(&raw, repo_) != 0) return;
  const Index index(raw);
  git_index_read(raw, 1);
  git_index_add_bypath(raw, (unit + QLatin1Char('/') + name).toUtf8().constData());
  git_index_write(raw);
}

void Records::CheckOut(const QString& unit, const UnitFiles& files, const std::array<git_oid, 3>& blobs) {
  const char* workTree = git_repository_workdir(repo_);
  if (!workTree) return;  // a bare repository has none
  const QDir folder(QFile::decodeName(workTree) + unit);
  if (!folder.mkpath(QStringLiteral("."))) return;
  const std::array<const QByteArray*, 3> bytes = FilesOf(files);
  std::vector<IndexedFile> indexed;
  for (size_t i = 0; i < bytes.size(); ++i) {
    QString error;
    const QString name = QString::fromLatin1(kFileNames[i]);
    // Each write is made durable: a file that already holds its bytes costs none.
    const FileRead held = ReadGuardedFile(folder.filePath(name), kUnitFileCap);
    if (!(held.Ok() && held.bytes == *bytes[i]) && !WriteFileAtomically(folder.filePath(name), *bytes[i], &error)) return;
    indexed.push_back({(unit + QLatin1Char('/') + name).toUtf8(), folder.filePath(name), blobs[i]});
  }
  // The unit's entries only; an index of another kind (or none yet) goes through libgit2.
  const QString indexPath = QFile::decodeName(git_repository_path(repo_)) + QStringLiteral("index");
  if (PatchIndex(indexPath, indexed)) return;
  git_index* raw = nullptr;
  if (git_repository_index(&raw, repo_) != 0) return;
  const Index index(raw);
  git_index_read(raw, 0);  // again only when another writer changed it since
  for (const IndexedFile& f : indexed) git_index_add_bypath(raw, f.path.constData());
  git_index_write(raw);
}

std::vector<RecordEntry> Records::Log(const QString& unit, QString* error) {
  std::vector<RecordEntry> entries;
  *error = Open(false);
  if (!error->isEmpty()) return entries;
  git_revwalk* raw = nullptr;
  if (git_revwalk_new(&raw, repo_) != 0) {
    *error = GitError(Tr("The records cannot be read"));
    return entries;
  }
  const RevWalk walk(raw);
  git_revwalk_sorting(raw, GIT_SORT_TOPOLOGICAL | GIT_SORT_TIME);
  if (git_revwalk_push_head(raw) != 0) return entries;  // no commit yet
  git_oid id;
  while (git_revwalk_next(&id, raw) == 0) {
    git_commit* rawCommit = nullptr;
    if (git_commit_lookup(&rawCommit, repo_, &id) != 0) continue;
    const CommitObject commit(rawCommit);
    RecordEntry e;
    e.message = QString::fromUtf8(git_commit_message(rawCommit));
    e.unit = UnitOf(e.message);
    if (!unit.isEmpty() && e.unit != unit) continue;
    e.commit = Hex(id);
    const git_signature* author = git_commit_author(rawCommit);
    e.author = QString::fromUtf8(author->name);
    e.email = QString::fromUtf8(author->email);
    e.time = QDateTime::fromSecsSinceEpoch(author->when.time, Qt::OffsetFromUTC, author->when.offset * 60);
    e.summary = e.message.section(QLatin1Char('\n'), 0, 0);
    entries.push_back(std::move(e));
  }
  return entries;
}

std::optional<QByteArray> Records::FileAt(const QString& unit, const char* file, const QString& revision,
                                          QString* error) {
  *error = Open(false);
  if (!error->isEmpty()) return std::nullopt;
  const QString spec = revision + QLatin1Char(':') + unit + QLatin1Char('/') + QString::fromLatin1(file);
  git_object* raw = nullptr;
  if (git_revparse_single(&raw, repo_, spec.toUtf8().constData()) != 0) {
    *error = GitError(Tr("No record %1 of %2").arg(revision, unit));
    return std::nullopt;
  }
  const Object object(raw);
  if (git_object_type(raw) != GIT_OBJECT_BLOB) {
    *error = Tr("No record %1 of %2").arg(revision, unit);
    return std::nullopt;
  }
  const auto* blob = reinterpret_cast<git_blob*>(raw);
  return QByteArray(static_cast<const char*>(git_blob_rawcontent(blob)), static_cast<qsizetype>(git_blob_rawsize(blob)));
}

}  // namespace kvn

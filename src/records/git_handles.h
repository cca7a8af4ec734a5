#pragma once
// Owners of libgit2's objects, for the records' own files only.
#include <QLockFile>
#include <QString>
#include <git2.h>

#include <memory>

namespace kvn::records_git {

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Free>>;
using Tree = Owned<git_tree, git_tree_free>;
using CommitObject = Owned<git_commit, git_commit_free>;
using Reference = Owned<git_reference, git_reference_free>;
using Signature = Owned<git_signature, git_signature_free>;
using TreeBuilder = Owned<git_treebuilder, git_treebuilder_free>;
using TreeEntry = Owned<git_tree_entry, git_tree_entry_free>;
using Config = Owned<git_config, git_config_free>;
using Index = Owned<git_index, git_index_free>;
using Object = Owned<git_object, git_object_free>;
using RevWalk = Owned<git_revwalk, git_revwalk_free>;
using Remote = Owned<git_remote, git_remote_free>;

// libgit2's last error after what failed: "what: reason".
QString GitError(const QString& what);
// An object id as 40 hex digits.
QString Hex(const git_oid& id);

// The branch a commit goes to: the one HEAD names (born or not), or HEAD itself when detached.
QString BranchOf(git_repository* repo);
// The program's own lock of a repository: its writers take turns through it.
QString LockPath(git_repository* repo);
// Takes it, retried often (a commit holds it for milliseconds); a lock whose process died is
// taken over.
bool LockRecords(QLockFile& lock, int waitMs);
// A lock file older than this is no writer's any more: git and the program hold theirs for
// milliseconds.
inline constexpr int kStaleLockMs = 30000;
// How long the retries pause.
inline constexpr int kRetryPauseMs = 5;

}  // namespace kvn::records_git

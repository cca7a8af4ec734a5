#pragma once
// The records' index kept in step with a commit at the cost of the unit's entries, not the
// plant's: libgit2 reads every entry into memory and writes them all back (6,000 in a plant of
// 2,000 units), where the unit's three entries are all that change.
#include <QByteArray>
#include <QString>
#include <git2.h>

#include <vector>

namespace kvn::records_git {

// A file of the work tree as the index is to hold it: its path in the repository and the blob
// it was committed as. Its stat data is read from the file.
struct IndexedFile {
  QByteArray path;  // "unit/settings.kvn"
  QString file;     // in the work tree
  git_oid blob;
};

// Sets (or adds) the files' entries of the index at indexPath, every other entry byte for byte
// as it was; the optional extensions, whose contents such a change makes stale (the cached
// trees), are left out, git makes them anew. Written under git's own index.lock. False, with
// nothing changed, for an index this does not handle (version 4, a mandatory extension, a
// damaged file, a lock held): the caller updates it through libgit2 instead.
bool PatchIndex(const QString& indexPath, std::vector<IndexedFile> files);

}  // namespace kvn::records_git

#include "operations/records_server_choice.h"

#include <QDir>
#include <QFile>
#include <git2.h>

#include "records/records.h"
#include "texts/tr_context.h"

namespace kvn {
namespace {

KVN_TR_CONTEXT(kvn::RecordsServerChoice)

// The server is the repository's remote "origin"; without records there is none to remove.
QString RemoveServer(const QString& workDirectory) {
  const QString path = Records::PathIn(workDirectory);
  git_libgit2_init();
  git_repository* repo = nullptr;
  QString error;
  const int opened = git_repository_open_ext(&repo, QFile::encodeName(path).constData(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr);
  if (opened == 0) {
    const int removed = git_remote_delete(repo, "origin");
    if (removed != 0 && removed != GIT_ENOTFOUND) {
      const git_error* e = git_error_last();
      error = Tr("The records' server cannot be removed from %1: %2")
                  .arg(QDir::toNativeSeparators(path), e ? QString::fromUtf8(e->message) : QString());
    }
  }
  git_repository_free(repo);
  git_libgit2_shutdown();
  return error;
}

}  // namespace

QString ChooseRecordsServer(const QString& workDirectory, const QString& address) {
  if (address.trimmed().isEmpty()) return RemoveServer(workDirectory);
  Records records(workDirectory);
  return records.SetServer(address);
}

}  // namespace kvn

#include "texts/atomic_file.h"

#include <QSaveFile>

namespace kvn {
namespace {

// Unbuffered, so that a short write (disk full part-way) is seen here: through the buffer the
// short write is lost and the truncated file would be committed as if complete.
bool WriteAll(QSaveFile& file, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && WriteAll(file, bytes) &&
      file.commit())
    return true;
  // Without a commit the temporary file is dropped and the old file stays as it was.
  if (error) *error = file.errorString();
  return false;
}

}  // namespace kvn

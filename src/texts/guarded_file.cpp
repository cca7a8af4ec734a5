#include "texts/guarded_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kvn {

namespace {

using Outcome = FileRead::Outcome;

FileRead Refused(Outcome outcome, QString error) {
  FileRead read;
  read.outcome = outcome;
  read.error = std::move(error);
  return read;
}

QString NotRegularText() {
  return QCoreApplication::translate("kvn::GuardedFile", "Not a regular file");
}

#ifdef Q_OS_UNIX

FileRead RefuseUnlessRegular(const struct stat& info, qint64 maxBytes) {
  if (S_ISDIR(info.st_mode)) return Refused(Outcome::NotRegular, qt_error_string(EISDIR));
  if (!S_ISREG(info.st_mode)) return Refused(Outcome::NotRegular, NotRegularText());
  if (info.st_size > maxBytes) return Refused(Outcome::TooLarge, qt_error_string(EFBIG));
  return FileRead{Outcome::Read, {}, {}};
}

// Reads at most maxBytes + 1 bytes, so a file that grew after the size check is still caught
// without reading it whole.
FileRead ReadOpenFile(int fd, qint64 expectedSize, qint64 maxBytes) {
  FileRead read{Outcome::Read, {}, {}};
  read.bytes.resize(std::min(expectedSize, maxBytes) + 1);
  qint64 done = 0;
  for (;;) {
    if (done == read.bytes.size()) {
      if (done > maxBytes) return Refused(Outcome::TooLarge, qt_error_string(EFBIG));
      read.bytes.resize(std::min<qint64>(done * 2, maxBytes + 1));
    }
    const ssize_t got = ::read(fd, read.bytes.data() + done, size_t(read.bytes.size() - done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Refused(Outcome::Failed, qt_error_string(errno));
    if (got == 0) break;
    done += got;
  }
  if (done > maxBytes) return Refused(Outcome::TooLarge, qt_error_string(EFBIG));
  read.bytes.truncate(done);
  return read;
}

FileRead ReadChecked(const QString& path, qint64 maxBytes) {
  const QByteArray native = QFile::encodeName(path);
  struct stat info {};
  if (::stat(native.constData(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileRead{};
    return Refused(Outcome::Failed, qt_error_string(errno));
  }
  if (FileRead checked = RefuseUnlessRegular(info, maxBytes); !checked.Ok()) return checked;
  // Non-blocking: should the name be swapped for a pipe after the check, opening it still
  // returns at once, and the check on the open descriptor below refuses it.
  const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return FileRead{};
    return Refused(Outcome::Failed, qt_error_string(errno));
  }
  FileRead read;
  if (::fstat(fd, &info) != 0) read = Refused(Outcome::Failed, qt_error_string(errno));
  else read = RefuseUnlessRegular(info, maxBytes);
  if (read.Ok()) read = ReadOpenFile(fd, info.st_size, maxBytes);
  ::close(fd);
  return read;
}

#else

FileRead ReadChecked(const QString& path, qint64 maxBytes) {
  const QFileInfo info(path);
  if (!info.exists()) return FileRead{};
  if (info.isDir()) return Refused(Outcome::NotRegular, qt_error_string(EISDIR));
  if (!info.isFile()) return Refused(Outcome::NotRegular, NotRegularText());
  if (info.size() > maxBytes) return Refused(Outcome::TooLarge, qt_error_string(EFBIG));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Refused(Outcome::Failed, file.errorString());
  FileRead read{Outcome::Read, file.read(maxBytes + 1), {}};
  if (file.error() != QFileDevice::NoError) return Refused(Outcome::Failed, file.errorString());
  if (read.bytes.size() > maxBytes) return Refused(Outcome::TooLarge, qt_error_string(EFBIG));
  return read;
}

#endif

}  // namespace

FileRead ReadGuardedFile(const QString& path, qint64 maxBytes) {
  if (path.isEmpty()) return FileRead{};
  return ReadChecked(path, maxBytes);
}

}  // namespace kvn

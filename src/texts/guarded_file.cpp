#include "texts/guarded_file.h"

#include <QCoreApplication>
#include <cerrno>

#include "platform/platform.h"

namespace kvn {

namespace {

using Outcome = FileRead::Outcome;
using Status = platform::RegularFile::Status;

FileRead Refused(Outcome outcome, QString error) {
  FileRead read;
  read.outcome = outcome;
  read.error = std::move(error);
  return read;
}

QString NotRegularText() {
  return QCoreApplication::translate("kvn::GuardedFile", "Not a regular file");
}

FileRead FromPlatform(platform::RegularFile file) {
  switch (file.status) {
    case Status::Read: return FileRead{Outcome::Read, std::move(file.bytes), {}};
    case Status::Missing: return FileRead{};
    case Status::Directory: return Refused(Outcome::NotRegular, qt_error_string(EISDIR));
    case Status::NotRegular: return Refused(Outcome::NotRegular, NotRegularText());
    case Status::TooLarge: return Refused(Outcome::TooLarge, qt_error_string(EFBIG));
    case Status::Failed: break;
  }
  return Refused(Outcome::Failed, file.systemError);
}

}  // namespace

FileRead ReadGuardedFile(const QString& path, qint64 maxBytes) {
  if (path.isEmpty()) return FileRead{};
  return FromPlatform(platform::ReadRegularFile(path, maxBytes));
}

}  // namespace kvn

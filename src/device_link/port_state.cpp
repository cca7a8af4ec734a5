#include "device_link/port_state.h"

#include <QFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace kvn {

PortState PortStateOfError(int error) {
  switch (error) {
    case 0: return PortState::Free;
    case EACCES:
    case EPERM: return PortState::NoPermission;
    case EBUSY:  // another program set TIOCEXCL
    case EWOULDBLOCK: return PortState::InUse;  // another program holds the lock
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
    case ELOOP: return PortState::Absent;
    default: return PortState::Unusable;
  }
}

PortState ProbePortState(const QString& path) {
#ifdef Q_OS_UNIX
  const QByteArray name = QFile::encodeName(path);
  // Non-blocking: a modem line without carrier must not hang the probe.
  const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return PortStateOfError(errno);
  int error = 0;
  termios line{};
  if (::tcgetattr(fd, &line) != 0) error = errno;
  else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) error = errno;
  ::close(fd);
  return PortStateOfError(error);
#else
  return path.isEmpty() ? PortState::Absent : PortState::Free;
#endif
}

}  // namespace kvn

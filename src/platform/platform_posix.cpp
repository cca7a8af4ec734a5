#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kvn::platform {
namespace {

QString TimeStamp(const timespec& t) { return QStringLiteral("%1.%2").arg(t.tv_sec).arg(t.tv_nsec); }

int QueueBytes(qintptr handle, unsigned long request) {
  int bytes = 0;
  return ::ioctl(static_cast<int>(handle), request, &bytes) == 0 ? bytes : 0;
}

RegularFile Refused(RegularFile::Status status, int error = 0) {
  RegularFile file;
  file.status = status;
  if (error != 0) file.systemError = qt_error_string(error);
  return file;
}

RegularFile RefuseUnlessRegular(const struct stat& info, qint64 maxBytes) {
  if (S_ISDIR(info.st_mode)) return Refused(RegularFile::Status::Directory);
  if (!S_ISREG(info.st_mode)) return Refused(RegularFile::Status::NotRegular);
  if (info.st_size > maxBytes) return Refused(RegularFile::Status::TooLarge);
  return RegularFile{RegularFile::Status::Read, {}, {}};
}

// Reads at most maxBytes + 1 bytes, so a file that grew after the size check is still caught
// without reading it whole.
RegularFile ReadOpenFile(int fd, qint64 expectedSize, qint64 maxBytes) {
  RegularFile read{RegularFile::Status::Read, {}, {}};
  read.bytes.resize(std::min(expectedSize, maxBytes) + 1);
  qint64 done = 0;
  for (;;) {
    if (done == read.bytes.size()) {
      if (done > maxBytes) return Refused(RegularFile::Status::TooLarge);
      read.bytes.resize(std::min<qint64>(done * 2, maxBytes + 1));
    }
    const ssize_t got = ::read(fd, read.bytes.data() + done, size_t(read.bytes.size() - done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Refused(RegularFile::Status::Failed, errno);
    if (got == 0) break;
    done += got;
  }
  if (done > maxBytes) return Refused(RegularFile::Status::TooLarge);
  read.bytes.truncate(done);
  return read;
}

}  // namespace

// QSerialPort's own exclusion (TIOCEXCL, lock files named after the path) lets root through
// and misses a second name for the same device; a lock on the open device holds for both.
bool LockPortExclusive(qintptr handle) { return ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0; }

int DriverOutputQueue(qintptr handle) { return QueueBytes(handle, TIOCOUTQ); }

int DriverInputQueue(qintptr handle) { return QueueBytes(handle, FIONREAD); }

bool PortHungUp(qintptr handle) {
  pollfd fd{static_cast<int>(handle), POLLIN, 0};
  return ::poll(&fd, 1, 0) == 1 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL));
}

bool AwaitPortEvent(qintptr handle, int milliseconds) {
  pollfd fd{static_cast<int>(handle), POLLIN, 0};
  const int ready = ::poll(&fd, 1, std::max(milliseconds, 0));
  return ready != 0;  // an interrupted wait counts as an event: the caller looks again
}

int ProbePortError(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  // Non-blocking: a modem line without carrier must not hang the probe.
  const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = 0;
  termios line{};
  if (::tcgetattr(fd, &line) != 0) error = errno;
  else if (!LockPortExclusive(fd)) error = errno;
  ::close(fd);
  return error;
}

// A new inode or new times tell a link made anew from the one a port was opened through.
QString LinkStamp(const QString& link) {
  struct stat st {};
  if (::lstat(QFile::encodeName(link).constData(), &st) != 0) return {};
  return QStringLiteral("%1:%2:%3:%4")
      .arg(st.st_ino)
      .arg(TimeStamp(st.st_mtim), TimeStamp(st.st_ctim), QFile::symLinkTarget(link));
}

// A pseudo-terminal's number is reused as soon as its owner closes it, and another
// program's terminal then sits at the same path with the same device number. Its node is made
// when the terminal is, so the node's change time tells the two apart.
std::optional<QString> ReusedNodeInstance(const QString& canonicalPath) {
  if (!canonicalPath.startsWith(QLatin1String("/dev/pts/"))) return std::nullopt;
  struct stat st {};
  if (::stat(QFile::encodeName(canonicalPath).constData(), &st) != 0) return QString();
  return QStringLiteral("pty:%1:%2").arg(st.st_rdev).arg(TimeStamp(st.st_ctim));
}

RegularFile ReadRegularFile(const QString& path, qint64 maxBytes) {
  const QByteArray native = QFile::encodeName(path);
  struct stat info {};
  if (::stat(native.constData(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return RegularFile{};
    return Refused(RegularFile::Status::Failed, errno);
  }
  if (RegularFile checked = RefuseUnlessRegular(info, maxBytes); checked.status != RegularFile::Status::Read)
    return checked;
  // Non-blocking: should the name be swapped for a pipe after the check, opening it still
  // returns at once, and the check on the open descriptor below refuses it.
  const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return RegularFile{};
    return Refused(RegularFile::Status::Failed, errno);
  }
  RegularFile read;
  if (::fstat(fd, &info) != 0) read = Refused(RegularFile::Status::Failed, errno);
  else read = RefuseUnlessRegular(info, maxBytes);
  if (read.status == RegularFile::Status::Read) read = ReadOpenFile(fd, info.st_size, maxBytes);
  ::close(fd);
  return read;
}

bool IsTerminal(Stream stream) {
  switch (stream) {
    case Stream::Input: return ::isatty(STDIN_FILENO) == 1;
    case Stream::Output: return ::isatty(STDOUT_FILENO) == 1;
    case Stream::Error: break;
  }
  return ::isatty(STDERR_FILENO) == 1;
}

bool SetInputEcho(bool on) {
  termios line{};
  if (::tcgetattr(STDIN_FILENO, &line) != 0) return false;
  if (on) line.c_lflag |= ECHO;
  else line.c_lflag &= static_cast<tcflag_t>(~ECHO);
  return ::tcsetattr(STDIN_FILENO, on ? TCSANOW : TCSAFLUSH, &line) == 0;
}

int ReadInputByte(int milliseconds) {
  pollfd fd{STDIN_FILENO, POLLIN, 0};
  const int ready = ::poll(&fd, 1, std::max(milliseconds, 0));
  if (ready == 0 || (ready < 0 && errno == EINTR)) return kNoInputYet;
  if (ready < 0) return kInputEnded;
  unsigned char byte = 0;
  const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
  if (got == 1) return byte;
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return kNoInputYet;
  return kInputEnded;
}

void CatchStopRequests(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a prompt's wait must end so that the interrupt is seen; the link's waits
  // run by their own time limits and look again.
  action.sa_flags = 0;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::sigaction(signal, &action, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, nullptr);
}

void WriteErrorFromHandler(const char* text, int length) {
  if (length > 0 && ::write(STDERR_FILENO, text, static_cast<size_t>(length)) < 0) return;
}

void RequestStop(qint64 processId) {
  if (processId > 0) ::kill(static_cast<pid_t>(processId), SIGTERM);
}

NodeKind KindOfNode(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return NodeKind::Missing;
  if (S_ISCHR(info.st_mode)) return NodeKind::CharacterDevice;
  if (S_ISREG(info.st_mode)) return NodeKind::RegularFile;
  if (S_ISDIR(info.st_mode)) return NodeKind::Directory;
  if (S_ISFIFO(info.st_mode)) return NodeKind::Fifo;
  return NodeKind::Other;
}

QString LoginName() {
  const passwd* account = ::getpwuid(::getuid());
  return account ? QString::fromLocal8Bit(account->pw_name) : qEnvironmentVariable("USER");
}

bool StatusOfFile(const QString& path, FileStatus* status) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  *status = {st.st_ctim.tv_sec, st.st_ctim.tv_nsec, st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
             static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino), (st.st_mode & 0111) != 0,
             st.st_uid, st.st_gid, static_cast<qint64>(st.st_size)};
  return true;
}

std::vector<qintptr> NetworkSockets() {
  std::vector<qintptr> sockets;
#ifdef __linux__
  // Only Linux lists a process's descriptors (/proc/self/fd).
  for (const QString& name : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System)) {
    const int fd = name.toInt();
    struct stat st {};
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (::fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) continue;
    if (address.ss_family == AF_INET || address.ss_family == AF_INET6) sockets.push_back(fd);
  }
#endif
  return sockets;
}

void ShutDownSocket(qintptr socket) { ::shutdown(static_cast<int>(socket), SHUT_RDWR); }

}  // namespace kvn::platform

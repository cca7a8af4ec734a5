#include "support/pty_pair.h"

#include <QFile>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace kvn::test {

PtyPair::PtyPair() {
  char name[128] = {};
  if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  // Raw on both sides at once: no echo, no line editing, no CR/LF translation.
  for (int fd : {master_, slave_}) {
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
  }
  slavePath_ = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

void PtyPair::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PtyPair::Send(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) throw std::runtime_error("pty write failed");
    done += static_cast<size_t>(n);
  }
}

std::vector<uint8_t> PtyPair::Receive(int timeoutMs) {
  std::vector<uint8_t> out;
  pollfd p{master_, POLLIN, 0};
  int wait = timeoutMs;
  while (::poll(&p, 1, wait) > 0 && (p.revents & POLLIN)) {
    uint8_t buf[1024];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) break;
    out.insert(out.end(), buf, buf + n);
    wait = 20;  // the rest of a frame follows closely
  }
  return out;
}

PortsFolder::PortsFolder() = default;

void PortsFolder::Link(int comNumber, const QString& target) {
  const QString link = dir_.filePath(QStringLiteral("COM%1").arg(comNumber));
  QFile::remove(link);
  QFile::link(target, link);
}

}  // namespace kvn::test

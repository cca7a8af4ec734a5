#pragma once
// TCP ports of 127.0.0.1 for servers the tests and benchmarks start themselves (sshd, a
// server that stalls).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvn::test {

// A socket bound to a port of the system's choosing; listening, it completes every connection
// and never answers (a stalled server); closed, its port refuses.
struct LoopbackPort {
  LoopbackPort() {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(a);
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0 && getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
      port = ntohs(a.sin_port);
  }
  ~LoopbackPort() { close(fd); }
  LoopbackPort(const LoopbackPort&) = delete;
  LoopbackPort& operator=(const LoopbackPort&) = delete;
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  int port = 0;
};

// A port nothing listens on, for a server started next.
inline int FreeLoopbackPort() { return LoopbackPort().port; }

// Whether something accepts connections at the port.
inline bool Accepting(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
  close(fd);
  return ok;
}

}  // namespace kvn::test

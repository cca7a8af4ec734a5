#include "devsim/pty_device.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "device_link/block_table.h"

namespace kvn::devsim {

namespace {

constexpr auto kTick = std::chrono::milliseconds(20);           // model time catches up at least this often
constexpr auto kMinSilence = std::chrono::milliseconds(10);     // a pty delivers frames in one piece
constexpr auto kWriteStall = std::chrono::milliseconds(200);    // a reader that never reads loses bytes
constexpr auto kPacingGroup = std::chrono::milliseconds(1);     // characters sent per wake-up

void MakeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return;
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);
}

int ToPollMs(std::chrono::nanoseconds d) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, 60000));
}

}  // namespace

ModelOptions UnitOptions(const ModelOptions& first, int index) {
  ModelOptions unit = first;
  unit.line.address = first.line.address + index;
  std::string& serial = unit.identity.serialNumber;
  // The digits at its end counted on, keeping their width: KV2300-0017-0417, -0418, ...
  size_t digits = serial.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(serial[digits - 1]))) --digits;
  const std::string tail = serial.substr(digits);
  const long long number = tail.empty() ? 0 : std::stoll(tail);
  std::string counted = std::to_string(number + index);
  if (counted.size() < tail.size()) counted.insert(0, tail.size() - counted.size(), '0');
  serial = serial.substr(0, digits) + counted;
  unit.seed = first.seed + static_cast<uint32_t>(index);
  return unit;
}

PtyDevice::PtyDevice(const SimOptions& options, RequestObserver observer)
    : options_(options), observer_(std::move(observer)), sim_(options.model) {
  for (int i = 1; i < options.units; ++i) {
    others_.push_back(std::make_unique<Simulator>(UnitOptions(options.model, i)));
    const int address = options.model.line.address + i;
    others_.back()->Model().SetWorkingText(reg::TagNumber, 8, "UNIT-" + std::to_string(address));
  }
  if (options.tcpPort >= 0) OpenListener(options.tcpPort);
  else OpenPty();
  lastCatchUp_ = Clock::now();
  lastByte_ = lastCatchUp_;
  thread_ = std::thread([this] { Run(); });
}

PtyDevice::~PtyDevice() { Stop(); }

void PtyDevice::OpenPty() {
  std::array<char, 128> name{};
  if (openpty(&master_, &slave_, name.data(), nullptr, nullptr) != 0)
    throw std::runtime_error(std::string("openpty failed: ") + std::strerror(errno));
  // Raw at once: a slave with echo on would send the device's answers straight back to it.
  MakeRaw(master_);
  MakeRaw(slave_);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  fcntl(master_, F_SETFD, FD_CLOEXEC);
  fcntl(slave_, F_SETFD, FD_CLOEXEC);
  slavePath_ = name.data();
  stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stopFd_ < 0) throw std::runtime_error(std::string("eventfd failed: ") + std::strerror(errno));
}

void PtyDevice::OpenListener(int port) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener_ < 0) throw std::runtime_error(std::string("socket failed: ") + std::strerror(errno));
  const int yes = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 4) != 0)
    throw std::runtime_error(std::string("cannot serve on port ") + std::to_string(port) + ": " + std::strerror(errno));
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  slavePath_ = "tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stopFd_ < 0) throw std::runtime_error(std::string("eventfd failed: ") + std::strerror(errno));
}

// A new client takes the line over, as on a serial server that serves one at a time.
void PtyDevice::Accept() {
  const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (client < 0) return;
  if (faults().disconnect) {
    close(client);
    return;
  }
  const int yes = 1;
  setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  CloseMaster();
  master_ = client;
  assembler_ = FrameAssembler{};
}

void PtyDevice::Stop() {
  if (thread_.joinable()) {
    stopping_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const auto n = write(stopFd_, &one, sizeof one);
    thread_.join();
  }
  CloseMaster();
  if (slave_ >= 0) close(slave_);
  if (stopFd_ >= 0) close(stopFd_);
  if (listener_ >= 0) close(listener_);
  slave_ = stopFd_ = listener_ = -1;
}

void PtyDevice::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

uint16_t PtyDevice::Register(int r) {
  std::lock_guard lock(mutex_);
  return sim_.Model().Register(r);
}

std::vector<RecordedRequest> PtyDevice::Requests() {
  std::lock_guard lock(mutex_);
  return sim_.Requests();
}

void PtyDevice::ClearRequests() {
  std::lock_guard lock(mutex_);
  sim_.ClearRequests();
}

void PtyDevice::Advance(int milliseconds) {
  std::lock_guard lock(mutex_);
  sim_.Model().Advance(milliseconds);
}

std::chrono::nanoseconds PtyDevice::CharacterTime() const {
  if (options_.pacing.baud <= 0) return std::chrono::nanoseconds(0);
  return std::chrono::nanoseconds(1'000'000'000LL * options_.pacing.bitsPerCharacter / options_.pacing.baud);
}

std::chrono::milliseconds PtyDevice::SilenceTime() const {
  const auto gap = std::chrono::ceil<std::chrono::milliseconds>(CharacterTime() * 7 / 2);
  return std::max<std::chrono::milliseconds>(gap, kMinSilence);
}

// Brings the model's time up to the wall clock (call with the lock held).
void PtyDevice::CatchUp() {
  const auto now = Clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastCatchUp_);
  if (ms.count() <= 0) return;
  lastCatchUp_ += ms;
  if (!options_.realTime) return;
  for (int i = 0; i < Units(); ++i) Unit(i).Model().Advance(static_cast<int>(std::min<long long>(ms.count(), 3'600'000)));
}

void PtyDevice::Run() {
  std::array<uint8_t, 512> buffer{};
  while (!stopping_) {
    if (faults().disconnect && master_ >= 0) {
      disconnected_ = true;
      CloseMaster();
    }
    auto timeout = std::chrono::duration_cast<std::chrono::nanoseconds>(kTick);
    if (assembler_.Pending()) timeout = std::max<std::chrono::nanoseconds>(lastByte_ + SilenceTime() - Clock::now(), {});
    pollfd fds[3] = {{stopFd_, POLLIN, 0}, {master_, POLLIN, 0}, {listener_, POLLIN, 0}};
    const int n = poll(fds, 3, ToPollMs(timeout));
    if (n < 0 && errno != EINTR) break;
    if (fds[0].revents) break;
    if (fds[2].revents & POLLIN) Accept();
    {
      std::lock_guard lock(mutex_);
      CatchUp();
    }
    if (master_ >= 0 && (fds[1].revents & POLLIN)) {
      const ssize_t got = read(master_, buffer.data(), buffer.size());
      if (got > 0) {
        lastByte_ = Clock::now();
        assembler_.Feed(std::span(buffer.data(), static_cast<size_t>(got)));
        while (auto frame = assembler_.NextFrame()) Answer(*frame);
      } else if (listener_ >= 0 && got == 0) {
        CloseMaster();  // the client went: the line waits for the next one
      }
    } else if (master_ >= 0 && (fds[1].revents & (POLLHUP | POLLERR))) {
      // Nobody holds the line open (cannot happen while we keep our slave end): idle.
      WaitFor(kTick);
    } else if (assembler_.Pending() && Clock::now() - lastByte_ >= SilenceTime()) {
      if (auto frame = assembler_.OnSilence()) Answer(*frame);
    }
  }
}

void PtyDevice::Answer(const std::vector<uint8_t>& frame) {
  std::vector<Reply> replies;
  std::optional<RecordedRequest> request;
  {
    std::lock_guard lock(mutex_);
    CatchUp();
    const size_t before = sim_.Requests().size();
    for (int i = 0; i < Units(); ++i)
      if (std::optional<Reply> reply = Unit(i).HandleFrame(frame)) replies.push_back(std::move(*reply));
    if (sim_.Requests().size() > before) request = sim_.Requests().back();
  }
  if (request && observer_) observer_(*request, !replies.empty());
  if (replies.size() > 1) {
    // Two transmitters at once: what the line carries is their bytes mixed, as a bus does.
    for (size_t i = 0; i < replies[0].bytes.size() && i < replies[1].bytes.size(); ++i) replies[0].bytes[i] |= replies[1].bytes[i];
  }
  if (!replies.empty()) Transmit(replies.front());
}

void PtyDevice::Transmit(const Reply& reply) {
  const auto character = CharacterTime();
  if (character.count() > 0 && !WaitUntil(lastByte_ + character * 7 / 2)) return;
  if (reply.firstByteDelayMs > 0 && !WaitFor(std::chrono::milliseconds(reply.firstByteDelayMs))) return;
  const uint8_t* bytes = reply.bytes.data();
  const size_t count = reply.bytes.size();
  if (reply.interByteGapMs > 0) {
    for (size_t i = 0; i < count; ++i) {
      if (i > 0 && !WaitFor(std::chrono::milliseconds(reply.interByteGapMs))) return;
      if (!WriteAll(bytes + i, 1)) return;
    }
    return;
  }
  if (character.count() == 0) {
    WriteAll(bytes, count);
    return;
  }
  // Paced: each group leaves when the line would have carried the characters before it.
  const size_t group = std::max<size_t>(1, static_cast<size_t>(kPacingGroup / character));
  const auto start = Clock::now();
  for (size_t sent = 0; sent < count;) {
    const size_t n = std::min(group, count - sent);
    if (!WriteAll(bytes + sent, n)) return;
    sent += n;
    if (!WaitUntil(start + character * static_cast<long long>(sent))) return;
  }
}

bool PtyDevice::WriteAll(const uint8_t* bytes, size_t count) {
  const auto giveUp = Clock::now() + kWriteStall;
  while (count > 0) {
    if (faults().disconnect || master_ < 0) return false;
    // A client that went away must not end the simulator with SIGPIPE.
    const ssize_t n = listener_ >= 0 ? send(master_, bytes, count, MSG_NOSIGNAL) : write(master_, bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    if (Clock::now() >= giveUp) return false;  // the far end does not read: the bytes are lost
    pollfd fds[2] = {{stopFd_, POLLIN, 0}, {master_, POLLOUT, 0}};
    if (poll(fds, 2, 10) > 0 && fds[0].revents) return false;
  }
  return true;
}

bool PtyDevice::WaitFor(std::chrono::nanoseconds duration) { return WaitUntil(Clock::now() + duration); }

bool PtyDevice::WaitUntil(Clock::time_point deadline) {
  for (;;) {
    if (stopping_) return false;
    const auto left = deadline - Clock::now();
    if (left <= std::chrono::nanoseconds(0)) return true;
    if (left < std::chrono::milliseconds(2)) {
      // Short waits (character pacing) sleep on the absolute deadline.
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
      timespec ts{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
      clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
      continue;
    }
    pollfd fd{stopFd_, POLLIN, 0};
    if (poll(&fd, 1, ToPollMs(left - std::chrono::milliseconds(1))) > 0) return false;
  }
}

}  // namespace kvn::devsim

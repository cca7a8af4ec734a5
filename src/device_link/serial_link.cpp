#include "device_link/serial_link.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>

#include "device_link/pause.h"
#include "platform/platform.h"

namespace kvn {
namespace {

constexpr int kRoomWaits = 10;        // 1 ms sleeps before a write without room gives up
constexpr int kScanSettleMs = 300;       // lets the indicator appear before the probing starts
constexpr long long kBatchCapUs = 50000;  // far inside the 300 ms gap limit
constexpr long long kMinBatchUs = 200;    // below this a sleep costs more than a wake-up
constexpr int kSendingRoundsMax = 1000;   // ~1 s: a request of 255 bytes at 4800 baud takes 0.6 s
constexpr int kConnectMs = 3000;          // a serial server that takes longer is not there
constexpr int kNetworkMarginMs = 50;      // the network's scheduling on top of its round trip

QSerialPort::Parity ToQtParity(int parity) {
  switch (parity) {
    case 1: return QSerialPort::OddParity;
    case 2: return QSerialPort::EvenParity;
    default: return QSerialPort::NoParity;
  }
}

// Exclusive open for reading and writing, as a probe and as the real open share it.
// QSerialPort's own exclusion lets root through and misses a second name for the same device.
bool OpenExclusive(QSerialPort& port, const QString& path) {
  if (path.isEmpty()) return false;
  port.setPortName(path);
  if (!port.open(QIODevice::ReadWrite)) return false;
  if (!platform::LockPortExclusive(port.handle())) {
    port.close();
    return false;
  }
  return true;
}

// What kept a port from opening. The probe opens it as the link does; when the probe gets
// through where QSerialPort was refused permission, QSerialPort's lock file is held: another
// program has the port. Any other failure leaves a port that is there but cannot serve.
PortState RefusalOf(const QSerialPort& port, const QString& path) {
  if (path.isEmpty()) return PortState::Absent;
  const PortState state = ProbePortState(path);
  if (state != PortState::Free) return state;
  return port.error() == QSerialPort::PermissionError ? PortState::InUse : PortState::Unusable;
}

// A name still stands for the device a port was opened on while that device is behind it.
// A link made anew since is its maker's word that the name now means what it points to.
// When the port never opened there is nothing to compare: whatever the name leads to.
bool StillTheSameDevice(const PortMap::Identity& opened, const PortMap::Identity& now) {
  if (now.device.isEmpty()) return false;
  if (opened.device.isEmpty()) return true;
  return now.device == opened.device || (!now.link.isEmpty() && now.link != opened.link);
}

}  // namespace

QString RefusalText(PortState state) {
  switch (state) {
    case PortState::NoPermission:
      return QCoreApplication::translate(
          "kvn::SerialLink", "no permission: add yourself to the dialout group and log in again");
    case PortState::InUse: return QCoreApplication::translate("kvn::SerialLink", "in use");
    default: return {};
  }
}

SerialLink::SerialLink(const InterfaceSettings& settings, PortMap& ports, Pause& pause)
    : settings_(settings), ports_(ports), pause_(pause) {}

SerialLink::~SerialLink() { Close(); }

void SerialLink::Initialise() {
  if (port_.isOpen()) port_.close();
  portOpen_ = false;
  closedOnPurpose_ = false;
  fifoHead_ = fifoCount_ = 0;
}

bool SerialLink::Open() {
  openedName_ = settings_.com_num;
  opened_ = {};
  const QString address = ports_.NetworkAddress(settings_.com_num);
  if (!address.isEmpty()) return OpenNetwork(address);
  return OpenPath(ports_.Resolve(settings_.com_num));
}

// A network port is reopened while its name still stands for the same server.
bool SerialLink::Reopen() {
  if (openedName_ != settings_.com_num) opened_ = {};
  openedName_ = settings_.com_num;
  const QString address = ports_.NetworkAddress(settings_.com_num);
  if (onNetwork_ || !address.isEmpty()) {
    if (address != networkAddress_) {
      Close();
      closedOnPurpose_ = false;
      openRefusal_ = PortState::Absent;
      return false;
    }
    return OpenNetwork(address);
  }
  if (!StillTheSameDevice(opened_, ports_.IdentityOf(settings_.com_num))) {
    if (port_.isOpen()) port_.close();
    portOpen_ = false;
    openRefusal_ = PortState::Absent;
    return false;
  }
  return OpenPath(ports_.Lookup(settings_.com_num));
}

bool SerialLink::OpenNetwork(const QString& address) {
  if (port_.isOpen()) port_.close();
  onNetwork_ = true;
  networkAddress_ = address;
  closedOnPurpose_ = false;
  fifoHead_ = fifoCount_ = 0;
  portOpen_ = net_.Open(address, kConnectMs);
  openRefusal_ = portOpen_ ? PortState::Free : PortState::Unusable;
  return portOpen_;
}

int SerialLink::NetworkAllowanceMs() const {
  // There and back for the request and the answer, each a round trip at worst.
  return onNetwork_ ? 2 * net_.RoundTripMs() + kNetworkMarginMs : 0;
}

bool SerialLink::OpenPath(const QString& path) {
  net_.Close();
  onNetwork_ = false;
  networkAddress_.clear();
  if (port_.isOpen()) port_.close();
  closedOnPurpose_ = false;
  portOpen_ = false;
  port_.clearError();
  openRefusal_ = PortState::Free;
  if (!OpenExclusive(port_, path)) {
    openRefusal_ = RefusalOf(port_, path);
    return false;
  }
  opened_ = ports_.IdentityOf(settings_.com_num);
  portOpen_ = ApplyLineSettings();
  return portOpen_;
}

bool SerialLink::ApplyLineSettings() {
  const int baud = AppliedBaud();
  const int parity = settings_.usb ? 0 : settings_.parity;
  bool ok = port_.setBaudRate(baud);
  ok = port_.setDataBits(QSerialPort::Data8) && ok;
  ok = port_.setParity(ToQtParity(parity)) && ok;
  ok = port_.setStopBits(QSerialPort::OneStop) && ok;
  ok = port_.setFlowControl(QSerialPort::NoFlowControl) && ok;
  port_.setReadBufferSize(kQueueSize);
  return ok;
}

int SerialLink::AppliedBaud() const {
  return BaudOfIndex(settings_.usb ? kUsbBaudIndex : settings_.baud);
}

int SerialLink::BitsPerCharacter() const {
  const bool parity = !settings_.usb && settings_.parity != 0;
  return parity ? 11 : 10;
}

// An unplugged adapter shows up as a resource error; from then on the handle is useless.
void SerialLink::LosePort() {
  port_.close();
  net_.Close();
  portOpen_ = false;
  fifoHead_ = fifoCount_ = 0;
}

// The far end went away (a USB adapter unplugged, the other side of a pseudo-terminal
// closed): the descriptor stays readable with nothing to read, so a wait returns at once.
bool SerialLink::FarEndGone() {
  return port_.error() == QSerialPort::ResourceError || platform::PortHungUp(port_.handle());
}

int SerialLink::TransmitQueueBytes() {
  return static_cast<int>(port_.bytesToWrite()) + platform::DriverOutputQueue(port_.handle());
}

void SerialLink::DiscardWhileSending() {
  // A serial server takes the request whole before it sends it on the line: nothing that
  // arrives now can be older than the purge, and all of it may be the answer.
  if (onNetwork_ || !port_.isOpen()) return;
  const long long characterUs = 1000000LL * BitsPerCharacter() / AppliedBaud();
  for (int rounds = 0; rounds < kSendingRoundsMax; ++rounds) {
    fifoHead_ = 0;
    fifoCount_ = ReadAvailable(fifo_.data(), kQueueSize);
    const int queued = TransmitQueueBytes();
    // Read first, then ask: bytes already read while part of the request is still queued
    // here arrived before the device had the whole request. Once the queue is empty, what
    // was read may be the start of the answer and stays.
    if (queued <= 0) return;
    fifoCount_ = 0;
    QThread::usleep(static_cast<unsigned long>(std::clamp<long long>(queued * characterUs, 100, 1000)));
  }
}

bool SerialLink::Write(const uint8_t* bytes, int count) {
  if (onNetwork_) {
    if (net_.Write(bytes, count)) return true;
    LosePort();
    return false;
  }
  if (!port_.isOpen()) return false;
  int waits = 0;
  while (count > kQueueSize - TransmitQueueBytes()) {
    if (waits == kRoomWaits) return false;
    QThread::msleep(1);
    ++waits;
  }
  port_.clearError();
  if (port_.write(reinterpret_cast<const char*>(bytes), count) != count) return false;
  // Without an event loop QSerialPort only buffers; push the frame to the driver now.
  port_.flush();
  if (port_.error() == QSerialPort::ResourceError) {
    LosePort();
    return false;
  }
  return true;
}

int SerialLink::ReadAvailable(uint8_t* buffer, int max) {
  if (onNetwork_) return net_.ReadAvailable(buffer, max);
  if (!port_.isOpen()) return 0;
  const qint64 n = std::min<qint64>(max, port_.bytesAvailable());
  if (n <= 0) return 0;
  const qint64 got = port_.read(reinterpret_cast<char*>(buffer), n);
  return got > 0 ? static_cast<int>(got) : 0;
}

// Bytes are arriving but fewer than awaited: sleep for the wire time of the missing ones
// (never past the end of the frame, capped) so one wake-up collects a batch.
void SerialLink::AwaitBatch(int awaited) {
  if (onNetwork_) return;  // a server sends what it has in segments of its own
  const qint64 available = port_.bytesAvailable();
  if (available <= 0 || available >= awaited) return;
  const long long characterUs = 1000000LL * BitsPerCharacter() / AppliedBaud();
  // Wake one character early: the last byte then ends the wait in the driver, not a timer.
  const long long sleepUs = std::min<long long>((awaited - available - 1) * characterUs, kBatchCapUs);
  if (sleepUs < kMinBatchUs) return;
  QThread::usleep(static_cast<unsigned long>(sleepUs));
  port_.waitForReadyRead(0);
}

int SerialLink::NextByte(int awaited) {
  uint8_t b = 0;
  return NextBytes(&b, 1, awaited) == 1 ? b : -1;
}

int SerialLink::NextBytes(uint8_t* dest, int max, int awaited, int waitMs) {
  if (fifoCount_ == 0 && onNetwork_ && net_.IsOpen()) {
    fifoHead_ = 0;
    if (!net_.WaitForBytes(waitMs) && !net_.IsOpen()) {
      LosePort();
      return 0;
    }
    fifoCount_ = net_.ReadAvailable(fifo_.data(), kQueueSize);
  } else if (fifoCount_ == 0 && port_.isOpen()) {
    fifoHead_ = 0;
    fifoCount_ = ReadAvailable(fifo_.data(), kQueueSize);
    if (fifoCount_ == 0) {
      // Block in the driver instead of spinning: the CPU stays idle while the device is still
      // answering. The wait itself is the system's, since QSerialPort's wait for bytes keeps
      // polling a hung-up line until its time is up; a hang-up must end it at once.
      const bool ready = platform::AwaitPortEvent(port_.handle(), waitMs) && port_.waitForReadyRead(0);
      if (!ready && FarEndGone()) {
        LosePort();
        return 0;
      }
      AwaitBatch(awaited);
      fifoCount_ = ReadAvailable(fifo_.data(), kQueueSize);
    }
  }
  const int n = std::min(max, fifoCount_);
  if (n <= 0) return 0;
  std::copy_n(fifo_.begin() + fifoHead_, n, dest);
  fifoHead_ += n;
  fifoCount_ -= n;
  return n;
}

bool SerialLink::AwaitInput(int milliseconds) {
  if (fifoCount_ > 0) return true;
  if (onNetwork_) {
    if (net_.WaitForBytes(milliseconds)) return true;
    if (!net_.IsOpen()) LosePort();
    return false;
  }
  if (!port_.isOpen()) return false;
  if (port_.bytesAvailable() > 0 || port_.waitForReadyRead(milliseconds)) return true;
  if (FarEndGone()) LosePort();
  return false;
}

// Bytes received before a request is sent can never be its answer, so the program's own
// FIFO is emptied with the driver's queues: a leftover tail of an earlier answer would
// otherwise misalign every following frame in the same place.
int SerialLink::Purge() {
  if (onNetwork_) {
    const int discarded = fifoCount_ + net_.Discard();
    fifoHead_ = fifoCount_ = 0;
    return discarded;
  }
  if (!port_.isOpen()) return 0;
  const int discarded =
      fifoCount_ + static_cast<int>(port_.bytesAvailable()) + platform::DriverInputQueue(port_.handle());
  fifoHead_ = fifoCount_ = 0;
  if (!port_.clear(QSerialPort::AllDirections)) Reopen();
  return discarded;
}

void SerialLink::Close() {
  if (port_.isOpen()) port_.close();
  net_.Close();
  portOpen_ = false;
  closedOnPurpose_ = true;
}

void SerialLink::ScanPorts(const ScanIndicator* indicator) {
  if (indicator && indicator->begin) {
    indicator->begin(kComPortCount);
    pause_.Wait(kScanSettleMs);
  }
  ports_.Refresh();
  portPresent_.fill(false);
  portStates_.fill(PortState::Absent);
  for (const PortMap::Entry& e : ports_.Entries()) {
    const int n = PortMap::ComNumber(e.comName);
    if (n == 0) continue;
    const auto index = static_cast<size_t>(n - 1);
    // A serial server's port is offered as it is: its server is reached when it is opened.
    if (!ports_.NetworkAddress(e.comName).isEmpty()) {
      portPresent_[index] = true;
      portStates_[index] = PortState::Free;
      if (indicator && indicator->step) indicator->step(n);
      continue;
    }
    QSerialPort probe;
    if (OpenExclusive(probe, e.path)) {
      portPresent_[index] = true;
      portStates_[index] = PortState::Free;
      probe.close();
    } else if (e.present) {
      portStates_[index] = RefusalOf(probe, e.path);
    }
    if (indicator && indicator->step) indicator->step(n);
  }
  if (indicator && indicator->end) indicator->end();
}

}  // namespace kvn

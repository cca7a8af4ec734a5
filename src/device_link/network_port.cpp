#include "device_link/network_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <algorithm>

namespace kvn {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("kvn::NetworkPort", text); }

// A round trip is at least this long in the time limits, however fast the connection was made.
constexpr int kMinRoundTripMs = 1;
constexpr int kMaxRoundTripMs = 2000;

}  // namespace

QString NetworkPort::AddressProblem(const QString& address) {
  const QUrl url(address, QUrl::StrictMode);
  if (!IsAddress(address) || !url.isValid() || url.host().isEmpty() || url.port() <= 0 ||
      !(url.path().isEmpty() || url.path() == QLatin1String("/")))
    return Tr("%1 is no network port: tcp://HOST:PORT").arg(address);
  return {};
}

bool NetworkPort::Open(const QString& address, int timeoutMs) {
  Close();
  error_.clear();
  if (const QString problem = AddressProblem(address); !problem.isEmpty()) {
    error_ = problem;
    return false;
  }
  const QUrl url(address);
  QElapsedTimer took;
  took.start();
  socket_.connectToHost(url.host(), static_cast<quint16>(url.port()));
  if (!socket_.waitForConnected(timeoutMs)) {
    error_ = socket_.state() == QAbstractSocket::ConnectedState ? QString() : socket_.errorString();
    if (error_.isEmpty() || socket_.error() == QAbstractSocket::SocketTimeoutError)
      error_ = Tr("%1 did not answer within %2 ms").arg(address).arg(timeoutMs);
    socket_.abort();
    return false;
  }
  // Frames are small and must leave at once: no waiting to fill a segment.
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  roundTripMs_ = std::clamp(static_cast<int>(took.elapsed()), kMinRoundTripMs, kMaxRoundTripMs);
  return true;
}

void NetworkPort::Close() {
  if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
}

void NetworkPort::Lost() {
  if (error_.isEmpty()) error_ = socket_.errorString();
  socket_.abort();
}

bool NetworkPort::Write(const uint8_t* bytes, int count) {
  if (!IsOpen()) return false;
  if (socket_.write(reinterpret_cast<const char*>(bytes), count) != count) {
    Lost();
    return false;
  }
  // Without an event loop the socket only buffers: hand the frame to the system now.
  socket_.flush();
  return IsOpen();
}

int NetworkPort::ReadAvailable(uint8_t* buffer, int max) {
  const qint64 n = std::min<qint64>(max, socket_.bytesAvailable());
  if (n <= 0) return 0;
  const qint64 got = socket_.read(reinterpret_cast<char*>(buffer), n);
  return got > 0 ? static_cast<int>(got) : 0;
}

bool NetworkPort::WaitForBytes(int milliseconds) {
  if (socket_.bytesAvailable() > 0) return true;
  if (!IsOpen()) return false;
  if (socket_.waitForReadyRead(milliseconds)) return true;
  // A reset or a server that closed ends the wait at once, not at its time limit.
  if (socket_.state() != QAbstractSocket::ConnectedState || socket_.error() == QAbstractSocket::RemoteHostClosedError)
    Lost();
  return false;
}

int NetworkPort::Discard() {
  if (IsOpen()) socket_.waitForReadyRead(0);
  return static_cast<int>(socket_.readAll().size());
}

}  // namespace kvn

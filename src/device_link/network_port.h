#pragma once
#include <QString>
#include <QTcpSocket>
#include <cstdint>

namespace kvn {

// A serial server's port: RTU frames as they are, over a TCP connection ("tcp://HOST:PORT").
// The server carries the RS-485 line; a frame ends by its length and CRC, as on any line, and
// the answer takes the network's round trip on top of the line's time.
class NetworkPort {
 public:
  // "tcp://host:port" and nothing else.
  static bool IsAddress(const QString& name) { return name.startsWith(QLatin1String("tcp://")); }
  // Why an address cannot be one; empty when it can.
  static QString AddressProblem(const QString& address);

  // Connects within the time limit; the time the connection took stands for the round trip.
  bool Open(const QString& address, int timeoutMs);
  void Close();
  bool IsOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }
  // Why the last Open failed, or why the connection ended (the server's words).
  QString Error() const { return error_; }

  bool Write(const uint8_t* bytes, int count);
  int ReadAvailable(uint8_t* buffer, int max);
  qint64 BytesAvailable() const { return socket_.bytesAvailable(); }
  int PendingOut() const { return static_cast<int>(socket_.bytesToWrite()); }
  // Waits up to the given time for bytes; false when none came or the connection ended.
  bool WaitForBytes(int milliseconds);
  // Everything received and not read, thrown away; how many bytes.
  int Discard();
  int RoundTripMs() const { return roundTripMs_; }

 private:
  void Lost();

  QTcpSocket socket_;
  QString error_;
  int roundTripMs_ = 0;
};

}  // namespace kvn

#pragma once
#include <QByteArray>
#include <QSerialPort>
#include <array>
#include <cstdint>
#include <functional>

#include "device_link/network_port.h"
#include "device_link/port_map.h"
#include "device_link/port_state.h"
#include "texts/setup_record.h"

namespace kvn {

class Pause;

// What the interface dialog and the start-up log say of a port that exists but did not open
// (no permission, in use); empty for the other states.
QString RefusalText(PortState state);

// Shown while ScanPorts probes the ports (the window supplies the indicator and the
// hourglass cursor; the link itself knows no widgets).
struct ScanIndicator {
  std::function<void(int maximum)> begin;
  std::function<void(int position)> step;
  std::function<void()> end;
};

// The one serial connection to the device. All calls come from the GUI thread. Bytes are
// handed to the Modbus master one at a time from a receive FIFO; a purge empties it too.
class SerialLink {
 public:
  static constexpr int kQueueSize = 1024;
  static constexpr int kByteWaitMs = 1;  // NextByte's wait for the driver when nothing is queued

  SerialLink(const InterfaceSettings& settings, PortMap& ports, Pause& pause);
  ~SerialLink();
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Marks the port closed and empties the FIFO.
  void Initialise();
  // (Re)opens the port with the current interface settings. PortOpen is true only when the
  // line settings were applied too; the port may stay open with the driver's old settings.
  // Devices seen for the first time get their COM numbers here, and the link remembers which
  // device the name stood for.
  bool Open();
  // Opens a lost port again (the poll, a failed purge), but only on the device it was opened
  // on, or on the one its link names after someone made that link anew. Never looks for new
  // devices: while the device is absent the port stays closed, whatever else the numbering
  // could offer.
  bool Reopen();
  bool Write(const uint8_t* bytes, int count);
  int ReadAvailable(uint8_t* buffer, int max);
  // Next received byte 0..255, or -1 after waiting at most about 1 ms for one. awaited is
  // how many bytes the caller still expects: while they trickle in at line speed the link
  // sleeps until most of them are there instead of waking for every character.
  int NextByte(int awaited = 1);
  // Up to max received bytes into dest, waiting at most waitMs for the driver when none are
  // queued; how many were taken (0: none came). Never more than asked, so what lies behind
  // stays queued. A wait as long as the caller can afford keeps a short timer from being set
  // (and cancelled) again and again while the device prepares its answer.
  int NextBytes(uint8_t* dest, int max, int awaited, int waitMs = kByteWaitMs);
  // Waits up to the given time for received bytes; true when some are waiting.
  bool AwaitInput(int milliseconds);
  // Called right after Purge and Write: drops whatever arrives while the request is leaving,
  // since the device cannot answer a request it has not received whole.
  void DiscardWhileSending();
  // Discards everything received and not yet read (FIFO and driver) and everything not yet
  // sent; returns how many received bytes were thrown away.
  int Purge();
  void Close();
  // Probes COM1..COM50; a port that is held open counts as absent, and its state says why.
  void ScanPorts(const ScanIndicator* indicator = nullptr);

  bool IsOpen() const { return onNetwork_ ? net_.IsOpen() : port_.isOpen(); }
  bool PortOpen() const { return portOpen_; }
  // True when the port is not open although nobody closed it on purpose: it could not be
  // opened, or the adapter was unplugged. The poll then tries to open it again.
  bool ShouldReopen() const { return !IsOpen() && !closedOnPurpose_; }
  // The port is a serial server's, reached over the network: what the last open or the
  // connection's end said, and what the answer's time limits add for the round trip.
  bool OnNetwork() const { return onNetwork_; }
  QString NetworkError() const { return net_.Error(); }
  int NetworkAllowanceMs() const;
  const std::array<bool, kComPortCount>& PortPresent() const { return portPresent_; }
  // Why each number did not open at the last scan: Free where it did, Absent where nothing is.
  const std::array<PortState, kComPortCount>& PortStates() const { return portStates_; }
  // Why the last Open or Reopen did not open the configured port; Free when it opened.
  PortState OpenRefusal() const { return openRefusal_; }

  // Line speed actually applied: for the wire-time allowances of the Modbus master.
  int AppliedBaud() const;
  int BitsPerCharacter() const;  // start + 8 data + parity + stop

  PortMap& Ports() { return ports_; }

 private:
  bool OpenPath(const QString& path);
  bool OpenNetwork(const QString& address);
  bool ApplyLineSettings();
  void LosePort();
  bool FarEndGone();
  int TransmitQueueBytes();
  void AwaitBatch(int awaited);

  const InterfaceSettings& settings_;
  PortMap& ports_;
  Pause& pause_;
  QSerialPort port_;
  NetworkPort net_;
  bool onNetwork_ = false;   // the last open was of a network port
  QString networkAddress_;   // which one
  bool portOpen_ = false;
  bool closedOnPurpose_ = false;
  QString openedName_;           // the COM name of the last open
  PortMap::Identity opened_;     // what it stood for then; empty when it did not open
  std::array<uint8_t, kQueueSize> fifo_{};
  int fifoHead_ = 0;
  int fifoCount_ = 0;
  std::array<bool, kComPortCount> portPresent_{};
  std::array<PortState, kComPortCount> portStates_{};
  PortState openRefusal_ = PortState::Free;
};

}  // namespace kvn

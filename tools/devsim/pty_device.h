#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devsim/frame_assembler.h"
#include "devsim/simulator.h"

namespace kvn::devsim {

// The RS-485 (or USB) line the device expects. With a baud rate the device answers at that
// line's pace: it waits the 3.5-character gap and sends each character at the character time
// on an absolute schedule. Baud 0: answers go out at once.
struct LinePacing {
  int baud = 0;
  int bitsPerCharacter = 10;  // 8N1; 11 with parity
};

struct SimOptions {
  ModelOptions model;
  LinePacing pacing;
  bool realTime = true;  // the model follows the wall clock; false: only Advance() moves it
  // Units on the one line: 1 is the model above; each further one answers at the next address
  // with a serial number and tag of its own, and its own state. Only the addressed unit
  // answers; units given one address answer together, as two devices on a bus do.
  int units = 1;
  // A serial server instead of a pseudo-terminal: RTU frames over TCP on 127.0.0.1 at this
  // port (0: any free one), paced at the line's baud as the server's line would pace them.
  // One client at a time; a new one takes the line over. -1: a pseudo-terminal.
  int tcpPort = -1;
};

// The options of unit `index` (0 is the first) of a bus: the next address, the serial number's
// last digits counted on, the tag "UNIT-<address>".
ModelOptions UnitOptions(const ModelOptions& first, int index);

// Called on the simulator thread for every request with a valid CRC.
using RequestObserver = std::function<void(const RecordedRequest&, bool answered)>;

// The simulator on one end of a pseudo-terminal pair. The program under test opens
// SlavePath() like any serial port. Both ends stay open for the device's lifetime so the line
// never hangs up when the program closes and reopens its port. All access from other threads
// goes through the locked helpers; the fault switches are atomic and may be set directly.
class PtyDevice {
 public:
  explicit PtyDevice(const SimOptions& options = {}, RequestObserver observer = {});
  ~PtyDevice();
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  const std::string& SlavePath() const { return slavePath_; }

  Faults& faults() { return sim_.GetFaults(); }
  void SetFault(Fault fault) { sim_.SetFault(fault); }

  // Runs f(Simulator&) under the lock.
  template <class F>
  auto WithSimulator(F&& f) {
    std::lock_guard lock(mutex_);
    return f(sim_);
  }
  // Runs f(DeviceModel&) under the lock.
  template <class F>
  auto WithModel(F&& f) {
    std::lock_guard lock(mutex_);
    return f(sim_.Model());
  }
  // The same for unit `index` of the bus (0 is the first, whose model WithModel reaches).
  template <class F>
  auto WithUnit(int index, F&& f) {
    std::lock_guard lock(mutex_);
    return f(Unit(index));
  }
  int Units() const { return 1 + static_cast<int>(others_.size()); }

  uint16_t Register(int r);
  std::vector<RecordedRequest> Requests();
  void ClearRequests();
  // Moves the model's time on (also with realTime, on top of the wall clock).
  void Advance(int milliseconds);

  bool Disconnected() const { return disconnected_; }
  // Stops the thread and closes both ends; the destructor does the same.
  void Stop();

 private:
  using Clock = std::chrono::steady_clock;

  void OpenPty();
  void OpenListener(int port);
  void Accept();
  void Run();
  void CatchUp();
  void Answer(const std::vector<uint8_t>& frame);
  void Transmit(const Reply& reply);
  bool WaitFor(std::chrono::nanoseconds duration);   // false when stopping
  bool WaitUntil(Clock::time_point deadline);        // false when stopping
  bool WriteAll(const uint8_t* bytes, size_t count);
  std::chrono::nanoseconds CharacterTime() const;
  std::chrono::milliseconds SilenceTime() const;
  void CloseMaster();
  Simulator& Unit(int index) { return index == 0 ? sim_ : *others_[static_cast<size_t>(index - 1)]; }

  SimOptions options_;
  RequestObserver observer_;
  std::mutex mutex_;
  Simulator sim_;
  std::vector<std::unique_ptr<Simulator>> others_;  // the bus's further units
  FrameAssembler assembler_;
  int master_ = -1;  // the pseudo-terminal's master end, or the connected client's socket
  int slave_ = -1;
  int listener_ = -1;  // the serial server's listening socket
  int stopFd_ = -1;
  std::string slavePath_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> disconnected_{false};
  Clock::time_point lastCatchUp_;
  Clock::time_point lastByte_;
  std::thread thread_;
};

}  // namespace kvn::devsim

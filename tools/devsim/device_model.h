#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "devsim/event_log.h"
#include "devsim/factory_setup.h"
#include "devsim/faults.h"
#include "devsim/registers.h"
#include "devsim/speed_signal.h"

namespace kvn::devsim {

// Modbus exception codes the device answers with.
enum class Exception : uint8_t {
  None = 0,
  IllegalFunction = 1,     // function code the device does not know
  IllegalDataAddress = 2,  // a register that does not exist or never accepts writes
  IllegalDataValue = 3,    // bad count, byte count or command value
  DeviceFailure = 4,       // write refused in the current state (not programming, level too low)
};

struct ModelOptions {
  DeviceIdentity identity;
  LineDefaults line;
  bool usb = false;  // reached through its USB port: slave address 1 whatever block 1 says
  std::string adminPassword = kDefaultAdminPassword;
  uint32_t clockStart = 100000000;  // device clock at power-up, seconds
  uint32_t seed = 2300;             // noise of the measured values
  int eventCapacity = EventLog::kDefaultCapacity;
};

// Programming status (register 15 low byte) while in programming mode with nothing rejected.
inline constexpr uint8_t kProgrammingMarker = 0x80;

// The speed monitor behind the Modbus interface: its register map, its working and default
// setups, programming mode and commit, access level, commands, the measured signal with
// alarms and outputs, errors, clock and event log. Knows nothing of frames or serial lines.
class DeviceModel {
 public:
  static constexpr int kStepMs = 10;
  static constexpr int kMaxReadCount = 125;
  static constexpr int kMaxWriteCount = 123;

  explicit DeviceModel(const ModelOptions& options = {}, const Faults* faults = nullptr);

  // --- Modbus services ---
  Exception ReadHolding(int start, int count, std::vector<uint16_t>& out) const;
  Exception ReadInput(int start, int count, std::vector<uint16_t>& out) const;
  Exception WriteHolding(int start, const std::vector<uint16_t>& values);

  // --- Time: the measured signal, delays, clock ---
  void Advance(int milliseconds);
  uint64_t ElapsedMs() const { return elapsedMs_; }
  uint32_t DeviceClock() const;
  // The clock reads seconds from now on and keeps counting.
  void SetDeviceClock(uint32_t seconds);

  // Restart: level, programming mode and test fall back, a power cycle is logged.
  void PowerCycle();

  // --- Inspection ---
  int SlaveAddress() const;
  uint16_t Register(int r) const;  // as a read answers it
  const Registers& Raw() const { return regs_; }
  const Registers& Working() const { return working_; }
  const Registers& Defaults() const { return defaults_; }
  bool Programming() const { return programming_; }
  int AccessLevel() const { return level_; }
  uint32_t ErrorStatus() const { return errors_; }
  uint32_t ErrorMemory() const { return errorMemory_; }
  const EventLog& Events() const { return log_; }
  EventLog& Events() { return log_; }

  // --- Scripting (tests, command line) ---
  void Poke(int r, uint16_t value) { regs_[static_cast<size_t>(r)] = value; }
  // Changes a value of the working setup as if it had been programmed (keeps the CRC valid).
  void SetWorkingRegister(int r, uint16_t value);
  // Text into `registers` working registers from r: two characters to a register, the first in
  // the low byte, padded with blanks (a tag, a comment).
  void SetWorkingText(int r, int registers, const std::string& text);
  void SetErrors(uint32_t bits);
  void SetRemoteTestInput(bool closed);
  void ForceSpeed(std::optional<float> rpm) { signal_.ForceSpeed(rpm); }
  void ForceAcceleration(std::optional<float> rpmPerSecond) { signal_.ForceAcceleration(rpmPerSecond); }

 private:
  struct Channel {  // one alarm function of one output
    bool active = false;
    int pendingMs = 0;
  };
  struct OutputState {
    Channel overspeed, underspeed, acceleration, diagnostics;
  };
  enum class Kind { Overspeed, Underspeed, Acceleration };

  static bool Exists(int r);
  std::optional<uint16_t> IdentityFault(int r) const;
  Exception CheckWritable(int start, int count, const std::vector<uint16_t>& values) const;
  void StoreWritten(int r, uint16_t value);
  void AfterCommandWrite(int r, uint16_t value);

  void ProgrammingCommand(int value);
  void EnterProgramming();
  void LeaveProgramming();
  uint8_t RejectedGroups() const;
  void DiscardPending();
  void ApplyPending();
  void RestoreDefaults();
  void SaveDefaults();
  void CopyBlock(const Registers& from, Registers& to, const BlockDescriptor& block);
  void CheckPassword();
  void DeviceCommand(int value);

  void Step(int ms);
  void UpdateMeasurements(int ms);
  void UpdateSupplies();
  void UpdateErrors();
  void UpdateTest();
  void UpdateAlarms(int ms);
  void UpdateChannel(Channel& c, Kind kind, int output, bool configured, int ms);
  void UpdateOutputs();
  void UpdateAnalogOutput();
  void LogAlarmEdges(const std::array<bool, 3>& before);
  void Track(int maxReg, int minReg, float value);
  float Noise(float peak);
  void Log(EventCode code, uint32_t value);
  std::array<bool, 3> AlarmSummary() const;

  ModelOptions options_;
  const Faults* faults_;
  Registers regs_{};      // what a read answers (pending writes included)
  Registers working_{};   // the setup the device runs with
  Registers defaults_{};  // the stored default setup
  EventLog log_;
  SpeedSignal signal_;
  std::minstd_rand random_;

  uint64_t elapsedMs_ = 0;
  uint64_t runStartMs_ = 0;  // power-up of the current run
  bool suppliesTracked_ = false;
  bool programming_ = false;
  uint16_t writtenBlocks_ = 0;  // bit = block id
  uint8_t statusLow_ = 0;
  uint8_t statusHigh_ = 0;
  int level_ = 0;
  uint32_t forcedErrors_ = 0;
  uint32_t errors_ = 0;
  uint32_t errorMemory_ = 0;
  bool remoteInput_ = false;
  bool testActive_ = false;
  float speed_ = 0;
  float acceleration_ = 0;
  bool minMaxValid_ = false;
  std::array<OutputState, 5> outputs_{};
};

}  // namespace kvn::devsim

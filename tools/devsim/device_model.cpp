#include "devsim/device_model.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "devsim/commit_check.h"
#include "devsim/setup_registers.h"

namespace kvn::devsim {

namespace {

namespace pd = kvn::pd;


constexpr int kOutputs = 5;
constexpr uint16_t kLatch = 0x01, kInvert = 0x02, kOverspeed = 0x04, kUnderspeed = 0x08,
                   kOveracceleration = 0x10, kDiagnostics = 0x40, kTestReset = 0x80;
constexpr int kPasswordRegisters = 8;
constexpr int kPasswordLast = reg::Password + kPasswordRegisters - 1;
constexpr int kReservedCommand1 = 109, kReservedCommand2 = 110;
constexpr int kRestoreAnswer = cmd::RestoreDefault, kSaveAnswer = cmd::SaveDefault;

// Blocks a default setup covers: the configuration, not the password or the factory data.
constexpr BlockId kDefaultBlocks[] = {BlockId::UserConfig, BlockId::AdminConfig, BlockId::Measurement,
                                     BlockId::Diagnostics, BlockId::Output};

// Event logged when a commit changes a block, by block id.
constexpr EventCode kConfigEvent[] = {
    EventCode::AdminPasswordChanged,          EventCode::DeviceUserConfigChanged,
    EventCode::DeviceAdminConfigChanged,      EventCode::DeviceFactoryConfigChanged,
    EventCode::MeasurementConfigChanged,      EventCode::DiagnosticsAdminConfigChanged,
    EventCode::DiagnosticsFactoryConfigChanged, EventCode::OutputAdminConfigChanged,
    EventCode::OutputFactoryConfigChanged,
};

bool IsProgrammingCommand(int v) {
  return v == cmd::EnterProgramming || v == cmd::LeaveProgramming || v == cmd::Commit ||
         v == cmd::RestoreDefault || v == cmd::SaveDefault;
}

uint32_t FloatBits(float f) { return std::bit_cast<uint32_t>(f); }

}  // namespace

DeviceModel::DeviceModel(const ModelOptions& options, const Faults* faults)
    : options_(options), faults_(faults), log_(options.eventCapacity), signal_(options.seed),
      random_(options.seed + 1) {
  FillFactorySetup(regs_, options_.identity, options_.line, options_.adminPassword);
  working_ = regs_;
  defaults_ = regs_;
  Log(EventCode::PowerCycle, errors_);
  Step(0);
}

// --- Modbus services ---

bool DeviceModel::Exists(int r) { return r >= 0 && r < kRegisterCount && BlockOfRegister(r) != nullptr; }

std::optional<uint16_t> DeviceModel::IdentityFault(int r) const {
  if (!faults_) return std::nullopt;
  if (r == reg::DeviceType && faults_->deviceType >= 0) return static_cast<uint16_t>(faults_->deviceType.load());
  if (r == reg::Firmware && faults_->firmware >= 0) return static_cast<uint16_t>(faults_->firmware.load());
  if (r == reg::AccessLevel && faults_->accessLevel >= 0) return static_cast<uint16_t>(faults_->accessLevel.load());
  const int mode = faults_->deviceMode;
  if (mode < 0) return std::nullopt;
  if (r == reg::DeviceMode) return static_cast<uint16_t>(mode);
  const BlockDescriptor& factory = Block(BlockId::FactoryDevice);
  if (r != factory.CrcRegister()) return std::nullopt;
  // The factory block stays consistent: its CRC covers the mode the device reports.
  Registers shown = regs_;
  shown[reg::DeviceMode] = static_cast<uint16_t>(mode);
  return ComputeBlockCrc(shown, factory);
}

uint16_t DeviceModel::Register(int r) const {
  if (const auto faulty = IdentityFault(r)) return *faulty;
  // The password entry and the one-shot command registers do not read back.
  if ((r >= reg::Password && r <= reg::ProgCommand) || r == reg::ClearCommand) return 0;
  return regs_[static_cast<size_t>(r)];
}

Exception DeviceModel::ReadHolding(int start, int count, std::vector<uint16_t>& out) const {
  if (count < 1 || count > kMaxReadCount) return Exception::IllegalDataValue;
  for (int r = start; r < start + count; ++r)
    if (!Exists(r)) return Exception::IllegalDataAddress;
  out.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) out[static_cast<size_t>(i)] = Register(start + i);
  return Exception::None;
}

Exception DeviceModel::ReadInput(int start, int count, std::vector<uint16_t>& out) const {
  if (count < 1 || count > kMaxReadCount) return Exception::IllegalDataValue;
  if (start < 0 || start + count > log_.InputRegisterCount()) return Exception::IllegalDataAddress;
  out.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) out[static_cast<size_t>(i)] = log_.InputRegister(start + i);
  return Exception::None;
}

Exception DeviceModel::CheckWritable(int start, int count, const std::vector<uint16_t>& values) const {
  if (count < 1 || count > kMaxWriteCount) return Exception::IllegalDataValue;
  for (int r = start; r < start + count; ++r) {
    if (!Exists(r)) return Exception::IllegalDataAddress;
    const BlockDescriptor& b = *BlockOfRegister(r);
    const bool command = b.id == BlockId::Commands && r != kReservedCommand1 && r != kReservedCommand2;
    if (!command && !(b.is_parameter && b.access < 2)) return Exception::IllegalDataAddress;
  }
  for (int r = start; r < start + count; ++r) {
    const int v = values[static_cast<size_t>(r - start)];
    if (r == reg::ProgCommand && !IsProgrammingCommand(v)) return Exception::IllegalDataValue;
    if (r == reg::ClearCommand && v > 2) return Exception::IllegalDataValue;
  }
  for (int r = start; r < start + count; ++r) {
    const BlockDescriptor& b = *BlockOfRegister(r);
    if (b.is_parameter && (!programming_ || level_ < b.access)) return Exception::DeviceFailure;
  }
  return Exception::None;
}

Exception DeviceModel::WriteHolding(int start, const std::vector<uint16_t>& values) {
  const int count = static_cast<int>(values.size());
  if (const Exception e = CheckWritable(start, count, values); e != Exception::None) return e;
  for (int i = 0; i < count; ++i) StoreWritten(start + i, values[static_cast<size_t>(i)]);
  for (int i = 0; i < count; ++i) AfterCommandWrite(start + i, values[static_cast<size_t>(i)]);
  regs_[reg::AccessLevel] = static_cast<uint16_t>(level_);
  regs_[reg::ProgStatus] = static_cast<uint16_t>(statusHigh_ << 8 | statusLow_);
  regs_[reg::SafeState] = programming_ ? 1 : 0;
  return Exception::None;
}

void DeviceModel::StoreWritten(int r, uint16_t value) {
  if (faults_ && r == faults_->alterWrittenRegister) value ^= 1;
  regs_[static_cast<size_t>(r)] = value;
  const BlockDescriptor& b = *BlockOfRegister(r);
  if (b.is_parameter) writtenBlocks_ = static_cast<uint16_t>(writtenBlocks_ | 1u << b.Number());
}

void DeviceModel::AfterCommandWrite(int r, uint16_t value) {
  if (r == kPasswordLast) CheckPassword();
  if (r == reg::ProgCommand) ProgrammingCommand(value);
  if (r == reg::ClearCommand) DeviceCommand(value);
  if (r == reg::TestReset) UpdateTest();
}

// --- Access level ---

void DeviceModel::CheckPassword() {
  bool logout = true;
  bool match = true;
  for (int k = 0; k < kPasswordRegisters; ++k) {
    const uint16_t entered = regs_[static_cast<size_t>(reg::Password + k)];
    logout = logout && entered == 0xFFFF;
    match = match && entered == working_[static_cast<size_t>(cfg::Password + k)];
  }
  level_ = !logout && match ? 1 : 0;
}

// --- Programming mode, commit, default setups ---

void DeviceModel::ProgrammingCommand(int value) {
  switch (value) {
    case cmd::EnterProgramming:
      EnterProgramming();
      break;
    case cmd::LeaveProgramming:
      statusHigh_ = 0;
      if (programming_) {
        DiscardPending();
        LeaveProgramming();
      }
      break;
    case cmd::Commit:
    case cmd::SaveDefault: {
      statusHigh_ = 0;
      if (programming_ && faults_ && faults_->programmingEndsBeforeCommit) {
        DiscardPending();
        LeaveProgramming();
      }
      if (!programming_) break;
      if (const uint8_t rejected = RejectedGroups(); rejected != 0) {
        DiscardPending();
        statusLow_ = rejected;  // still in programming mode
        break;
      }
      if (faults_ && faults_->commitKeepsOldSet) {
        DiscardPending();
        if (value == cmd::SaveDefault) statusHigh_ = kSaveAnswer;
        LeaveProgramming();
        break;
      }
      ApplyPending();
      if (const int r = faults_ ? faults_->commitAltersRegister.load() : -1; r >= 0)
        SetWorkingRegister(r, static_cast<uint16_t>(working_[static_cast<size_t>(r)] ^ 1));
      if (faults_ && faults_->deviceBitAfterCommit)
        SetWorkingRegister(reg::OutputConfig, static_cast<uint16_t>(working_[reg::OutputConfig] | kRelayDeviceBit));
      if (value == cmd::SaveDefault) {
        SaveDefaults();
        statusHigh_ = kSaveAnswer;
      }
      LeaveProgramming();
      break;
    }
    case cmd::RestoreDefault:
      statusHigh_ = 0;
      if (!programming_) break;
      RestoreDefaults();
      statusHigh_ = kRestoreAnswer;
      break;
    default:
      break;
  }
  const bool defaultCommand = value == cmd::RestoreDefault || value == cmd::SaveDefault;
  if (defaultCommand && faults_ && faults_->defaultAnswerHigh >= 0)
    statusHigh_ = static_cast<uint8_t>(faults_->defaultAnswerHigh.load());
}

void DeviceModel::EnterProgramming() {
  statusHigh_ = 0;
  statusLow_ = kProgrammingMarker;
  if (programming_) return;
  programming_ = true;
  writtenBlocks_ = 0;
  Log(EventCode::EnterProgrammingMode, errors_);
}

void DeviceModel::LeaveProgramming() {
  programming_ = false;
  statusLow_ = 0;
  Log(EventCode::ExitProgrammingMode, errors_);
}

uint8_t DeviceModel::RejectedGroups() const {
  uint8_t rejected = faults_ ? static_cast<uint8_t>(faults_->rejectGroups.load()) : 0;
  for (const auto& b : BlockTable)
    if (writtenBlocks_ & 1u << b.Number() && !BlockAcceptable(regs_, b)) rejected |= GroupOfBlock(b.id);
  return rejected;
}

void DeviceModel::CopyBlock(const Registers& from, Registers& to, const BlockDescriptor& block) {
  std::copy_n(from.begin() + block.start, block.count, to.begin() + block.start);
}

void DeviceModel::DiscardPending() {
  for (const auto& b : BlockTable)
    if (writtenBlocks_ & 1u << b.Number()) CopyBlock(working_, regs_, b);
  writtenBlocks_ = 0;
}

void DeviceModel::ApplyPending() {
  for (const auto& b : BlockTable) {
    if (!(writtenBlocks_ & 1u << b.Number())) continue;
    const bool changed = !std::equal(regs_.begin() + b.start, regs_.begin() + b.start + b.count,
                                     working_.begin() + b.start);
    CopyBlock(regs_, working_, b);
    if (changed) Log(kConfigEvent[b.Number()], regs_[static_cast<size_t>(b.CrcRegister())]);
  }
  writtenBlocks_ = 0;
}

void DeviceModel::RestoreDefaults() {
  for (BlockId id : kDefaultBlocks) {
    const BlockDescriptor& b = Block(id);
    CopyBlock(defaults_, working_, b);
    CopyBlock(defaults_, regs_, b);
    writtenBlocks_ = static_cast<uint16_t>(writtenBlocks_ & ~(1u << static_cast<int>(id)));
  }
  Log(EventCode::AdminDefaultRestored, static_cast<uint32_t>(level_));
}

void DeviceModel::SaveDefaults() {
  for (BlockId id : kDefaultBlocks) CopyBlock(working_, defaults_, Block(id));
}

// --- Device commands ---

void DeviceModel::DeviceCommand(int value) {
  if (value == 1) {
    minMaxValid_ = false;  // the next measurement starts the minimum and maximum afresh
    UpdateMeasurements(0);
  } else if (value == 2) {
    errorMemory_ = errors_;
    SetU32(regs_, reg::ErrorMemory, errorMemory_);
  }
}

void DeviceModel::SetRemoteTestInput(bool closed) {
  remoteInput_ = closed;
  UpdateTest();
}

void DeviceModel::SetErrors(uint32_t bits) {
  forcedErrors_ = bits;
  UpdateErrors();
}

void DeviceModel::SetWorkingRegister(int r, uint16_t value) {
  const BlockDescriptor* b = BlockOfRegister(r);
  working_[static_cast<size_t>(r)] = value;
  regs_[static_cast<size_t>(r)] = value;
  if (b && b->is_parameter) {
    StoreBlockCrc(working_, *b);
    StoreBlockCrc(regs_, *b);
  }
}

void DeviceModel::SetWorkingText(int r, int registers, const std::string& text) {
  std::string padded = text.substr(0, static_cast<size_t>(2 * registers));
  padded.resize(static_cast<size_t>(2 * registers), ' ');
  for (int i = 0; i < registers; ++i)
    SetWorkingRegister(r + i, static_cast<uint16_t>(static_cast<uint8_t>(padded[2 * i]) |
                                                    static_cast<uint8_t>(padded[2 * i + 1]) << 8));
}

void DeviceModel::PowerCycle() {
  if (programming_) DiscardPending();
  programming_ = false;
  statusLow_ = statusHigh_ = 0;
  level_ = 0;
  regs_[reg::TestReset] = 0;
  outputs_ = {};
  runStartMs_ = elapsedMs_;  // the machine runs up again; the clock keeps going
  minMaxValid_ = false;
  suppliesTracked_ = false;
  Log(EventCode::PowerCycle, errors_);
  Step(0);
}

// --- Time ---

uint32_t DeviceModel::DeviceClock() const {
  return options_.clockStart + static_cast<uint32_t>(elapsedMs_ / 1000);
}

void DeviceModel::SetDeviceClock(uint32_t seconds) {
  options_.clockStart = seconds - static_cast<uint32_t>(elapsedMs_ / 1000);
  SetU32(regs_, reg::DeviceClock, DeviceClock());
}

int DeviceModel::SlaveAddress() const {
  if (options_.usb) return 1;
  const int a = working_[cfg::ModbusAddress];
  return a >= 1 && a <= 254 ? a : options_.line.address;
}

void DeviceModel::Advance(int milliseconds) {
  while (milliseconds > 0) {
    const int ms = std::min(milliseconds, kStepMs);
    Step(ms);
    milliseconds -= ms;
  }
}

void DeviceModel::Step(int ms) {
  elapsedMs_ += static_cast<uint64_t>(ms);
  UpdateMeasurements(ms);
  UpdateSupplies();
  UpdateErrors();
  UpdateTest();
  UpdateAlarms(ms);
  UpdateOutputs();
  UpdateAnalogOutput();
  SetU32(regs_, reg::DeviceClock, DeviceClock());
  regs_[reg::AccessLevel] = static_cast<uint16_t>(level_);
  regs_[reg::ProgStatus] = static_cast<uint16_t>(statusHigh_ << 8 | statusLow_);
  regs_[reg::SafeState] = programming_ ? 1 : 0;
}

float DeviceModel::Noise(float peak) {
  std::uniform_real_distribution<float> d(-peak, peak);
  return d(random_);
}

void DeviceModel::Track(int maxReg, int minReg, float value) {
  if (!minMaxValid_ || value > GetFloat(regs_, maxReg)) SetFloat(regs_, maxReg, value);
  if (!minMaxValid_ || value < GetFloat(regs_, minReg)) SetFloat(regs_, minReg, value);
}

void DeviceModel::UpdateMeasurements(int ms) {
  if (ms > 0 || !minMaxValid_) {
    const auto s = signal_.At(static_cast<double>(elapsedMs_ - runStartMs_) / 1000.0, GetFloat(working_, cfg::RatedSpeed));
    speed_ = s.speed;
    acceleration_ = s.acceleration;
  }
  const float teeth = static_cast<float>(working_[cfg::Teeth]);
  SetFloat(regs_, reg::Speed, speed_);
  SetFloat(regs_, pd::Acceleration, acceleration_);
  SetFloat(regs_, pd::Frequency, speed_ * teeth / 60.0f);
  SetFloat(regs_, pd::FrequencyAcceleration, acceleration_ * teeth / 60.0f);
  Track(pd::SpeedMax, pd::SpeedMin, speed_);
  Track(pd::AccelerationMax, pd::AccelerationMin, acceleration_);
  minMaxValid_ = true;
}

void DeviceModel::UpdateSupplies() {
  const double minutes = static_cast<double>(elapsedMs_ - runStartMs_) / 60000.0;
  const float warmUp = static_cast<float>(4.0 * (1.0 - std::exp(-minutes / 10.0)));
  SetFloat(regs_, reg::CpuTemperature, 38.0f + warmUp + Noise(0.05f));
  SetFloat(regs_, pd::CpuVcc, 3.30f + Noise(0.01f));
  SetFloat(regs_, pd::RailSupply, 12.0f + Noise(0.05f));
  SetFloat(regs_, pd::MainSupply, 24.1f + Noise(0.1f));
  const float slaveVcc = 3.29f + Noise(0.01f);
  SetFloat(regs_, pd::SlaveVcc, slaveVcc);
  // The min/max pairs of the supplies and sensor channels run from power-up on.
  const bool first = !suppliesTracked_;
  suppliesTracked_ = true;
  auto track = [&](int maxReg, int minReg, float high, float low) {
    if (first || high > GetFloat(regs_, maxReg)) SetFloat(regs_, maxReg, high);
    if (first || low < GetFloat(regs_, minReg)) SetFloat(regs_, minReg, low);
  };
  track(pd::SlaveVccMax, pd::SlaveVccMin, slaveVcc, slaveVcc);
  const float sensorSupply = 23.8f + Noise(0.05f);
  track(pd::SensorSupplyMax, pd::SensorSupplyMin, sensorSupply, sensorSupply);
  // A 2-wire sensor switches between its low and high current with every tooth.
  track(pd::SensorCurrent1Max, pd::SensorCurrent1Min, 14.0f + Noise(0.1f), 7.0f + Noise(0.1f));
  track(pd::SensorCurrent2Max, pd::SensorCurrent2Min, 14.1f + Noise(0.1f), 7.1f + Noise(0.1f));
  track(pd::SensorVoltage1Max, pd::SensorVoltage1Min, 15.0f + Noise(0.1f), 8.2f + Noise(0.1f));
  track(pd::SensorVoltage2Max, pd::SensorVoltage2Min, 15.1f + Noise(0.1f), 8.3f + Noise(0.1f));
}

void DeviceModel::UpdateErrors() {
  if (forcedErrors_ != errors_) {
    errors_ = forcedErrors_;
    Log(EventCode::ErrorStatusChanged, errors_);
  }
  errorMemory_ |= errors_;
  SetU32(regs_, reg::ErrorStatus, errors_);
  SetU32(regs_, reg::ErrorMemory, errorMemory_);
}

void DeviceModel::UpdateTest() {
  regs_[reg::RemoteTestInput] = remoteInput_ ? 1 : 0;
  const bool active = regs_[reg::TestReset] != 0 || remoteInput_;
  if (active == testActive_) return;
  testActive_ = active;
  Log(active ? EventCode::TestInputOn : EventCode::TestInputOff, errors_);
  // Switching the test off resets the latched alarms; those whose cause remains trip again.
  for (int i = 0; i < kOutputs && !active; ++i)
    if (working_[static_cast<size_t>(reg::OutputConfig + i)] & kLatch) outputs_[static_cast<size_t>(i)] = {};
  UpdateOutputs();
}

std::array<bool, 3> DeviceModel::AlarmSummary() const {
  std::array<bool, 3> any{};
  for (const auto& o : outputs_) {
    any[0] = any[0] || o.overspeed.active;
    any[1] = any[1] || o.underspeed.active;
    any[2] = any[2] || o.acceleration.active;
  }
  return any;
}

void DeviceModel::UpdateChannel(Channel& c, Kind kind, int output, bool configured, int ms) {
  if (!configured) {
    c = {};
    return;
  }
  const int i2 = 2 * output;
  const float cutoff = GetFloat(working_, cfg::AccelerationCutoff);
  const float magnitude = std::fabs(acceleration_);
  float limit = 0, hysteresis = 0;
  uint32_t delayMs = 0;
  bool on = false, off = false;
  switch (kind) {
    case Kind::Overspeed:
      limit = GetFloat(working_, cfg::OverspeedLimit + i2);
      hysteresis = GetFloat(working_, cfg::OverspeedHysteresis + i2);
      delayMs = GetU32(working_, cfg::OverspeedDelay + i2);
      on = speed_ > limit;
      off = speed_ < limit - hysteresis;
      break;
    case Kind::Underspeed:
      limit = GetFloat(working_, cfg::UnderspeedLimit + i2);
      hysteresis = GetFloat(working_, cfg::UnderspeedHysteresis + i2);
      delayMs = GetU32(working_, cfg::UnderspeedDelay + i2);
      on = speed_ < limit;
      off = speed_ > limit + hysteresis;
      break;
    case Kind::Acceleration:
      limit = GetFloat(working_, cfg::AccelerationLimit + i2);
      hysteresis = GetFloat(working_, cfg::AccelerationHysteresis + i2);
      delayMs = GetU32(working_, cfg::AccelerationDelay + i2);
      on = speed_ >= cutoff && magnitude > limit;
      off = speed_ < cutoff || magnitude < limit - hysteresis;
      break;
  }
  const bool latching = working_[static_cast<size_t>(reg::OutputConfig + output)] & kLatch;
  if (!c.active) {
    c.pendingMs = on ? c.pendingMs + ms : 0;
    c.active = on && static_cast<uint32_t>(c.pendingMs) >= delayMs;
  } else if (off && !latching) {
    c = {};
  }
}

void DeviceModel::UpdateAlarms(int ms) {
  const auto before = AlarmSummary();
  const bool testTrips = testActive_ && working_[cfg::TestAction] == 1;
  const bool diagnosticCause = errors_ != 0 || programming_ || testTrips;
  for (int i = 0; i < kOutputs; ++i) {
    OutputState& o = outputs_[static_cast<size_t>(i)];
    const uint16_t w = working_[static_cast<size_t>(reg::OutputConfig + i)];
    UpdateChannel(o.overspeed, Kind::Overspeed, i, w & kOverspeed, ms);
    UpdateChannel(o.underspeed, Kind::Underspeed, i, w & kUnderspeed, ms);
    UpdateChannel(o.acceleration, Kind::Acceleration, i, w & kOveracceleration, ms);
    const bool diagnostics = (w & kDiagnostics) || i < 2;  // relays 1 and 2 always carry it
    if (!diagnostics) o.diagnostics = {};
    else if (diagnosticCause) o.diagnostics.active = true;
    else if (!(w & kLatch)) o.diagnostics.active = false;
  }
  LogAlarmEdges(before);
}

void DeviceModel::LogAlarmEdges(const std::array<bool, 3>& before) {
  const auto after = AlarmSummary();
  constexpr EventCode on[] = {EventCode::OverspeedOn, EventCode::UnderspeedOn, EventCode::OveraccelerationOn};
  constexpr EventCode off[] = {EventCode::OverspeedOff, EventCode::UnderspeedOff, EventCode::OveraccelerationOff};
  for (size_t k = 0; k < 3; ++k) {
    if (before[k] == after[k]) continue;
    const float value = k == 2 ? acceleration_ : speed_;
    Log(after[k] ? on[k] : off[k], FloatBits(value));
  }
}

void DeviceModel::UpdateOutputs() {
  uint16_t contacts = 0;
  for (int i = 0; i < kOutputs; ++i) {
    const OutputState& o = outputs_[static_cast<size_t>(i)];
    const uint16_t w = working_[static_cast<size_t>(reg::OutputConfig + i)];
    uint16_t active = 0;
    if (o.overspeed.active) active |= kOverspeed;
    if (o.underspeed.active) active |= kUnderspeed;
    if (o.acceleration.active) active |= kOveracceleration;
    if (o.diagnostics.active) active |= kDiagnostics;
    if (testActive_ && (w & kTestReset)) active |= kTestReset;
    regs_[static_cast<size_t>(reg::ActiveAlarms + i)] = active;
    // Inverted outputs are energised while healthy; the safe state de-energises all.
    const bool tripped = active != 0;
    const bool inverted = (w & kInvert) || i < 2;
    const bool closed = !programming_ && (inverted ? !tripped : tripped);
    if (closed) contacts = static_cast<uint16_t>(contacts | 1u << i);
  }
  regs_[reg::Contacts] = contacts;
}

void DeviceModel::UpdateAnalogOutput() {
  float out = GetFloat(working_, cfg::AnalogOnError);
  if (errors_ == 0 && !programming_) {
    const float at4 = GetFloat(working_, cfg::AnalogAt4mA);
    const float at20 = GetFloat(working_, cfg::AnalogAt20mA);
    out = at20 != at4 ? 4.0f + 16.0f * (speed_ - at4) / (at20 - at4) : 4.0f;
    const float low = GetFloat(working_, cfg::AnalogMin);
    const float high = GetFloat(working_, cfg::AnalogMax);
    if (low <= high) out = std::clamp(out, low, high);
  }
  SetFloat(regs_, pd::AnalogOutput, out);
  SetFloat(regs_, pd::AnalogFeedback, out + Noise(0.01f));
}

void DeviceModel::Log(EventCode code, uint32_t value) { log_.Add(DeviceClock(), code, value); }

}  // namespace kvn::devsim

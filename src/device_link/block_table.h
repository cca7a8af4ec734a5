#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kvn {

// The device's register blocks by id. A block's id is its number in the device's register
// map; its row in BlockTable is a different thing (callers hold the descriptor for that).
enum class BlockId : uint8_t {
  Password = 0,          // admin password
  UserConfig = 1,        // device configuration, user level
  AdminConfig = 2,       // device configuration, admin level
  FactoryDevice = 3,     // factory device settings
  Measurement = 4,       // measurement configuration
  Diagnostics = 5,       // diagnostics configuration
  FactoryDiagnostics = 6,
  Output = 7,            // output configuration
  FactoryOutput = 8,
  Identification = 9,    // identification and status
  Commands = 10,         // command registers
  ProcessData = 11,      // process data and diagnostic measurements
  FurtherData1 = 12,     // further device data, polled only
  FurtherData2 = 13,
};

struct BlockDescriptor {
  BlockId id;
  int32_t start;
  int32_t count;
  bool is_parameter;   // read, compared, written and CRC-protected as a whole
  int32_t access;      // 0 user, 1 admin, 2 factory (never written)
  int32_t page;        // 3 tab_device, 4 tab_measure, 5 tab_output, 6 tab_diag, 0 none

  int32_t CrcRegister() const { return start + count - 1; }
  int Number() const { return static_cast<int>(id); }
};

inline constexpr int kBlockRows = 14;

// Order matters: reads, writes and the poll walk it top down.
inline constexpr std::array<BlockDescriptor, kBlockRows> BlockTable = {{
    {BlockId::Password, 1000, 10, true, 1, 3},
    {BlockId::UserConfig, 2000, 46, true, 0, 3},
    {BlockId::AdminConfig, 2500, 42, true, 1, 3},
    {BlockId::FactoryDevice, 3000, 26, true, 2, 0},
    {BlockId::Measurement, 4000, 20, true, 1, 4},
    {BlockId::Diagnostics, 4500, 18, true, 1, 6},
    {BlockId::FactoryDiagnostics, 5000, 56, true, 2, 0},
    {BlockId::Output, 5500, 150, true, 1, 5},
    {BlockId::FactoryOutput, 6000, 14, true, 2, 0},
    {BlockId::Identification, 0, 26, false, 0, 0},
    {BlockId::Commands, 100, 13, false, 0, 0},
    {BlockId::ProcessData, 500, 63, false, 0, 0},
    {BlockId::FurtherData1, 6500, 44, false, 0, 0},
    {BlockId::FurtherData2, 7000, 26, false, 0, 0},
}};

// The table is in id order, so an id finds its row directly.
inline constexpr bool IsBlockId(int number) { return number >= 0 && number < kBlockRows; }
inline constexpr const BlockDescriptor& Block(BlockId id) { return BlockTable[static_cast<size_t>(id)]; }
// A block number that comes from outside (a request, a test table), or nullptr.
inline constexpr const BlockDescriptor* FindBlock(int number) {
  return IsBlockId(number) ? &BlockTable[static_cast<size_t>(number)] : nullptr;
}

static_assert([] {
  for (int i = 0; i < kBlockRows; ++i)
    if (static_cast<int>(BlockTable[static_cast<size_t>(i)].id) != i) return false;
  return true;
}());

// Registers the program interprets outside the parameter table.
namespace reg {
inline constexpr int DeviceType = 0;        // 2300
inline constexpr int Firmware = 1;          // version x 100, accepted 116..129
inline constexpr int FirmwareCrc = 2;
inline constexpr int SerialNumber = 4;      // 16 characters
inline constexpr int ErrorStatus = 12;      // 32-bit
inline constexpr int AccessLevel = 14;
inline constexpr int ProgStatus = 15;       // low byte programming mode/commit, high byte defaults
inline constexpr int SafeState = 17;
inline constexpr int DeviceClock = 20;      // 32-bit seconds
inline constexpr int CpuTemperature = 22;   // float
inline constexpr int ErrorMemory = 24;      // 32-bit
inline constexpr int Password = 100;        // 100..107
inline constexpr int ProgCommand = 108;
inline constexpr int ClearCommand = 111;
inline constexpr int TestReset = 112;
inline constexpr int Speed = 500;
inline constexpr int RemoteTestInput = 556;
inline constexpr int ActiveAlarms = 557;    // 557..561
inline constexpr int Contacts = 562;
inline constexpr int TagNumber = 2016;      // 16 characters
inline constexpr int HardwareVersion = 3008;
inline constexpr int DeviceMode = 3024;
inline constexpr int LatchForceMask = 5026; // 32-bit, latch bits the factory forces on
inline constexpr int OffsetVoltage = 5052;  // float, offset of the 2-wire voltage input
inline constexpr int OutputConfig = 5500;   // 5500..5504
}  // namespace reg

// Bit 5 of the five relay words is the device's own, no setting: every set the program adopts
// (a device read, a file load) has it cleared, and comparisons leave it out.
inline constexpr int kRelayWords = 5;
inline constexpr uint16_t kRelayDeviceBit = 0x20;
// The bits of register r that the device owns, which no set of the program carries.
inline constexpr uint16_t DeviceOwnedBits(int r) {
  return r >= reg::OutputConfig && r < reg::OutputConfig + kRelayWords ? kRelayDeviceBit : 0;
}

// Process data and diagnostic measurements (block 11), floats.
namespace pd {
inline constexpr int Speed = reg::Speed, Acceleration = 502, Frequency = 504, FrequencyAcceleration = 508;
inline constexpr int AnalogOutput = 510, AnalogFeedback = 512;
inline constexpr int SpeedMax = 514, SpeedMin = 516, AccelerationMax = 518, AccelerationMin = 520;
inline constexpr int CpuVcc = 522, RailSupply = 524, MainSupply = 526;
inline constexpr int SlaveVcc = 530, SlaveVccMax = 532, SlaveVccMin = 534;
inline constexpr int SensorSupplyMax = 536, SensorSupplyMin = 538;
inline constexpr int SensorCurrent1Max = 540, SensorCurrent1Min = 542;
inline constexpr int SensorCurrent2Max = 544, SensorCurrent2Min = 546;
inline constexpr int SensorVoltage1Max = 548, SensorVoltage1Min = 550;
inline constexpr int SensorVoltage2Max = 552, SensorVoltage2Min = 554;
}  // namespace pd

inline constexpr int kAcceptedDeviceType = 2300;
inline constexpr int kFirmwareMin = 116;
inline constexpr int kFirmwareMax = 129;

// Programming command values for register 108.
namespace cmd {
inline constexpr int EnterProgramming = 51;
inline constexpr int LeaveProgramming = 0;
inline constexpr int Commit = 170;
inline constexpr int RestoreDefault = 85;
inline constexpr int SaveDefault = 102;
}  // namespace cmd

}  // namespace kvn

#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kvn {

struct BlockDescriptor {
  uint8_t id;
  int32_t start;
  int32_t count;
  bool is_parameter;   // read, compared, written and CRC-protected as a whole
  int32_t access;      // 0 user, 1 admin, 2 factory (never written)
  int32_t page;        // 3 tab_device, 4 tab_measure, 5 tab_output, 6 tab_diag, 0 none

  int32_t CrcRegister() const { return start + count - 1; }
};

inline constexpr int kBlockRows = 14;

// The device's register blocks. Order matters: reads, writes and the poll walk it top down.
// Callers address a row either by id or by row number 1..14.
inline constexpr std::array<BlockDescriptor, kBlockRows> BlockTable = {{
    {0, 1000, 10, true, 1, 3},    // admin password
    {1, 2000, 46, true, 0, 3},    // device configuration, user level
    {2, 2500, 42, true, 1, 3},    // device configuration, admin level
    {3, 3000, 26, true, 2, 0},    // factory device settings
    {4, 4000, 20, true, 1, 4},    // measurement configuration
    {5, 4500, 18, true, 1, 6},    // diagnostics configuration
    {6, 5000, 56, true, 2, 0},    // factory diagnostics settings
    {7, 5500, 150, true, 1, 5},   // output configuration
    {8, 6000, 14, true, 2, 0},    // factory output settings
    {9, 0, 26, false, 0, 0},      // identification and status
    {10, 100, 13, false, 0, 0},   // command registers
    {11, 500, 63, false, 0, 0},   // process data and diagnostic measurements
    {12, 6500, 44, false, 0, 0},  // further device data, polled only
    {13, 7000, 26, false, 0, 0},  // further device data, polled only
}};

// Row 1..14 → descriptor.
inline const BlockDescriptor& BlockRow(int row) { return BlockTable[static_cast<size_t>(row - 1)]; }

// First row with that id, or nullptr.
inline const BlockDescriptor* FindBlock(int id) {
  for (const auto& b : BlockTable)
    if (b.id == id) return &b;
  return nullptr;
}

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
inline constexpr int SpeedRange = 4008;     // float
inline constexpr int OutputConfig = 5500;   // 5500..5504
}  // namespace reg

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

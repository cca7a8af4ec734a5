#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace kvn::devsim {

// Event codes the device writes into its log.
enum class EventCode : uint8_t {
  PowerCycle = 1,
  ErrorStatusChanged = 2,
  OverspeedOn = 3,
  OverspeedOff = 4,
  UnderspeedOn = 5,
  UnderspeedOff = 6,
  OveraccelerationOn = 7,
  OveraccelerationOff = 8,
  DeviceUserConfigChanged = 11,
  DeviceAdminConfigChanged = 12,
  DeviceFactoryConfigChanged = 13,
  MeasurementConfigChanged = 14,
  DiagnosticsAdminConfigChanged = 15,
  DiagnosticsFactoryConfigChanged = 16,
  OutputAdminConfigChanged = 17,
  AdminPasswordChanged = 18,
  OutputFactoryConfigChanged = 19,
  AdminDefaultRestored = 20,
  TestInputOn = 21,
  TestInputOff = 22,
  EnterProgrammingMode = 23,
  ExitProgrammingMode = 24,
  EndOfLog = 255,
};

struct EventRecord {
  uint32_t time = 0;   // device clock, seconds
  uint32_t value = 0;  // error status, float bits, block CRC or a number, by code
  uint8_t code = 0;
  uint8_t check = 0;
};

// The log as the device keeps it: oldest record first, the oldest dropped when full. Read with
// function 4, five input registers per record; the records after the last read as erased
// memory (all bits set), whose code byte 255 ends the log.
class EventLog {
 public:
  static constexpr int kRegistersPerRecord = 5;
  static constexpr int kDefaultCapacity = 2000;

  explicit EventLog(int capacity = kDefaultCapacity);

  void Add(uint32_t time, EventCode code, uint32_t value);
  // Any code byte, also one the device would never write (a test's damaged record).
  void AddRaw(uint32_t time, uint8_t code, uint32_t value);
  // Keeps the newest records that fit; a log larger than the 3000 slots a master reads.
  void SetCapacity(int capacity);
  void Clear() { records_.clear(); }

  int Size() const { return static_cast<int>(records_.size()); }
  const EventRecord& At(int i) const { return records_[static_cast<size_t>(i)]; }
  std::vector<EventRecord> Records() const { return {records_.begin(), records_.end()}; }
  // Codes of all records, oldest first (handy in tests).
  std::vector<int> Codes() const;

  // The log memory as input registers: room for 3000 records (what a master reads at most in
  // requests of 50 registers), and always one record more than the log holds, so that a full
  // log still ends with a marker.
  static constexpr int kRecordSlots = 3000;
  int InputRegisterCount() const {
    return (capacity_ + 1 > kRecordSlots ? capacity_ + 1 : kRecordSlots) * kRegistersPerRecord;
  }
  uint16_t InputRegister(int r) const;

  // The check byte: low byte of the Modbus CRC over time, value (low byte first) and code.
  static uint8_t CheckByte(uint32_t time, uint32_t value, uint8_t code);

 private:
  int capacity_;
  std::deque<EventRecord> records_;
};

}  // namespace kvn::devsim

#include "devsim/event_log.h"

#include "device_link/crc16.h"

namespace kvn::devsim {

EventLog::EventLog(int capacity) : capacity_(capacity > 0 ? capacity : 1) {}

void EventLog::Add(uint32_t time, EventCode code, uint32_t value) {
  AddRaw(time, static_cast<uint8_t>(code), value);
}

void EventLog::AddRaw(uint32_t time, uint8_t code, uint32_t value) {
  records_.push_back({time, value, code, CheckByte(time, value, code)});
  while (static_cast<int>(records_.size()) > capacity_) records_.pop_front();
}

void EventLog::SetCapacity(int capacity) {
  capacity_ = capacity > 0 ? capacity : 1;
  while (static_cast<int>(records_.size()) > capacity_) records_.pop_front();
}

std::vector<int> EventLog::Codes() const {
  std::vector<int> codes;
  codes.reserve(records_.size());
  for (const auto& r : records_) codes.push_back(r.code);
  return codes;
}

uint16_t EventLog::InputRegister(int r) const {
  const int index = r / kRegistersPerRecord;
  if (index >= Size()) return 0xFFFF;
  const EventRecord& e = records_[static_cast<size_t>(index)];
  switch (r % kRegistersPerRecord) {
    case 0: return static_cast<uint16_t>(e.time & 0xFFFF);
    case 1: return static_cast<uint16_t>(e.time >> 16);
    case 2: return static_cast<uint16_t>(e.value & 0xFFFF);
    case 3: return static_cast<uint16_t>(e.value >> 16);
    default: return static_cast<uint16_t>(e.check << 8 | e.code);
  }
}

uint8_t EventLog::CheckByte(uint32_t time, uint32_t value, uint8_t code) {
  const uint8_t bytes[9] = {
      static_cast<uint8_t>(time), static_cast<uint8_t>(time >> 8),
      static_cast<uint8_t>(time >> 16), static_cast<uint8_t>(time >> 24),
      static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
      static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24), code};
  return ComputeCrc16(bytes, sizeof bytes).low;
}

}  // namespace kvn::devsim

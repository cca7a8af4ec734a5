#pragma once
#include <cstddef>
#include <cstdint>

namespace kvn {

// Modbus RTU CRC-16 (reflected polynomial 0xA001, initial 0xFFFF, no final XOR).
// Value() is the CRC as a number; its low byte goes on the wire first.
struct Crc16 {
  uint8_t low = 0xFF;   // transmitted first
  uint8_t high = 0xFF;  // transmitted second

  void Add(uint8_t byte);
  // A 16-bit register as the block checksums take it: low byte first, then high byte.
  void AddRegister(uint16_t value) {
    Add(static_cast<uint8_t>(value & 0xFF));
    Add(static_cast<uint8_t>(value >> 8));
  }
  uint16_t Value() const { return static_cast<uint16_t>(high << 8 | low); }
};

Crc16 ComputeCrc16(const uint8_t* bytes, size_t length);

}  // namespace kvn

#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kvn::devsim::rtu {

inline constexpr uint8_t kReadHolding = 3;
inline constexpr uint8_t kReadInput = 4;
inline constexpr uint8_t kWriteMultiple = 16;
inline constexpr uint8_t kBroadcast = 0;
inline constexpr uint8_t kExceptionFlag = 0x80;
inline constexpr int kMaxFrame = 256;  // the largest RTU frame on the line

// Length of the request at the head of buffer, CRC included, as far as the function code
// tells it: > 0 the length, 0 not enough bytes yet to know, -1 a function whose length only
// the silence after it tells.
int RequestLength(std::span<const uint8_t> buffer);

// A frame whose last two bytes are the Modbus CRC (low byte first) of the bytes before.
// The CRC itself and AppendCrc are the master's (device_link/modbus_frames.h): one wire format.
bool CrcMatches(std::span<const uint8_t> frame);

// The fields of a request the simulator acts on. start and count are those of functions
// 3, 4 and 16; values and byteCount only for 16.
struct Request {
  uint8_t address = 0;
  uint8_t function = 0;
  uint16_t start = 0;
  uint16_t count = 0;
  uint8_t byteCount = 0;
  std::vector<uint16_t> values;
  bool wellFormed = false;  // length and byte count agree with the count
};
// Decodes a frame whose CRC has been checked.
Request ParseRequest(std::span<const uint8_t> frame);

// Responses, CRC appended.
std::vector<uint8_t> ReadResponse(uint8_t address, uint8_t function, const std::vector<uint16_t>& values);
std::vector<uint8_t> WriteResponse(uint8_t address, uint16_t start, uint16_t count);
std::vector<uint8_t> ExceptionResponse(uint8_t address, uint8_t function, uint8_t code);

}  // namespace kvn::devsim::rtu

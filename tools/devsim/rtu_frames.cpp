#include "devsim/rtu_frames.h"

#include "device_link/modbus_frames.h"

namespace kvn::devsim::rtu {

namespace {
uint16_t Word(std::span<const uint8_t> f, size_t at) {
  return static_cast<uint16_t>(f[at] << 8 | f[at + 1]);
}
void PushWord(std::vector<uint8_t>& f, uint16_t w) {
  f.push_back(static_cast<uint8_t>(w >> 8));
  f.push_back(static_cast<uint8_t>(w & 0xFF));
}
}  // namespace

int RequestLength(std::span<const uint8_t> buffer) {
  if (buffer.size() < 2) return 0;
  switch (buffer[1]) {
    case 1: case 2: case 3: case 4: case 5: case 6:
      return 8;  // address, function, two words, CRC
    case 15: case 16:
      // address, function, start, count, byte count, data, CRC
      return buffer.size() < 7 ? 0 : 9 + buffer[6];
    default:
      return -1;
  }
}

bool CrcMatches(std::span<const uint8_t> frame) {
  return frame.size() >= 3 && FrameCrcMatches(frame.data(), static_cast<int>(frame.size()) - 2);
}

Request ParseRequest(std::span<const uint8_t> frame) {
  Request r;
  if (frame.size() < 4) return r;
  r.address = frame[0];
  r.function = frame[1];
  if (frame.size() < 8) return r;
  r.start = Word(frame, 2);
  r.count = Word(frame, 4);
  if (r.function == kReadHolding || r.function == kReadInput) {
    r.wellFormed = frame.size() == 8;
  } else if (r.function == kWriteMultiple && frame.size() >= 9) {
    r.byteCount = frame[6];
    r.wellFormed = r.byteCount == 2 * r.count && frame.size() == 9u + r.byteCount;
    if (r.wellFormed)
      for (size_t i = 0; i < r.count; ++i) r.values.push_back(Word(frame, 7 + 2 * i));
  }
  return r;
}

std::vector<uint8_t> ReadResponse(uint8_t address, uint8_t function, const std::vector<uint16_t>& values) {
  std::vector<uint8_t> f{address, function, static_cast<uint8_t>(2 * values.size())};
  for (uint16_t v : values) PushWord(f, v);
  kvn::AppendCrc(f);
  return f;
}

std::vector<uint8_t> WriteResponse(uint8_t address, uint16_t start, uint16_t count) {
  std::vector<uint8_t> f{address, kWriteMultiple};
  PushWord(f, start);
  PushWord(f, count);
  kvn::AppendCrc(f);
  return f;
}

std::vector<uint8_t> ExceptionResponse(uint8_t address, uint8_t function, uint8_t code) {
  std::vector<uint8_t> f{address, static_cast<uint8_t>(function | kExceptionFlag), code};
  kvn::AppendCrc(f);
  return f;
}

}  // namespace kvn::devsim::rtu

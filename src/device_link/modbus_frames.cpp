#include "device_link/modbus_frames.h"

#include "device_link/crc16.h"

namespace kvn {
namespace {

void PutWord(std::vector<uint8_t>& frame, int value) {
  frame.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
  frame.push_back(static_cast<uint8_t>(value & 0xFF));
}

int GetWord(const uint8_t* frame, int at) { return frame[at] << 8 | frame[at + 1]; }

}  // namespace

void AppendCrc(std::vector<uint8_t>& frame) {
  const Crc16 crc = ComputeCrc16(frame.data(), frame.size());
  frame.push_back(crc.low);
  frame.push_back(crc.high);
}

std::vector<uint8_t> BuildReadRequest(int function, int slave, int start, int count) {
  std::vector<uint8_t> frame;
  frame.reserve(8);
  frame.push_back(static_cast<uint8_t>(slave));
  frame.push_back(static_cast<uint8_t>(function));
  PutWord(frame, start);
  PutWord(frame, count);
  AppendCrc(frame);
  return frame;
}

std::vector<uint8_t> BuildWriteRequest(int slave, int start, int count, const int32_t* cells) {
  std::vector<uint8_t> frame;
  frame.reserve(static_cast<size_t>(9 + 2 * count));
  frame.push_back(static_cast<uint8_t>(slave));
  frame.push_back(kFnWriteMultiple);
  PutWord(frame, start);
  PutWord(frame, count);
  frame.push_back(static_cast<uint8_t>((2 * count) & 0xFF));
  for (int i = 0; i < count; ++i) PutWord(frame, cells[i] & 0xFFFF);
  AppendCrc(frame);
  return frame;
}

bool FrameCrcMatches(const uint8_t* frame, int length) {
  const Crc16 crc = ComputeCrc16(frame, static_cast<size_t>(length));
  return crc.low == frame[length] && crc.high == frame[length + 1];
}

bool ReadAnswerMatches(const uint8_t* frame, int function, int count) {
  return frame[1] == function && frame[2] == ((2 * count) & 0xFF);
}

bool WriteAnswerMatches(const uint8_t* frame, int start, int count) {
  return frame[1] == kFnWriteMultiple && GetWord(frame, 2) == (start & 0xFFFF) &&
         GetWord(frame, 4) == (count & 0xFFFF);
}

bool AnswerAccepted(const uint8_t* frame, int function, int start, int count) {
  if (function == kFnWriteMultiple)
    return FrameCrcMatches(frame, kWriteAnswerLength) && WriteAnswerMatches(frame, start, count);
  return FrameCrcMatches(frame, ReadAnswerLength(count)) && ReadAnswerMatches(frame, function, count);
}

int WireTimeMs(int bytes, int baud, int bitsPerCharacter) {
  if (baud <= 0) return 0;
  const long long bits = static_cast<long long>(bytes) * bitsPerCharacter;
  return static_cast<int>((bits * 1000 + baud - 1) / baud);
}

}  // namespace kvn

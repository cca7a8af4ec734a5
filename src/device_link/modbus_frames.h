#pragma once
#include <cstdint>
#include <vector>

namespace kvn {

// Outcome of one Modbus transaction.
enum class ModbusResult : int {
  Ok = 0,          // complete response with a correct CRC
  NoResponse = 2,  // time-out, port closed, request not sent, negative start register
  BadCrc = 3,      // a frame of the expected length, but not the answer to this request
};

inline constexpr int kFnReadHolding = 3;
inline constexpr int kFnReadInput = 4;
inline constexpr int kFnWriteMultiple = 16;
inline constexpr int kMaxReadCount = 125;   // 3 + 250 + 2 = 255 bytes of answer
inline constexpr int kMaxWriteCount = 123;  // 9 + 246 = 255 bytes of request

// Pure frame building and checking: bytes in, bytes or a verdict out, no I/O.

// Functions 3 and 4: address, function, start, count, CRC (8 bytes).
std::vector<uint8_t> BuildReadRequest(int function, int slave, int start, int count);
// Function 16: address, 0x10, start, count, byte count, words high byte first, CRC.
// Each cell contributes its low 16 bits.
std::vector<uint8_t> BuildWriteRequest(int slave, int start, int count, const int32_t* cells);

// Length of the expected answer without its CRC.
inline int ReadAnswerLength(int count) { return 3 + 2 * count; }
inline constexpr int kWriteAnswerLength = 6;

// Appends the CRC of the frame, low byte first as Modbus RTU transmits it.
void AppendCrc(std::vector<uint8_t>& frame);

// A frame of length + 2 bytes: true when the last two bytes are the CRC of the rest.
bool FrameCrcMatches(const uint8_t* frame, int length);

// A frame with a correct CRC is only this request's answer when it echoes the request:
// same function code and byte count (read), same function, start and count (write).
// Anything else is a late reply or stale bytes, never data.
bool ReadAnswerMatches(const uint8_t* frame, int function, int count);
bool WriteAnswerMatches(const uint8_t* frame, int start, int count);
// The whole rule by which the master takes a collected frame (from the slave address on, the
// answer's length + 2 bytes) as the answer to its read (3, 4) or block write (16): its CRC
// holds and it echoes the request.
bool AnswerAccepted(const uint8_t* frame, int function, int start, int count);

// Data word i of a read answer, sign-extended as the register images hold it.
inline int32_t AnswerWord(const uint8_t* frame, int i) {
  return static_cast<int16_t>(static_cast<uint16_t>(frame[3 + 2 * i] << 8 | frame[4 + 2 * i]));
}

// Time the bytes spend on the wire, rounded up to whole milliseconds.
int WireTimeMs(int bytes, int baud, int bitsPerCharacter);

}  // namespace kvn

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_link/crc16.h"
#include "device_link/modbus_frames.h"

namespace kvn {
namespace {

using Bytes = std::vector<uint8_t>;

struct CrcCase {
  const char* name;
  Bytes data;
  uint16_t value;
};

class CrcKnownAnswers : public ::testing::TestWithParam<CrcCase> {};

TEST_P(CrcKnownAnswers, ValueAndWireOrder) {
  const CrcCase& c = GetParam();
  const Crc16 crc = ComputeCrc16(c.data.data(), c.data.size());
  EXPECT_EQ(crc.Value(), c.value);
  EXPECT_EQ(crc.low, c.value & 0xFF) << "low byte goes on the wire first";
  EXPECT_EQ(crc.high, c.value >> 8);
}

Bytes Ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The check value of the CRC-16/MODBUS catalogue entry, a well-known request frame, and
// values from a bit-by-bit reference computation of the same polynomial.
INSTANTIATE_TEST_SUITE_P(
    Frames, CrcKnownAnswers,
    ::testing::Values(CrcCase{"check_string", Ascii("123456789"), 0x4B37},
                      CrcCase{"empty", {}, 0xFFFF},
                      CrcCase{"read_1_reg_at_0", {0x01, 0x03, 0x00, 0x00, 0x00, 0x01}, 0x0A84},
                      CrcCase{"read_answer", {0x01, 0x03, 0x02, 0x08, 0xFC}, 0xC5BF},
                      CrcCase{"write_answer", {0x11, 0x10, 0x00, 0x01, 0x00, 0x02}, 0x9812},
                      CrcCase{"single_zero", {0x00}, 0x40BF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadRequest, ExactBytes) {
  EXPECT_EQ(BuildReadRequest(3, 1, 0, 1), (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}));
  const Bytes input = BuildReadRequest(4, 12, 0, 50);
  EXPECT_EQ(input.size(), 8u);
  EXPECT_EQ(input[0], 12);
  EXPECT_EQ(input[1], 4);
  EXPECT_EQ(input[5], 50);
  // Register 5625 = 0x15F9, count 25.
  const Bytes chunk = BuildReadRequest(3, 1, 5625, 25);
  EXPECT_EQ(chunk[2], 0x15);
  EXPECT_EQ(chunk[3], 0xF9);
  EXPECT_EQ(chunk[5], 25);
}

TEST(WriteRequest, LayoutAndSizes) {
  const int32_t minusOne = -1;
  const Bytes one = BuildWriteRequest(1, 108, 1, &minusOne);
  EXPECT_EQ(one.size(), 11u);
  EXPECT_EQ(Bytes(one.begin(), one.begin() + 9),
            (Bytes{0x01, 0x10, 0x00, 0x6C, 0x00, 0x01, 0x02, 0xFF, 0xFF}));
  EXPECT_TRUE(FrameCrcMatches(one.data(), 9));

  std::vector<int32_t> cells(123);
  for (int i = 0; i < 123; ++i) cells[static_cast<size_t>(i)] = 0x10000 + i * 257;  // only low 16 bits travel
  const Bytes big = BuildWriteRequest(1, 5500, 123, cells.data());
  ASSERT_EQ(big.size(), 255u) << "largest request the block writes produce";
  EXPECT_EQ(big[6], 246);
  EXPECT_EQ(big[7 + 2 * 5], ((5 * 257) >> 8) & 0xFF);
  EXPECT_EQ(big[8 + 2 * 5], (5 * 257) & 0xFF);
  EXPECT_TRUE(FrameCrcMatches(big.data(), 253));
}

TEST(ReadAnswer, WordsAreSignExtended) {
  const Bytes answer = {0x01, 0x03, 0x06, 0xFF, 0xFE, 0x80, 0x00, 0x7F, 0xFF};
  EXPECT_EQ(AnswerWord(answer.data(), 0), -2);
  EXPECT_EQ(AnswerWord(answer.data(), 1), -32768);
  EXPECT_EQ(AnswerWord(answer.data(), 2), 32767);
}

struct MatchCase {
  const char* name;
  Bytes frame;
  bool readMatches;   // against a function-3 read of 2 registers
  bool writeMatches;  // against a write of 2 registers at 100
};

class AnswerMatching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(AnswerMatching, OnlyTheEchoOfThisRequestIsItsAnswer) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(ReadAnswerMatches(c.frame.data(), 3, 2), c.readMatches);
  EXPECT_EQ(WriteAnswerMatches(c.frame.data(), 100, 2), c.writeMatches);
}

// The master's whole rule: the echo with its CRC is taken, the same bytes with a spoiled CRC
// never. The buffer is longer than any of the frames, as the master's receive buffer is.
TEST_P(AnswerMatching, IsTakenOnlyWithItsCrc) {
  const MatchCase& c = GetParam();
  Bytes frame = c.frame;
  AppendCrc(frame);
  frame.resize(32, 0);
  EXPECT_EQ(AnswerAccepted(frame.data(), 3, 100, 2), c.readMatches);
  EXPECT_EQ(AnswerAccepted(frame.data(), kFnWriteMultiple, 100, 2), c.writeMatches);
  frame[c.frame.size()] ^= 0x01;
  EXPECT_FALSE(AnswerAccepted(frame.data(), 3, 100, 2));
  EXPECT_FALSE(AnswerAccepted(frame.data(), kFnWriteMultiple, 100, 2));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, AnswerMatching,
    ::testing::Values(MatchCase{"read_answer", {1, 3, 4, 0, 0, 0, 0}, true, false},
                      MatchCase{"input_register_answer", {1, 4, 4, 0, 0, 0, 0}, false, false},
                      MatchCase{"wrong_byte_count", {1, 3, 6, 0, 0, 0, 0}, false, false},
                      MatchCase{"write_echo", {1, 16, 0, 100, 0, 2}, false, true},
                      MatchCase{"write_echo_other_start", {1, 16, 0, 101, 0, 2}, false, false},
                      MatchCase{"write_echo_other_count", {1, 16, 0, 100, 0, 3}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WireTime, RoundsUpAndCountsParity) {
  EXPECT_EQ(WireTimeMs(255, 4800, 11), 585);  // a 125-register answer at 4800 with parity
  EXPECT_EQ(WireTimeMs(8, 115200, 10), 1);
  EXPECT_EQ(WireTimeMs(0, 9600, 10), 0);
  EXPECT_EQ(WireTimeMs(10, 0, 10), 0);
}

}  // namespace
}  // namespace kvn

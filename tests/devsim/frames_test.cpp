// Frames on the device side: known-answer exchanges written out byte by byte, request length
// detection, and how the byte stream is cut into frames.
#include <gtest/gtest.h>

#include <vector>

#include "device_link/modbus_frames.h"
#include "devsim/frame_assembler.h"
#include "devsim/rtu_frames.h"
#include "devsim/simulator.h"

namespace kvn::devsim {
namespace {

using Bytes = std::vector<uint8_t>;

struct KnownExchange {
  const char* name;
  Bytes request;
  Bytes answer;  // empty: no answer
};

// Complete frames as they appear on the line (CRCs computed by hand, low byte first).
const KnownExchange kExchanges[] = {
    {"ReadDeviceType", {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A},
     {0x01, 0x03, 0x02, 0x08, 0xFC, 0xBF, 0xC5}},
    {"EnterProgrammingMode", {0x01, 0x10, 0x00, 0x6C, 0x00, 0x01, 0x02, 0x00, 0x33, 0xEF, 0x29},
     {0x01, 0x10, 0x00, 0x6C, 0x00, 0x01, 0xC1, 0xD4}},
    {"UnknownRegister", {0x01, 0x03, 0x00, 0x1A, 0x00, 0x01, 0xA5, 0xCD}, {0x01, 0x83, 0x02, 0xC0, 0xF1}},
    {"UnknownFunction", {0x01, 0x01, 0x00, 0x00, 0x00, 0x01, 0xFD, 0xCA}, {0x01, 0x81, 0x01, 0x81, 0x90}},
    {"OtherSlave", {0x02, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x39}, {}},
    {"BadCrc", {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0B}, {}},
};

class SimKnownExchange : public ::testing::TestWithParam<KnownExchange> {};

TEST_P(SimKnownExchange, AnswersExactly) {
  Simulator sim;
  const auto reply = sim.HandleFrame(GetParam().request);
  if (GetParam().answer.empty()) {
    EXPECT_FALSE(reply.has_value());
  } else {
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->bytes, GetParam().answer);
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, SimKnownExchange, ::testing::ValuesIn(kExchanges),
                         [](const auto& info) { return std::string(info.param.name); });

struct LengthCase {
  Bytes head;
  int length;
};

class SimRequestLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(SimRequestLength, FromFunctionCode) {
  EXPECT_EQ(rtu::RequestLength(GetParam().head), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Frames, SimRequestLength,
                         ::testing::Values(LengthCase{{0x01}, 0}, LengthCase{{0x01, 0x03}, 8},
                                           LengthCase{{0x01, 0x04}, 8}, LengthCase{{0x01, 0x06}, 8},
                                           LengthCase{{0x01, 0x10, 0, 0, 0, 1}, 0},
                                           LengthCase{{0x01, 0x10, 0, 0, 0, 1, 2}, 11},
                                           LengthCase{{0x01, 0x10, 0, 0, 0, 123, 246}, 255},
                                           LengthCase{{0x01, 0x2B}, -1}, LengthCase{{0x01, 0x11}, -1}));

const Bytes kReadType = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};
const Bytes kEnter = {0x01, 0x10, 0x00, 0x6C, 0x00, 0x01, 0x02, 0x00, 0x33, 0xEF, 0x29};

TEST(SimFrameAssembler, FrameArrivingInPiecesCompletesOnItsLength) {
  FrameAssembler a;
  a.Feed(std::span(kEnter).first(5));
  EXPECT_FALSE(a.NextFrame());
  a.Feed(std::span(kEnter).subspan(5));
  EXPECT_EQ(a.NextFrame(), kEnter);
  EXPECT_FALSE(a.Pending());
}

TEST(SimFrameAssembler, BackToBackFramesAreSeparated) {
  FrameAssembler a;
  Bytes both = kReadType;
  both.insert(both.end(), kEnter.begin(), kEnter.end());
  a.Feed(both);
  EXPECT_EQ(a.NextFrame(), kReadType);
  EXPECT_EQ(a.NextFrame(), kEnter);
  EXPECT_FALSE(a.NextFrame());
}

TEST(SimFrameAssembler, BrokenFrameSpoilsTheRestUntilSilence) {
  FrameAssembler a;
  Bytes broken = kReadType;
  broken[7] ^= 0x01;
  broken.insert(broken.end(), kReadType.begin(), kReadType.end());
  a.Feed(broken);
  EXPECT_FALSE(a.NextFrame());
  a.Feed(kReadType);  // still inside the same burst
  EXPECT_FALSE(a.NextFrame());
  EXPECT_FALSE(a.OnSilence());
  a.Feed(kReadType);  // after the silence the next frame is taken again
  EXPECT_EQ(a.NextFrame(), kReadType);
}

TEST(SimFrameAssembler, UnknownFunctionEndsAtSilence) {
  FrameAssembler a;
  const Bytes frame = {0x01, 0x2B, 0x0E, 0x01, 0x00, 0x70, 0x77};
  a.Feed(frame);
  EXPECT_FALSE(a.NextFrame());
  EXPECT_EQ(a.OnSilence(), frame);
}

TEST(SimFrameAssembler, OverlongGarbageIsDropped) {
  FrameAssembler a;
  a.Feed(Bytes(300, 0x2B));
  EXPECT_FALSE(a.NextFrame());
  EXPECT_FALSE(a.OnSilence());
}

// One spoiled answer: what goes on the line instead of the good answer, and that only the
// chosen answer is spoiled.
struct SpoilCase {
  const char* name;
  AnswerFault fault;
  bool write;        // write 1 to register 111; otherwise read registers 0..3
  bool crcOk;        // the spoiled answer still carries a correct CRC
  int lengthChange;  // against the good answer: -1 shorter, 0 same, 1 longer
  int byteAt = -1;   // a byte the spoiled answer must hold there
  int byteValue = 0;
};

const SpoilCase kSpoilCases[] = {
    {"CorruptByte", AnswerFault::CorruptByte, false, false, 0},
    {"WrongFunction", AnswerFault::WrongFunction, false, true, 0, 1, 4},
    {"WrongFunctionOfWrite", AnswerFault::WrongFunction, true, true, 0, 1, 6},
    {"WrongByteCount", AnswerFault::WrongByteCount, false, true, 0, 2, 6},
    {"WrongEcho", AnswerFault::WrongEcho, true, true, 0, 3, 111 ^ 1},
    {"WrongAddress", AnswerFault::WrongAddress, false, true, 0, 0, 2},
    {"Exception", AnswerFault::Exception, false, true, -1, 1, 0x83},
    {"Late", AnswerFault::Late, false, true, 0},
    {"Noise", AnswerFault::Noise, false, false, 1},
    {"Truncated", AnswerFault::Truncated, false, false, -1},
};

class SimSpoiledAnswer : public ::testing::TestWithParam<SpoilCase> {};

TEST_P(SimSpoiledAnswer, OnlyTheChosenAnswerIsSpoiledAndItsRegistersArePoisoned) {
  const SpoilCase& c = GetParam();
  const int32_t one = 1;
  const Bytes request = c.write ? BuildWriteRequest(1, 111, 1, &one) : BuildReadRequest(3, 1, 0, 4);
  Simulator sim;
  const Bytes good = sim.HandleFrame(request)->bytes;
  sim.GetFaults().SpoilAnswer(2, c.fault, 1200);
  EXPECT_EQ(sim.HandleFrame(request)->bytes, good) << "the answer before the chosen one";
  const auto spoiled = sim.HandleFrame(request);
  ASSERT_TRUE(spoiled.has_value());
  const Bytes& a = spoiled->bytes;
  EXPECT_EQ(rtu::CrcMatches(a), c.crcOk);
  EXPECT_EQ((a.size() > good.size()) - (a.size() < good.size()), c.lengthChange);
  if (c.byteAt >= 0) {
    EXPECT_EQ(a[static_cast<size_t>(c.byteAt)], c.byteValue);
  }
  if (c.fault == AnswerFault::Noise) {
    EXPECT_TRUE(std::equal(good.rbegin(), good.rend(), a.rbegin()));
  }
  if (c.crcOk && !c.write && a[1] < 0x80) {
    for (size_t i = 3; i + 2 < a.size(); i += 2) EXPECT_EQ(a[i] << 8 | a[i + 1], kPoison) << "register " << (i - 3) / 2;
  }
  EXPECT_EQ(spoiled->firstByteDelayMs, c.fault == AnswerFault::Late ? 1200 : 0);
  EXPECT_EQ(sim.HandleFrame(request)->bytes, good) << "the answer after the spoiled one";
}

INSTANTIATE_TEST_SUITE_P(Frames, SimSpoiledAnswer, ::testing::ValuesIn(kSpoilCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimSpoiledAnswer, SpoiledFromAnAnswerOnEveryLaterOneGoesWrongToo) {
  const Bytes request = BuildReadRequest(3, 1, 0, 4);
  Simulator sim;
  sim.GetFaults().SpoilAnswersFrom(2, AnswerFault::Silence);
  EXPECT_TRUE(sim.HandleFrame(request).has_value());
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(sim.HandleFrame(request).has_value()) << "answer " << i + 2;
  sim.GetFaults().Clear();
  EXPECT_TRUE(sim.HandleFrame(request).has_value());
}

TEST(SimSpoiledAnswer, SilenceCarriesTheRequestOutWithoutAnswering) {
  const int32_t enter = 51;
  Simulator sim;
  sim.GetFaults().SpoilAnswer(1, AnswerFault::Silence);
  EXPECT_FALSE(sim.HandleFrame(BuildWriteRequest(1, 108, 1, &enter)).has_value());
  EXPECT_TRUE(sim.Model().Programming());
}

}  // namespace
}  // namespace kvn::devsim

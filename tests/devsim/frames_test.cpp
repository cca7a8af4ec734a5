// Frames on the device side: known-answer exchanges written out byte by byte, request length
// detection, and how the byte stream is cut into frames.
#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace kvn::devsim

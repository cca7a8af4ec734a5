// The device at work: alarms and outputs following the configured limits, the measured
// signal, the event log, and the named faults at the frame level.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <set>
#include <string>

#include "device_link/crc16.h"
#include "devsim/simulator.h"
#include "sim_client.h"

namespace kvn::devsim {
namespace {

using test::SimClient;

constexpr int kRelay1 = 557, kRelay2 = 558, kRelay3 = 559, kRelay4 = 560, kDigitalOut = 561;
constexpr uint16_t kOverspeed = 0x04, kUnderspeed = 0x08, kAcceleration = 0x10, kDiagnostics = 0x40;

class SimDevice : public ::testing::Test {
 protected:
  DeviceModel& model() { return sim.Model(); }
  void Run(float rpm, int ms) {
    model().ForceSpeed(rpm);
    model().Advance(ms);
  }
  bool Active(int reg, uint16_t bit) { return client.Reg(reg) & bit; }
  bool Closed(int output) { return client.Reg(562) & 1 << output; }

  Simulator sim;
  SimClient client{sim};
};

// --- Alarms and outputs (default setup: relay 1 overspeed 3300/30 no delay, relay 2
// underspeed 300 with 0.1 s delay, relay 3 acceleration 400, relay 4 latched overspeed 3450,
// digital output overspeed 3150 with 0.2 s delay) ---

TEST_F(SimDevice, OverspeedFollowsLimitAndHysteresis) {
  Run(3000, 50);
  EXPECT_FALSE(Active(kRelay1, kOverspeed));
  Run(3310, 10);
  EXPECT_TRUE(Active(kRelay1, kOverspeed));
  Run(3280, 50);
  EXPECT_TRUE(Active(kRelay1, kOverspeed)) << "inside the hysteresis";
  Run(3260, 10);
  EXPECT_FALSE(Active(kRelay1, kOverspeed));
}

TEST_F(SimDevice, DelayHoldsTheAlarmBack) {
  Run(3200, 150);
  EXPECT_FALSE(Active(kDigitalOut, kOverspeed));
  model().Advance(60);
  EXPECT_TRUE(Active(kDigitalOut, kOverspeed));
}

TEST_F(SimDevice, ShortExcursionShorterThanTheDelayIsIgnored) {
  Run(3200, 150);
  Run(3000, 10);
  Run(3200, 150);
  EXPECT_FALSE(Active(kDigitalOut, kOverspeed));
}

TEST_F(SimDevice, LatchedAlarmStaysUntilTestAndReset) {
  Run(3500, 10);
  EXPECT_TRUE(Active(kRelay4, kOverspeed));
  Run(3000, 100);
  EXPECT_TRUE(Active(kRelay4, kOverspeed));
  EXPECT_FALSE(Active(kRelay1, kOverspeed)) << "relay 1 does not latch";
  ASSERT_EQ(client.Write(112, {1}), 0);
  ASSERT_EQ(client.Write(112, {0}), 0);
  EXPECT_FALSE(Active(kRelay4, kOverspeed));
}

TEST_F(SimDevice, UnderspeedAfterItsDelay) {
  Run(100, 50);
  EXPECT_FALSE(Active(kRelay2, kUnderspeed));
  model().Advance(60);
  EXPECT_TRUE(Active(kRelay2, kUnderspeed));
  Run(340, 10);
  EXPECT_FALSE(Active(kRelay2, kUnderspeed));
}

TEST_F(SimDevice, AccelerationAlarmAboveCutoffOnly) {
  model().ForceAcceleration(600);
  Run(20, 200);  // below the 50 RPM cut-off
  EXPECT_FALSE(Active(kRelay3, kAcceleration));
  Run(1000, 60);
  EXPECT_TRUE(Active(kRelay3, kAcceleration));
  model().ForceAcceleration(-600);
  model().Advance(10);
  EXPECT_TRUE(Active(kRelay3, kAcceleration)) << "deceleration counts by magnitude";
  model().ForceAcceleration(0);
  model().Advance(10);
  EXPECT_FALSE(Active(kRelay3, kAcceleration));
}

TEST_F(SimDevice, UnassignedFunctionsNeverShow) {
  Run(4000, 300);
  EXPECT_FALSE(Active(kRelay3, kOverspeed));
  EXPECT_FALSE(Active(kRelay2, kOverspeed));
}

TEST_F(SimDevice, InvertedRelaysOpenWhenTripped) {
  Run(3000, 10);
  EXPECT_TRUE(Closed(0)) << "relay 1 is energised while healthy";
  EXPECT_FALSE(Closed(3)) << "relay 4 is energised when tripped";
  Run(3500, 10);
  EXPECT_FALSE(Closed(0));
  EXPECT_TRUE(Closed(3));
}

TEST_F(SimDevice, SafeStateOpensEveryContactAndRaisesDiagnostics) {
  Run(3500, 10);
  ASSERT_NE(client.Reg(562), 0);
  ASSERT_EQ(client.Command(51), 0);
  model().Advance(10);
  EXPECT_EQ(client.Reg(562), 0);
  EXPECT_TRUE(Active(kRelay1, kDiagnostics));
  EXPECT_TRUE(Active(kRelay2, kDiagnostics));
  EXPECT_FALSE(Active(kRelay3, kDiagnostics));
}

TEST_F(SimDevice, CurrentErrorDrivesDiagnosticsAndAnalogErrorValue) {
  Run(1800, 10);
  EXPECT_NEAR(client.Float(510), 12.0f, 0.01f);  // 0..3600 RPM on 4..20 mA
  model().SetErrors(0x80);
  model().Advance(10);
  EXPECT_TRUE(Active(kRelay1, kDiagnostics));
  EXPECT_EQ(client.Float(510), 3.2f);
  EXPECT_EQ(client.U32(12), 0x80u);
}

TEST_F(SimDevice, AnalogOutputIsClamped) {
  Run(5000, 10);
  EXPECT_EQ(client.Float(510), 20.5f);
  EXPECT_NEAR(client.Float(512), 20.5f, 0.02f);
}

// --- Measured signal ---

TEST_F(SimDevice, RunsUpToTheRatedSpeedAndStaysNearIt) {
  EXPECT_LT(client.Float(500), 30.0f);
  model().Advance(10000);
  EXPECT_GT(client.Float(502), 0.0f) << "accelerating during the run-up";
  model().Advance(25000);
  for (int i = 0; i < 20; ++i) {
    model().Advance(3000);
    EXPECT_NEAR(client.Float(500), 3000.0f, 3000.0f * 0.015f);
  }
  EXPECT_LT(client.Float(516), 50.0f) << "minimum from the standstill";
  EXPECT_GT(client.Float(514), 3000.0f);
}

TEST_F(SimDevice, FrequencyFollowsSpeedAndTeeth) {
  model().ForceAcceleration(120);
  Run(1500, 10);
  EXPECT_EQ(client.Float(504), 1500.0f);  // 60 teeth: one pulse per tooth and second per RPM
  EXPECT_EQ(client.Float(508), 120.0f);
}

TEST_F(SimDevice, ClockCountsSeconds) {
  const uint32_t start = client.U32(20);
  model().Advance(10000);
  EXPECT_EQ(client.U32(20), start + 10);
}

TEST_F(SimDevice, SuppliesAndTemperatureArePlausible) {
  model().Advance(1000);
  EXPECT_NEAR(client.Float(526), 24.0f, 1.0f);
  EXPECT_NEAR(client.Float(522), 3.3f, 0.1f);
  EXPECT_GT(client.Float(22), 20.0f);
  EXPECT_LT(client.Float(22), 80.0f);
  EXPECT_GT(client.Float(540), client.Float(542));
  EXPECT_GT(client.Float(536), 20.0f);
}

// --- Event log ---

struct EventCase {
  const char* name;
  std::function<void(Simulator&, SimClient&)> action;
  std::vector<int> codes;  // records the action adds, in order
};

void Programmed(Simulator&, SimClient& c, int blockId, int offset, uint16_t value) {
  ASSERT_EQ(c.Login("admin"), 0);
  ASSERT_EQ(c.Command(51), 0);
  auto block = c.Block(blockId);
  block[static_cast<size_t>(offset)] = value;
  ASSERT_EQ(c.WriteBlock(blockId, block), 0);
  ASSERT_EQ(c.Command(170), 0);
  ASSERT_EQ(c.Reg(15), 0);
}

const EventCase kEvents[] = {
    {"ErrorStatus", [](Simulator& s, SimClient&) { s.Model().SetErrors(0x200); }, {2}},
    {"Overspeed",
     [](Simulator& s, SimClient&) {
       s.Model().ForceSpeed(3320);
       s.Model().Advance(20);
       s.Model().ForceSpeed(3000);
       s.Model().Advance(20);
     },
     {3, 4}},
    {"Underspeed",
     [](Simulator& s, SimClient&) {
       s.Model().ForceSpeed(100);
       s.Model().Advance(200);
       s.Model().ForceSpeed(1000);
       s.Model().Advance(20);
     },
     {5, 6}},
    {"Overacceleration",
     [](Simulator& s, SimClient&) {
       s.Model().ForceSpeed(1000);
       s.Model().ForceAcceleration(600);
       s.Model().Advance(100);
       s.Model().ForceAcceleration(0);
       s.Model().Advance(20);
     },
     {7, 8}},
    {"TestAndReset",
     [](Simulator&, SimClient& c) {
       ASSERT_EQ(c.Write(112, {1}), 0);
       ASSERT_EQ(c.Write(112, {0}), 0);
     },
     {21, 22}},
    {"RemoteTestInput",
     [](Simulator& s, SimClient&) {
       s.Model().SetRemoteTestInput(true);
       s.Model().SetRemoteTestInput(false);
     },
     {21, 22}},
    {"ProgrammingModeWithoutChanges",
     [](Simulator&, SimClient& c) {
       ASSERT_EQ(c.Command(51), 0);
       ASSERT_EQ(c.Command(0), 0);
     },
     {23, 24}},
    {"UnchangedBlockCommitted",
     [](Simulator& s, SimClient& c) { Programmed(s, c, 4, 1, 60); }, {23, 24}},
    {"UserConfig", [](Simulator& s, SimClient& c) { Programmed(s, c, 1, 44, 1); }, {23, 11, 24}},
    {"AdminConfig", [](Simulator& s, SimClient& c) { Programmed(s, c, 2, 40, 2); }, {23, 12, 24}},
    {"MeasurementConfig", [](Simulator& s, SimClient& c) { Programmed(s, c, 4, 1, 61); }, {23, 14, 24}},
    {"DiagnosticsConfig", [](Simulator& s, SimClient& c) { Programmed(s, c, 5, 14, 1); }, {23, 15, 24}},
    {"OutputConfig", [](Simulator& s, SimClient& c) { Programmed(s, c, 7, 4, 0); }, {23, 17, 24}},
    {"AdminPassword", [](Simulator& s, SimClient& c) { Programmed(s, c, 0, 3, 0x2121); }, {23, 18, 24}},
    {"DefaultRestored",
     [](Simulator&, SimClient& c) {
       ASSERT_EQ(c.Command(51), 0);
       ASSERT_EQ(c.Command(85), 0);
       ASSERT_EQ(c.Command(0), 0);
     },
     {23, 20, 24}},
    {"PowerCycle", [](Simulator& s, SimClient&) { s.Model().PowerCycle(); }, {1}},
};

class SimEventRecorded : public ::testing::TestWithParam<EventCase> {};

TEST_P(SimEventRecorded, AppearsInTheLog) {
  Simulator sim;
  SimClient client{sim};
  sim.Model().ForceSpeed(1000);  // away from every alarm
  sim.Model().Advance(200);
  const auto before = sim.Model().Events().Codes();
  ASSERT_EQ(before, std::vector<int>{1}) << "only the power cycle after start";
  GetParam().action(sim, client);
  const auto after = sim.Model().Events().Codes();
  const std::vector<int> added(after.begin() + static_cast<long>(before.size()), after.end());
  EXPECT_EQ(added, GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(Log, SimEventRecorded, ::testing::ValuesIn(kEvents),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimDevice, LogRecordsReadAsFiveInputRegistersEndedBy255) {
  Run(1000, 5000);
  const uint32_t clock = client.U32(20);
  model().SetErrors(0x00010004);
  const auto words = client.Regs(0, 15, 4);
  // Record 0: the power cycle at clock start, value = error status then (0).
  EXPECT_EQ(words[4] & 0xFF, 1);
  EXPECT_EQ(words[2], 0);
  // Record 1: error status change, at the current clock, value low word first.
  EXPECT_EQ(static_cast<uint32_t>(words[6]) << 16 | words[5], clock);
  EXPECT_EQ(words[7], 0x0004);
  EXPECT_EQ(words[8], 0x0001);
  EXPECT_EQ(words[9] & 0xFF, 2);
  // Then the end marker.
  EXPECT_EQ(words[14] & 0xFF, 255);
  EXPECT_EQ(static_cast<uint32_t>(words[1]) << 16 | words[0], clock - 5);
}

TEST_F(SimDevice, AlarmEventCarriesTheSpeed) {
  Run(3320, 10);
  const auto words = client.Regs(5, 5, 4);
  EXPECT_EQ(words[4] & 0xFF, 3);
  EXPECT_EQ(std::bit_cast<float>(static_cast<uint32_t>(words[3]) << 16 | words[2]), 3320.0f);
}

TEST_F(SimDevice, CheckBytesDifferBetweenRecords) {
  model().SetErrors(1);
  model().SetErrors(2);
  const auto words = client.Regs(0, 15, 4);
  const std::set<int> checks = {words[4] >> 8, words[9] >> 8, words[14] >> 8};
  EXPECT_EQ(checks.size(), 3u);
}

TEST(SimEventLogCapacity, OldestRecordsGiveWay) {
  ModelOptions options;
  options.eventCapacity = 3;
  Simulator sim(options);
  SimClient client{sim};
  for (uint32_t e = 1; e <= 4; ++e) sim.Model().SetErrors(e);
  EXPECT_EQ(sim.Model().Events().Codes(), (std::vector<int>{2, 2, 2}));
  const auto words = client.Regs(0, 20, 4);
  EXPECT_EQ(words[2], 2);  // values 2, 3, 4 remain
  EXPECT_EQ(words[12], 4);
  EXPECT_EQ(words[19], 0xFFFF) << "the full log still ends in a marker";
}

TEST(SimEventLogCapacity, FullLogReadsInBlocksOfFiftyUpToItsMarker) {
  Simulator sim;
  SimClient client{sim};
  for (uint32_t e = 0; e < 2100; ++e) sim.Model().SetErrors(e & 1 ? 0x80 : 0);
  int records = 0;
  bool ended = false;
  for (int start = 0; !ended && start < 15000; start += 50) {
    std::vector<uint16_t> words;
    ASSERT_EQ(client.Read(start, 50, words, 4), 0) << "block at " << start;
    for (int k = 0; k < 10 && !ended; ++k) {
      ended = (words[static_cast<size_t>(5 * k + 4)] & 0xFF) == 255;
      if (!ended) ++records;
    }
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(records, EventLog::kDefaultCapacity);
}

// --- Faults at the frame level ---

class SimFaulty : public SimDevice {
 protected:
  std::vector<uint8_t> ReadTypeReply() {
    auto reply = sim.HandleFrame(std::vector<uint8_t>{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A});
    return reply ? reply->bytes : std::vector<uint8_t>{};
  }
  static bool CrcOk(const std::vector<uint8_t>& f) {
    const Crc16 crc = ComputeCrc16(f.data(), f.size() - 2);
    return f[f.size() - 2] == crc.low && f.back() == crc.high;
  }
};

TEST_F(SimFaulty, CorruptNextAnswersThenRecover) {
  sim.GetFaults().corruptCrcNext = 2;
  EXPECT_FALSE(CrcOk(ReadTypeReply()));
  EXPECT_FALSE(CrcOk(ReadTypeReply()));
  EXPECT_TRUE(CrcOk(ReadTypeReply()));
}

TEST_F(SimFaulty, CorruptEveryAnswer) {
  sim.SetFault(Fault::CorruptCrc);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(CrcOk(ReadTypeReply()));
  sim.SetFault(Fault::None);
  EXPECT_TRUE(CrcOk(ReadTypeReply()));
}

TEST_F(SimFaulty, NoiseBeforeTheAnswerNeverLooksLikeTheAddress) {
  ModelOptions options;
  options.line.address = 0xFE;
  Simulator noisy(options);
  noisy.GetFaults().noiseBytes = 7;
  auto reply = noisy.HandleFrame(std::vector<uint8_t>{0xFE, 0x03, 0x00, 0x00, 0x00, 0x01, 0x90, 0x05});
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->bytes.size(), 7u + 7u);
  for (int i = 0; i < 7; ++i) EXPECT_NE(reply->bytes[static_cast<size_t>(i)], 0xFE);
  const std::vector<uint8_t> answer(reply->bytes.begin() + 7, reply->bytes.end());
  EXPECT_EQ(answer[0], 0xFE);
  EXPECT_TRUE(CrcOk(answer));
}

TEST_F(SimFaulty, SilentDeviceNeitherAnswersNorActs) {
  sim.SetFault(Fault::Silent);
  SimClient c{sim};
  EXPECT_EQ(c.Command(51), SimClient::kNoAnswer);
  sim.SetFault(Fault::None);
  EXPECT_EQ(client.Reg(15), 0);
}

TEST_F(SimFaulty, TimingFaultsTravelWithTheReply) {
  sim.SetFault(Fault::Delayed);
  sim.GetFaults().interByteGapMs = 40;
  auto reply = sim.HandleFrame(std::vector<uint8_t>{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A});
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->firstByteDelayMs, 150);
  EXPECT_EQ(reply->interByteGapMs, 40);
  sim.SetFault(Fault::Late);
  reply = sim.HandleFrame(std::vector<uint8_t>{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A});
  ASSERT_TRUE(reply);
  EXPECT_GT(reply->firstByteDelayMs, 400);
}

struct IdentityFault {
  Fault fault;
  int reg;
  uint16_t mask;
  uint16_t value;
};

class SimWrongIdentity : public ::testing::TestWithParam<IdentityFault> {};

TEST_P(SimWrongIdentity, ReportsTheWrongValue) {
  Simulator sim;
  SimClient client{sim};
  sim.SetFault(GetParam().fault);
  EXPECT_EQ(client.Reg(GetParam().reg) & GetParam().mask, GetParam().value);
  const auto factory = client.Block(3);
  EXPECT_EQ(factory.back(), test::BlockCrcOf(factory)) << "the factory block stays consistent";
  sim.SetFault(Fault::None);
  EXPECT_NE(client.Reg(GetParam().reg) & GetParam().mask, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Faults, SimWrongIdentity,
                         ::testing::Values(IdentityFault{Fault::WrongType, 0, 0xFFFF, 2200},
                                           IdentityFault{Fault::WrongFirmware, 1, 0xFFFF, 115},
                                           IdentityFault{Fault::WrongMode, 3024, 0x0003, 0}));

TEST_F(SimFaulty, WrittenRegisterReadsBackDifferent) {
  sim.SetFault(Fault::ReadBackChanged);
  ASSERT_EQ(client.Command(51), 0);
  auto block = client.Block(1);
  ASSERT_EQ(client.WriteBlock(1, block), 0);
  EXPECT_EQ(client.Reg(2040), block[40] ^ 1);
  EXPECT_EQ(client.Reg(2041), block[41]);
}

}  // namespace
}  // namespace kvn::devsim

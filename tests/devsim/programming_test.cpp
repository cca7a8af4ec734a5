// Programming mode, commit with range checks and rejected groups, access level and admin
// password, default setups and the one-register commands, all as a master sees them.
#include <gtest/gtest.h>

#include <string>

#include "devsim/simulator.h"
#include "sim_client.h"

namespace kvn::devsim {
namespace {

using test::PutFloat;
using test::PutText;
using test::SimClient;

class SimProgramming : public ::testing::Test {
 protected:
  void AdminInProgrammingMode() {
    ASSERT_EQ(client.Login("admin"), 0);
    ASSERT_EQ(client.Reg(14), 1);
    ASSERT_EQ(client.Command(51), 0);
  }
  Simulator sim;
  SimClient client{sim};
};

TEST_F(SimProgramming, EnterAndLeaveShowInStatusAndSafeState) {
  ASSERT_EQ(client.Command(51), 0);
  EXPECT_NE(client.Status15Low(), 0);
  EXPECT_NE(client.Reg(17), 0);
  ASSERT_EQ(client.Command(0), 0);
  EXPECT_EQ(client.Status15Low(), 0);
  EXPECT_EQ(client.Reg(17), 0);
}

TEST_F(SimProgramming, CommitAcceptsAndLeavesProgrammingMode) {
  AdminInProgrammingMode();
  auto block = client.Block(4);
  block[1] = 72;  // teeth
  ASSERT_EQ(client.WriteBlock(4, block), 0);
  EXPECT_EQ(client.Reg(4001), 72) << "written values read back before the commit";
  ASSERT_EQ(client.Command(170), 0);
  EXPECT_EQ(client.Status15Low(), 0);
  EXPECT_EQ(client.Reg(17), 0);
  EXPECT_EQ(sim.Model().Working()[4001], 72);
}

TEST_F(SimProgramming, AbortDiscardsWrittenValues) {
  AdminInProgrammingMode();
  auto block = client.Block(4);
  block[1] = 72;
  ASSERT_EQ(client.WriteBlock(4, block), 0);
  ASSERT_EQ(client.Command(0), 0);
  EXPECT_EQ(client.Reg(4001), 60);
  EXPECT_EQ(sim.Model().Working()[4001], 60);
}

TEST_F(SimProgramming, CommitOutsideProgrammingModeDoesNothing) {
  ASSERT_EQ(client.Command(170), 0);
  EXPECT_EQ(client.Reg(15), 0);
}

struct BadValue {
  const char* name;
  int blockId;
  int offset;
  uint16_t value;
  bool spoilCrc;
  uint8_t group;
};

// One out-of-range value (or a wrong block CRC) per case, and the group the commit rejects.
const BadValue kBadValues[] = {
    {"ModbusAddressZero", 1, 40, 0, false, 0x01},
    {"ModbusAddress255", 1, 40, 255, false, 0x01},
    {"BaudRateIndex6", 1, 41, 6, false, 0x01},
    {"UserBlockCrc", 1, 0, 0x4141, true, 0x01},
    {"VotingIndex6", 2, 40, 6, false, 0x02},
    {"PasswordBlockCrc", 0, 0, 0x4141, true, 0x02},
    {"TeethZero", 4, 1, 0, false, 0x08},
    {"TeethAbove10000", 4, 1, 10001, false, 0x08},
    {"SensorTypeIndex3", 4, 2, 3, false, 0x08},
    {"RatedSpeedNotANumber", 4, 9, 0x7FC0, false, 0x08},
    {"TestActionIndex2", 5, 14, 2, false, 0x10},
    {"SensorCurrentLimitAboveFactory", 5, 3, 0x41F0, false, 0x10},  // 30.0 mA > 25.0
    {"OverspeedLimitAboveFactory", 7, 57, 0x45FA, false, 0x40},     // 8000 RPM > 5000
    {"AnalogMinimumBelow3_6", 7, 145, 0x4000, false, 0x40},         // 2.0 mA
    {"OneShotZero", 7, 6, 0, false, 0x40},
    {"OutputBlockCrc", 7, 0, 0x0004, true, 0x40},
};

class SimRejectedGroup : public SimProgramming, public ::testing::WithParamInterface<BadValue> {};

TEST_P(SimRejectedGroup, CommitReportsGroupAndKeepsOldSetup) {
  const BadValue& c = GetParam();
  AdminInProgrammingMode();
  const auto original = client.Block(c.blockId);
  auto block = original;
  block[static_cast<size_t>(c.offset)] = c.value;
  if (c.spoilCrc) {
    ASSERT_EQ(client.WriteBlock(c.blockId, block), 0);
    const int crcRegister = FindBlock(c.blockId)->CrcRegister();
    ASSERT_EQ(client.Write(crcRegister, {static_cast<uint16_t>(client.Reg(crcRegister) ^ 0x5555)}), 0);
  } else {
    ASSERT_EQ(client.WriteBlock(c.blockId, block), 0);
  }
  ASSERT_EQ(client.Command(170), 0);
  EXPECT_EQ(client.Status15Low(), c.group);
  EXPECT_NE(client.Reg(17), 0) << "still in the safe state";
  EXPECT_EQ(client.Block(c.blockId), original) << "rejected values are discarded";
}

INSTANTIATE_TEST_SUITE_P(Commit, SimRejectedGroup, ::testing::ValuesIn(kBadValues),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimProgramming, SeveralRejectedGroupsCombine) {
  AdminInProgrammingMode();
  auto user = client.Block(1);
  user[40] = 0;
  auto measurement = client.Block(4);
  measurement[1] = 0;
  ASSERT_EQ(client.WriteBlock(1, user), 0);
  ASSERT_EQ(client.WriteBlock(4, measurement), 0);
  ASSERT_EQ(client.WriteBlock(7, client.Block(7)), 0);  // unchanged: accepted
  ASSERT_EQ(client.Command(170), 0);
  EXPECT_EQ(client.Status15Low(), 0x09);
}

TEST_F(SimProgramming, UnchangedSetupWrittenBackIsAccepted) {
  AdminInProgrammingMode();
  for (int id : {0, 1, 2, 4, 5, 7}) ASSERT_EQ(client.WriteBlock(id, client.Block(id)), 0) << id;
  ASSERT_EQ(client.Command(170), 0);
  EXPECT_EQ(client.Reg(15), 0);
}

TEST_F(SimProgramming, RejectFaultNamesTheGivenGroups) {
  sim.GetFaults().rejectGroups = 0x24;
  AdminInProgrammingMode();
  ASSERT_EQ(client.WriteBlock(1, client.Block(1)), 0);
  ASSERT_EQ(client.Command(170), 0);
  EXPECT_EQ(client.Status15Low(), 0x24);
}

TEST_F(SimProgramming, UserLevelMayWriteOnlyTheUserBlock) {
  ASSERT_EQ(client.Command(51), 0);
  auto user = client.Block(1);
  PutText(user, 16, 8, "NEW-TAG");
  EXPECT_EQ(client.WriteBlock(1, user), 0);
  EXPECT_EQ(client.WriteBlock(2, client.Block(2)), 4);
  ASSERT_EQ(client.Command(170), 0);
  EXPECT_EQ(client.Reg(15), 0);
  EXPECT_EQ(client.Reg(2016), 'N' | 'E' << 8);
}

// --- Access level and admin password ---

struct LoginCase {
  const char* name;
  std::vector<uint16_t> entry;
  int level;
};

const LoginCase kLogins[] = {
    {"RightPassword", test::PasswordWords("admin"), 1},
    {"WrongPassword", test::PasswordWords("admim"), 0},
    {"CaseMatters", test::PasswordWords("ADMIN"), 0},
    {"EmptyEntry", test::PasswordWords(""), 0},
    {"LogoutCells", std::vector<uint16_t>(8, 0xFFFF), 0},
};

class SimLogin : public ::testing::TestWithParam<LoginCase> {};

TEST_P(SimLogin, LevelFollowsEntry) {
  Simulator sim;
  SimClient client{sim};
  ASSERT_EQ(client.Write(100, GetParam().entry), 0);
  EXPECT_EQ(client.Reg(14), GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Password, SimLogin, ::testing::ValuesIn(kLogins),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimProgramming, LogoutReturnsToUserLevel) {
  ASSERT_EQ(client.Login("admin"), 0);
  ASSERT_EQ(client.Reg(14), 1);
  ASSERT_EQ(client.Logout(), 0);
  EXPECT_EQ(client.Reg(14), 0);
}

TEST_F(SimProgramming, PasswordEntryDoesNotReadBack) {
  ASSERT_EQ(client.Login("admin"), 0);
  EXPECT_EQ(client.Regs(100, 8), std::vector<uint16_t>(8, 0));
}

TEST_F(SimProgramming, NewPasswordTakesEffectWithCommit) {
  AdminInProgrammingMode();
  auto block = client.Block(0);
  PutText(block, 0, 8, "s3cret");
  ASSERT_EQ(client.WriteBlock(0, block), 0);
  ASSERT_EQ(client.Login("s3cret"), 0);
  EXPECT_EQ(client.Reg(14), 0) << "not before the commit";
  ASSERT_EQ(client.Login("admin"), 0);
  ASSERT_EQ(client.Command(170), 0);
  ASSERT_EQ(client.Reg(15), 0);
  ASSERT_EQ(client.Login("admin"), 0);
  EXPECT_EQ(client.Reg(14), 0);
  ASSERT_EQ(client.Login("s3cret"), 0);
  EXPECT_EQ(client.Reg(14), 1);
}

// --- Default setups ---

TEST_F(SimProgramming, RestoreBringsBackTheDefaultSetup) {
  AdminInProgrammingMode();
  auto block = client.Block(7);
  PutFloat(block, 56, 2500.0f);
  ASSERT_EQ(client.WriteBlock(7, block), 0);
  ASSERT_EQ(client.Command(170), 0);
  ASSERT_EQ(client.Float(5556), 2500.0f);
  ASSERT_EQ(client.Command(51), 0);
  ASSERT_EQ(client.Command(85), 0);
  EXPECT_EQ(client.Status15High(), 85);
  EXPECT_EQ(client.Float(5556), 3300.0f);
  ASSERT_EQ(client.Command(0), 0);
  EXPECT_EQ(client.Float(5556), 3300.0f) << "leaving programming mode keeps the restored setup";
}

TEST_F(SimProgramming, SaveMakesTheWrittenSetupTheNewDefault) {
  AdminInProgrammingMode();
  auto block = client.Block(4);
  block[1] = 90;
  ASSERT_EQ(client.WriteBlock(4, block), 0);
  ASSERT_EQ(client.Command(102), 0);
  EXPECT_EQ(client.Status15High(), 102);
  EXPECT_EQ(client.Status15Low(), 0);
  block[1] = 30;
  ASSERT_EQ(client.Command(51), 0);
  ASSERT_EQ(client.WriteBlock(4, block), 0);
  ASSERT_EQ(client.Command(170), 0);
  ASSERT_EQ(client.Reg(4001), 30);
  ASSERT_EQ(client.Command(51), 0);
  ASSERT_EQ(client.Command(85), 0);
  EXPECT_EQ(client.Reg(4001), 90);
}

TEST_F(SimProgramming, RejectedSaveReportsGroupsAndNoAnswerByte) {
  AdminInProgrammingMode();
  auto block = client.Block(5);
  block[14] = 9;
  ASSERT_EQ(client.WriteBlock(5, block), 0);
  ASSERT_EQ(client.Command(102), 0);
  EXPECT_EQ(client.Status15High(), 0);
  EXPECT_EQ(client.Status15Low(), 0x10);
}

TEST_F(SimProgramming, DefaultCommandsNeedProgrammingMode) {
  ASSERT_EQ(client.Command(85), 0);
  EXPECT_EQ(client.Status15High(), 0);
  ASSERT_EQ(client.Command(102), 0);
  EXPECT_EQ(client.Status15High(), 0);
}

TEST_F(SimProgramming, EnteringAgainClearsTheAnswerByte) {
  ASSERT_EQ(client.Command(51), 0);
  ASSERT_EQ(client.Command(85), 0);
  ASSERT_EQ(client.Status15High(), 85);
  ASSERT_EQ(client.Command(51), 0);
  EXPECT_EQ(client.Status15High(), 0);
  EXPECT_NE(client.Status15Low(), 0);
}

// --- Commands 111 and 112 ---

TEST_F(SimProgramming, ClearMinMaxStartsFromTheCurrentSpeed) {
  sim.Model().ForceSpeed(1000.0f);
  sim.Model().Advance(100);
  sim.Model().ForceSpeed(2000.0f);
  sim.Model().Advance(100);
  sim.Model().ForceSpeed(1500.0f);
  sim.Model().Advance(100);
  EXPECT_EQ(client.Float(514), 2000.0f);
  EXPECT_LE(client.Float(516), 1000.0f);
  ASSERT_EQ(client.Write(111, {1}), 0);
  EXPECT_EQ(client.Float(514), 1500.0f);
  EXPECT_EQ(client.Float(516), 1500.0f);
  EXPECT_EQ(client.Float(518), 0.0f);
  EXPECT_EQ(client.Float(520), 0.0f);
  EXPECT_EQ(client.Reg(111), 0) << "the command register does not hold its value";
}

TEST_F(SimProgramming, ResetErrorMemoryKeepsOnlyCurrentErrors) {
  sim.Model().SetErrors(0x81);
  sim.Model().SetErrors(0x01);
  EXPECT_EQ(client.U32(24), 0x81u);
  ASSERT_EQ(client.Write(111, {2}), 0);
  EXPECT_EQ(client.U32(24), 0x01u);
  EXPECT_EQ(client.U32(12), 0x01u);
}

TEST_F(SimProgramming, TestAndResetReadsBackWhileActive) {
  ASSERT_EQ(client.Write(112, {1}), 0);
  EXPECT_NE(client.Reg(112), 0);
  // Relays 1 and 2 carry the test-and-reset function in the default setup.
  EXPECT_TRUE(client.Reg(557) & 0x80);
  EXPECT_TRUE(client.Reg(558) & 0x80);
  EXPECT_FALSE(client.Reg(559) & 0x80);
  ASSERT_EQ(client.Write(112, {0}), 0);
  EXPECT_EQ(client.Reg(112), 0);
  EXPECT_FALSE(client.Reg(557) & 0x80);
}

TEST_F(SimProgramming, RemoteTestInputShowsInRegister556) {
  sim.Model().SetRemoteTestInput(true);
  EXPECT_NE(client.Reg(556), 0);
  EXPECT_TRUE(client.Reg(557) & 0x80);
  sim.Model().SetRemoteTestInput(false);
  EXPECT_EQ(client.Reg(556), 0);
}

}  // namespace
}  // namespace kvn::devsim

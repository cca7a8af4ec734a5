// The register map at power-up, the default setup against the program's own limits, and how
// the device answers requests it cannot carry out.
#include <gtest/gtest.h>

#include <QChar>
#include <cmath>
#include <memory>
#include <string>

#include "device_link/block_table.h"
#include "devsim/setup_registers.h"
#include "devsim/simulator.h"
#include "parameters/parameter_table.h"
#include "parameters/range_text.h"
#include "parameters/value_codec.h"
#include "sim_client.h"

namespace kvn::devsim {
namespace {

using test::SimClient;

class SimFreshDevice : public ::testing::Test {
 protected:
  Simulator sim;
  SimClient client{sim};
};

// --- Parameter block CRCs ---

// Every register the program or the device reads by a parameter's role is that parameter's
// register in the table.
TEST(RegisterMap, RoleRegistersAreTheirParametersRegisters) {
  struct Use {
    int reg;
    const char* parameter;
  };
  const ParameterRegisters& p = ParamRegs();
  const Use uses[] = {
      {p.ratedSpeed, "txt_rated_sp"},         {p.teeth, "txt_teeth"},
      {p.sensorType, "cmb_sens_type"},        {p.averaging, "txt_avg_speed"},
      {p.triggerLevelU, "txt_level_u"},       {p.cutInFrequency, "txt_sens_cut_in"},
      {p.badPulseTime, "txt_bad_pulse"},      {p.testAction, "cmb_ppchk_act"},
      {cfg::Password, "txt_password"},
      {cfg::ModbusAddress, "txt_mod_addr"},   {cfg::Teeth, "txt_teeth"},
      {cfg::RatedSpeed, "txt_rated_sp"},      {cfg::TestAction, "cmb_ppchk_act"},
      {cfg::AccelerationCutoff, "txt_acc_cutoff"}, {cfg::AnalogAt4mA, "txt_aout_v4ma"},
      {cfg::AnalogAt20mA, "txt_aout_v20ma"},  {cfg::AnalogMax, "txt_aout_max"},
      {cfg::AnalogMin, "txt_aout_min"},       {cfg::AnalogOnError, "txt_aout_err_val"},
  };
  for (const Use& u : uses) EXPECT_EQ(u.reg, RegisterOfName(u.parameter)) << u.parameter;
  // The plot and the device step through the five outputs two registers at a time.
  const std::pair<int, const char*> perOutput[] = {
      {p.overspeedLimit1, "txt_vmax_lim_"},   {p.underspeedLimit1, "txt_vmin_lim_"},
      {cfg::OverspeedLimit, "txt_vmax_lim_"}, {cfg::UnderspeedLimit, "txt_vmin_lim_"},
      {cfg::AccelerationLimit, "txt_amax_lim_"}, {cfg::OverspeedDelay, "txt_vmax_del_"},
      {cfg::UnderspeedDelay, "txt_vmin_del_"}, {cfg::AccelerationDelay, "txt_amax_del_"},
      {cfg::OverspeedHysteresis, "txt_vmax_hyst_"}, {cfg::UnderspeedHysteresis, "txt_vmin_hyst_"},
      {cfg::AccelerationHysteresis, "txt_amax_hyst_"},
  };
  for (const auto& [first, stem] : perOutput)
    for (int output = 1; output <= 5; ++output)
      EXPECT_EQ(first + 2 * (output - 1), RegisterOfName(std::string(stem) + std::to_string(output)))
          << stem << output;
}

class SimBlockCrcAtStart : public ::testing::TestWithParam<BlockDescriptor> {};

TEST_P(SimBlockCrcAtStart, StoredCrcMatchesContents) {
  Simulator sim;
  SimClient client{sim};
  const auto block = client.Block(GetParam().Number());
  EXPECT_EQ(block.back(), test::BlockCrcOf(block));
}

std::vector<BlockDescriptor> ParameterBlocks() {
  std::vector<BlockDescriptor> blocks;
  for (const auto& b : BlockTable)
    if (b.is_parameter) blocks.push_back(b);
  return blocks;
}

INSTANTIATE_TEST_SUITE_P(Blocks, SimBlockCrcAtStart, ::testing::ValuesIn(ParameterBlocks()),
                         [](const auto& info) { return "Block" + std::to_string(info.param.Number()); });

TEST_F(SimFreshDevice, EveryBlockOfTheTableIsReadable) {
  std::vector<uint16_t> values;
  for (const auto& b : BlockTable)
    for (int at = 0; at < b.count; at += 125)
      EXPECT_EQ(client.Read(b.start + at, std::min(125, b.count - at), values), 0) << "block " << int(b.id);
}

// --- Identity ---

std::string TextOf(const std::vector<uint16_t>& words) {
  std::string s;
  for (uint16_t w : words) {
    s += static_cast<char>(w & 0xFF);
    s += static_cast<char>(w >> 8);
  }
  return s;
}

TEST_F(SimFreshDevice, IdentifiesAsAcceptedSpeedMonitor) {
  EXPECT_EQ(client.Reg(0), 2300);
  EXPECT_EQ(client.Reg(1), 120);
  EXPECT_EQ(client.Reg(3024) & 3, 3);
  const std::string serial = TextOf(client.Regs(4, 8));
  EXPECT_EQ(serial.size(), 16u);
  EXPECT_NE(serial.find_first_not_of(' '), std::string::npos);
  const std::string hardware = TextOf(client.Regs(3008, 8));
  EXPECT_EQ(hardware.rfind("HW", 0), 0u);
  EXPECT_EQ(client.Reg(14), 0) << "user level after power-up";
  EXPECT_EQ(client.Reg(15), 0);
  EXPECT_EQ(client.Reg(17), 0);
}

TEST_F(SimFreshDevice, FactoryLimitsAreSet) {
  EXPECT_EQ(client.Float(6004), 5000.0f);  // speed limits
  EXPECT_EQ(client.Float(6006), 0.0f);
  EXPECT_GT(client.Float(6008), 0.0f);     // acceleration limits
  EXPECT_GT(client.Float(5034), client.Float(5036));  // sensor current
  EXPECT_GT(client.Float(5038), client.Float(5040));  // sensor voltage
}

// --- Default setup against the program's own limit rules ---

// The device's setup as the program holds it after a read: sign-extended cells.
std::unique_ptr<RegisterImages> EditImageOf(const DeviceModel& model) {
  auto images = MakeRegisterImages();
  for (int r = 0; r < kRegisterCount; ++r)
    images->EditImage[static_cast<size_t>(r)] = static_cast<int16_t>(model.Raw()[static_cast<size_t>(r)]);
  return images;
}

class SimDefaultSetupRow : public ::testing::TestWithParam<int> {};

TEST_P(SimDefaultSetupRow, PassesTheProgramsRangeCheck) {
  const Simulator sim;
  const auto images = EditImageOf(sim.Model());
  const Codec codec(QChar('.'), *images);
  const ParameterDescriptor& row = ParameterRow(GetParam());
  const int r = RegisterOf(row);
  const RegisterImage& edit = images->EditImage;
  SCOPED_TRACE(std::string(row.name));
  switch (row.fieldType) {
    case FieldType::Int16:
    case FieldType::Int32: {
      const IntLimits l = IntRangeLimits(row, edit);
      const int64_t v = row.fieldType == FieldType::Int16 ? edit[static_cast<size_t>(r)] : ReadInt32(edit, r);
      EXPECT_TRUE(l.Unlimited() || (v >= l.lower && v <= l.upper)) << v << " not in " << l.lower << ".." << l.upper;
      EXPECT_FALSE(l.Unlimited() && row.rangeSource != RangeSource::Static) << "factory limits missing";
      break;
    }
    case FieldType::Float:
    case FieldType::OffsetLevel: {
      const FloatLimits l = FloatRangeLimits(row, codec);
      const float v = ReadFloat(edit, r);
      EXPECT_FALSE(std::isnan(v));
      EXPECT_TRUE(l.Unlimited() || (v >= l.lower && v <= l.upper)) << v << " not in " << l.lower << ".." << l.upper;
      EXPECT_FALSE(l.Unlimited() && row.rangeSource != RangeSource::Static) << "factory limits missing";
      break;
    }
    case FieldType::Choice:
      EXPECT_GE(edit[static_cast<size_t>(r)], 0);
      break;
    default:
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(AllRows, SimDefaultSetupRow, ::testing::Range(1, kParameterRows + 1));

TEST_F(SimFreshDevice, RatedSpeedAndTeethAreUsable) {
  EXPECT_GT(client.Float(4008), 0.0f);
  EXPECT_GT(client.Reg(4001), 0);
  EXPECT_LT(client.Float(4008), client.Float(6004)) << "rated speed inside the speed limits";
}

// --- Requests the device refuses ---

struct Refusal {
  const char* name;
  bool programming;  // enter programming mode first
  bool admin;        // log in first
  uint8_t function;
  int start;
  std::vector<uint16_t> values;  // write values; empty for reads
  int count;                     // reads
  int exception;
};

const Refusal kRefusals[] = {
    {"ReadGapAfterIdentification", false, false, 3, 26, {}, 1, 2},
    {"ReadSpanningIntoGap", false, false, 3, 20, {}, 10, 2},
    {"ReadBetweenBlocks", false, false, 3, 1010, {}, 1, 2},
    {"ReadPastRegisterSpace", false, false, 3, 10990, {}, 20, 2},
    {"ReadZeroRegisters", false, false, 3, 0, {}, 0, 3},
    {"ReadTooMany", false, false, 3, 5500, {}, 126, 3},
    {"ReadInputPastLog", false, false, 4, 20000, {}, 10, 2},
    {"WriteIdentification", false, false, 16, 0, {2301}, 0, 2},
    {"WriteProcessData", false, false, 16, 500, {0}, 0, 2},
    {"WriteReservedCommand", false, false, 16, 109, {1}, 0, 2},
    {"WriteFactoryBlockAsAdmin", true, true, 16, 3024, {3}, 0, 2},
    {"WriteFactoryLimits", true, true, 16, 6004, {0}, 0, 2},
    {"UnknownProgrammingCommand", false, false, 16, 108, {7}, 0, 3},
    {"UnknownDeviceCommand", false, false, 16, 111, {3}, 0, 3},
    {"ParameterOutsideProgrammingMode", false, true, 16, 2040, {1}, 0, 4},
    {"AdminBlockAtUserLevel", true, false, 16, 4001, {60}, 0, 4},
    {"PasswordBlockAtUserLevel", true, false, 16, 1000, {0x2020}, 0, 4},
};

class SimRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SimRefusal, AnswersWithException) {
  const Refusal& c = GetParam();
  Simulator sim;
  SimClient client{sim};
  if (c.admin) {
    ASSERT_EQ(client.Login("admin"), 0);
  }
  if (c.programming) {
    ASSERT_EQ(client.Command(51), 0);
  }
  std::vector<uint16_t> values;
  const int result = c.function == 16 ? client.Write(c.start, c.values) : client.Read(c.start, c.count, values, c.function);
  EXPECT_EQ(result, c.exception);
}

INSTANTIATE_TEST_SUITE_P(Requests, SimRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimFreshDevice, RefusedWriteChangesNothing) {
  ASSERT_EQ(client.Command(51), 0);
  const uint16_t before = client.Reg(2040);
  // The first register would be writable; the second one is not, so neither is written.
  EXPECT_EQ(client.Write(2045, {1, 2}), 2);
  EXPECT_EQ(client.Reg(2040), before);
  EXPECT_EQ(client.Write(2045, {0x1234}), 0);
  EXPECT_EQ(client.Reg(2045), 0x1234);
}

TEST_F(SimFreshDevice, MalformedWriteIsIllegalDataValue) {
  // Byte count 4 for one register.
  const auto answer = client.Exchange({0x01, 0x10, 0x00, 0x6C, 0x00, 0x01, 0x04, 0x00, 0x33, 0x00, 0x00});
  ASSERT_TRUE(answer);
  EXPECT_EQ((*answer)[1], 0x90);
  EXPECT_EQ((*answer)[2], 3);
}

// --- Requests the device does not answer ---

TEST_F(SimFreshDevice, OtherSlaveAddressIsIgnoredButRecorded) {
  SimClient other{sim, 7};
  std::vector<uint16_t> values;
  EXPECT_EQ(other.Read(0, 1, values), SimClient::kNoAnswer);
  EXPECT_EQ(other.Command(51), SimClient::kNoAnswer);
  EXPECT_EQ(client.Reg(15), 0) << "a request for another slave is not carried out";
  ASSERT_EQ(sim.Requests().size(), 3u);
  EXPECT_EQ(sim.Requests()[0], (RecordedRequest{7, 3, 0, 1}));
}

TEST_F(SimFreshDevice, BadCrcIsIgnoredAndNotCarriedOut) {
  std::vector<uint8_t> enter = {0x01, 0x10, 0x00, 0x6C, 0x00, 0x01, 0x02, 0x00, 0x33, 0xEF, 0x28};
  EXPECT_FALSE(sim.HandleFrame(enter));
  EXPECT_EQ(client.Reg(15), 0);
  EXPECT_EQ(sim.Requests().size(), 1u) << "only the valid read is recorded";
}

TEST_F(SimFreshDevice, BroadcastWriteIsCarriedOutWithoutAnswer) {
  SimClient everyone{sim, 0};
  EXPECT_EQ(everyone.Command(51), SimClient::kNoAnswer);
  EXPECT_NE(client.Status15Low(), 0);
}

TEST(SimSlaveAddress, RsDeviceAnswersAtItsConfiguredAddress) {
  ModelOptions options;
  options.line.address = 17;
  Simulator sim(options);
  SimClient wrong{sim, 1}, right{sim, 17};
  std::vector<uint16_t> values;
  EXPECT_EQ(wrong.Read(0, 1, values), SimClient::kNoAnswer);
  EXPECT_EQ(right.Reg(2040), 17);
}

TEST(SimSlaveAddress, UsbDeviceKeepsAddressOneWhateverBlockOneSays) {
  ModelOptions options;
  options.usb = true;
  options.line.address = 17;
  Simulator sim(options);
  SimClient one{sim, 1};
  EXPECT_EQ(one.Reg(0), 2300);
}

// --- Chunked transfers as the master issues them ---

TEST_F(SimFreshDevice, RecordsEveryRequestWithStartAndCount) {
  client.Block(7);
  ASSERT_EQ(client.Command(51), 0);
  ASSERT_EQ(client.Login("admin"), 0);
  ASSERT_EQ(client.WriteBlock(7, client.Block(7)), 0);
  const std::vector<RecordedRequest> expected = {
      {1, 3, 5500, 125}, {1, 3, 5625, 25}, {1, 16, 108, 1}, {1, 16, 100, 8},
      {1, 3, 5500, 125}, {1, 3, 5625, 25}, {1, 16, 5500, 123}, {1, 16, 5623, 27},
  };
  EXPECT_EQ(sim.Requests(), expected);
}

}  // namespace
}  // namespace kvn::devsim

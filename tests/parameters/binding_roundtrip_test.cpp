#include <cmath>
#include <cstdint>
#include <random>

#include "parameters/binding_window_fixture.h"

namespace kvn::testing {
namespace {

// Random parameter sets that every field can show exactly: numbers inside their limits and at
// the field's display precision, texts without leading blanks, choices among the items. Shown
// by FillControls and then left field by field without a change, such a set must come back
// unchanged: any row whose display and entry disagree alters EditImage.
class RoundTripTest : public BindingWindowTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  std::mt19937 random{GetParam()};

  int64_t Uniform(int64_t lower, int64_t upper) {
    return std::uniform_int_distribution<int64_t>(lower, upper)(random);
  }

  // A float that prints exactly with `decimals` decimals and lies inside [lower, upper].
  float AtPrecision(float lower, float upper, int decimals) {
    const double scale = std::pow(10.0, decimals);
    for (;;) {
      const auto k = Uniform(static_cast<int64_t>(std::ceil(double(lower) * scale)),
                             static_cast<int64_t>(std::floor(double(upper) * scale)));
      const auto x = static_cast<float>(double(k) / scale);
      if (x >= lower && x <= upper) return x;
    }
  }

  QString RandomText(int maxLength) {
    const auto length = static_cast<int>(Uniform(0, maxLength));
    QString text;
    for (int i = 0; i < length; ++i)
      text += QChar(static_cast<char16_t>(Uniform(i == 0 ? 33 : 32, 126)));
    return text;
  }

  void StoreRow(const ParameterDescriptor& row, int sensorType) {
    RegisterImage& edit = images->EditImage;
    const int reg = RegisterOf(row);
    switch (row.fieldType) {
      case FieldType::Int16: edit[static_cast<size_t>(reg)] = int32_t(Uniform(row.intMin, row.intMax)); break;
      case FieldType::Int32: {
        const IntLimits limits = IntRangeLimits(row, edit);
        const bool zero = limits.zeroAllowed && Uniform(0, 3) == 0;
        WriteInt32(edit, reg, zero ? 0 : int32_t(Uniform(limits.lower, limits.upper)));
        break;
      }
      case FieldType::Text:
      case FieldType::Password: WriteText(edit, reg, row.detail / 2, RandomText(row.detail)); break;
      case FieldType::Float: {
        const FloatLimits limits = FloatRangeLimits(row, codec);
        WriteFloat(edit, reg, AtPrecision(limits.lower, limits.upper, codec.DecimalsFor(row.detail)));
        break;
      }
      case FieldType::OffsetLevel:
        if (sensorType == kSensorTwoWireVoltage) {
          // Quarter volts add to the offset without rounding, so the shown level returns.
          const float offset = codec.OffsetVoltage();
          WriteFloat(edit, reg, offset + float(Uniform(0, int64_t((row.floatMax - offset) * 4))) / 4.0f);
        } else {
          WriteFloat(edit, reg, AtPrecision(row.floatMin, row.floatMax, 2));
        }
        break;
      case FieldType::Choice:
        edit[static_cast<size_t>(reg)] = int32_t(Uniform(0, Combo(std::string(row.name).c_str())->count() - 1));
        break;
      default: break;
    }
  }

  void MakeRandomSet() {
    RegisterImage& edit = images->EditImage;
    LoadFactoryLimits();
    const int sensorType = static_cast<int>(GetParam() % 3);
    constexpr float kRatedSpeeds[] = {5.0f, 50.0f, 500.0f, 1600.0f, 25000.0f};
    WriteFloat(edit, 4008, kRatedSpeeds[Uniform(0, 4)]);  // decides the automatic decimals
    WriteFloat(edit, 5052, 2.5f);
    WriteInt32(edit, 5026, int32_t(Uniform(0, 0xFFFFFF)));  // forced latch bits
    // Flag words: every bit random, also those without a box (bit 5 of the relay words).
    for (int r = 5500; r < 5505; ++r) edit[static_cast<size_t>(r)] = int32_t(Uniform(0, 0x7FFF));
    edit[4515] = int32_t(Uniform(0, 0x7FFF));
    edit[4516] = int32_t(Uniform(0, 0x7FFF));
    WriteInt32(edit, 4512, int32_t(Uniform(INT32_MIN, INT32_MAX)));
    edit[4002] = sensorType;
    for (const ParameterDescriptor& row : ParameterTable) {
      if (row.name == "txt_rated_sp" || row.name == "cmb_sens_type") continue;
      StoreRow(row, sensorType);
    }
    for (const BlockDescriptor& block : BlockTable) {
      if (block.is_parameter)
        edit[static_cast<size_t>(block.CrcRegister())] = ImageCrc(edit, block.start, block.count - 1);
    }
  }

  // Names of the rows whose registers differ, for the failure message.
  static std::string Differences(const RegisterImage& before, const RegisterImage& after) {
    std::string out;
    for (int r = 0; r < kRegisterCount; ++r) {
      if (before[size_t(r)] == after[size_t(r)]) continue;
      out += "register " + std::to_string(r) + ": " + std::to_string(before[size_t(r)]) + " -> " +
             std::to_string(after[size_t(r)]);
      for (const ParameterDescriptor& row : ParameterTable) {
        const int first = RegisterOf(row);
        if (r >= first && r < first + std::max(1, RegisterCountOf(row))) out += " " + std::string(row.name);
      }
      out += "\n";
    }
    return out;
  }
};

TEST_P(RoundTripTest, LeavingEveryFieldChangesNothing) {
  MakeRandomSet();
  form.FillControls();
  const RegisterImage shown = images->EditImage;
  ASSERT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  int visited = 0;
  for (const ParameterDescriptor& row : ParameterTable) {
    if (!IsEditField(row.fieldType)) continue;
    const std::string name(row.name);
    QLineEdit* field = Field(name.c_str());
    ASSERT_NE(field, nullptr) << name;
    field->setEnabled(true);  // the sensor type disables some; each row is checked here
    if (EnterField(name.c_str()) != nullptr) ++visited;
  }
  LeaveField();
  EXPECT_EQ(visited, 82);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  EXPECT_TRUE(images->EditImage == shown) << Differences(shown, images->EditImage);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RoundTripTest, ::testing::Range(1u, 10u));

}  // namespace
}  // namespace kvn::testing

#include <gtest/gtest.h>

#include "parameters/qstring_print.h"

#include <QRegularExpression>
#include <memory>

#include "parameters/range_text.h"

namespace kvn {
namespace {

class RangeTextTest : public ::testing::TestWithParam<char> {
 protected:
  QChar sep() const { return QLatin1Char(GetParam()); }
  // Expected texts are written with "." and localised to the separator under test; only a
  // point between digits is a decimal separator (" ... " joins the limits).
  QString L(const char* text) const {
    static const QRegularExpression kDecimalPoint(QStringLiteral("(?<=\\d)\\.(?=\\d)"));
    QString t = QString::fromLatin1(text);
    t.replace(kDecimalPoint, QString(sep()));
    return t;
  }
  const ParameterDescriptor& Row(const char* name) const {
    const ParameterDescriptor* row = FindParameter(name);
    EXPECT_NE(row, nullptr) << name;
    return row ? *row : ParameterRow(1);
  }
  QString RangeOf(const char* name) const { return RowRangeText(codec, Row(name)); }

  // Factory limits as the device's blocks 6 and 8 would deliver them.
  void LoadFactoryLimits() {
    WriteFloat(edit, 6004, 5000.0f);   // speed, upper
    WriteFloat(edit, 6006, 0.0f);      // speed, lower
    WriteFloat(edit, 6008, 800.0f);    // acceleration, upper
    WriteFloat(edit, 6010, 100.0f);    // acceleration, lower
    WriteFloat(edit, 5034, 20.0f);     // sensor current, upper
    WriteFloat(edit, 5036, 0.5f);      // sensor current, lower
    WriteFloat(edit, 5038, 24.0f);     // sensor voltage, upper
    WriteFloat(edit, 5040, 1.25f);     // sensor voltage, lower
    WriteInt32(edit, 5046, 100000);    // bad-pulse time, upper (needs both words)
    WriteInt32(edit, 5048, 1500);      // bad-pulse time, lower
    WriteFloat(edit, 5030, 2.0f);      // analog output error, upper
    WriteFloat(edit, 5032, 0.1f);      // analog output error, lower
  }

  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  RegisterImage& edit = images->EditImage;
  Codec codec{sep(), *images};
};

TEST_P(RangeTextTest, StaticRangesAreFormattedLikeTheField) {
  WriteFloat(edit, 4008, 1600.0f);
  struct Case {
    const char* name;
    const char* range;
  };
  for (const Case& c : {Case{"txt_mod_addr", "1 ... 254"}, Case{"txt_module", "0.0 ... 100.0"},
                        Case{"txt_teeth", "1 ... 10000"}, Case{"txt_oneshot_1", "0.001 ... 1000.000"},
                        Case{"txt_vmax_del_3", "0.000 ... 1000.000"}, Case{"txt_aout_min", "3.60 ... 21.00"},
                        Case{"txt_aout_err_val", "0.00 ... 3.60"}, Case{"txt_sens_cut_in", "0.0 ... 35000.0"},
                        Case{"txt_rated_sp", "0.00 ... 2100000.00"}, Case{"txt_level_u", "0.00 ... 24.00"},
                        Case{"chk_latch_1", ""}, Case{"txt_usr_tag1", ""}, Case{"cmb_parity", ""}}) {
    EXPECT_EQ(RangeOf(c.name), L(c.range)) << c.name;
  }
}

TEST_P(RangeTextTest, DynamicRangesComeFromTheEditImage) {
  WriteFloat(edit, 4008, 1600.0f);
  LoadFactoryLimits();
  struct Case {
    const char* name;
    const char* range;
  };
  for (const Case& c : {Case{"txt_vmax_lim_1", "0.00 ... 5000.00"}, Case{"txt_vmin_hyst_5", "0.00 ... 5000.00"},
                        Case{"txt_acc_cutoff", "0.00 ... 5000.00"}, Case{"txt_amax_lim_2", "100.00 ... 800.00"},
                        Case{"txt_amax_hyst_4", "0.00 ... 800.00"},  // lower limit always 0
                        Case{"txt_sens_lim_i_min", "0.50 ... 20.00"}, Case{"txt_sens_lim_u_max", "1.25 ... 24.00"},
                        Case{"txt_bad_pulse", "1.500 ... 100.000"}, Case{"txt_diag_aouterr", "0.10 ... 2.00"}}) {
    EXPECT_EQ(RangeOf(c.name), L(c.range)) << c.name;
  }
}

TEST_P(RangeTextTest, LimitsReflectTheRangeSource) {
  LoadFactoryLimits();
  const IntLimits badPulse = IntRangeLimits(Row("txt_bad_pulse"), edit);
  EXPECT_EQ(badPulse.lower, 1500);
  EXPECT_EQ(badPulse.upper, 100000);
  EXPECT_TRUE(badPulse.zeroAllowed);

  const IntLimits addr = IntRangeLimits(Row("txt_mod_addr"), edit);
  EXPECT_EQ(addr.lower, 1);
  EXPECT_EQ(addr.upper, 254);
  EXPECT_FALSE(addr.zeroAllowed);

  const FloatLimits hyst = FloatRangeLimits(Row("txt_amax_hyst_1"), codec);
  EXPECT_EQ(hyst.lower, 0.0f);
  EXPECT_EQ(hyst.upper, 800.0f);
  EXPECT_FALSE(hyst.Unlimited());
}

TEST_P(RangeTextTest, UnreadFactoryBlocksLeaveDynamicRowsUnlimited) {
  EXPECT_TRUE(FloatRangeLimits(Row("txt_vmax_lim_1"), codec).Unlimited());
  EXPECT_TRUE(IntRangeLimits(Row("txt_bad_pulse"), edit).Unlimited());
  EXPECT_FALSE(FloatRangeLimits(Row("txt_aout_min"), codec).Unlimited());
}

TEST_P(RangeTextTest, OffsetLevelUpperLimitDropsByTheOffsetForTwoWireVoltage) {
  WriteFloat(edit, 5052, 2.5f);
  edit[4002] = 2;
  EXPECT_EQ(RangeOf("txt_level_u"), L("0.00 ... 21.50"));
  const FloatLimits limits = FloatRangeLimits(Row("txt_level_u"), codec);
  EXPECT_EQ(limits.upper, 21.5f);
  edit[4002] = 0;
  EXPECT_EQ(RangeOf("txt_level_u"), L("0.00 ... 24.00"));
}

TEST_P(RangeTextTest, RangeTextJoinsTwoLimits) {
  EXPECT_EQ(IntRangeText(codec, IntLimits{0, 1000, false}, 1), L("0.0 ... 100.0"));
  EXPECT_EQ(FloatRangeText(codec, FloatLimits{3.6f, 21.0f}, 2), L("3.60 ... 21.00"));
}

TEST_P(RangeTextTest, VmaxInfoTextShowsTheSpeedRange) {
  WriteFloat(edit, 4008, 1600.0f);
  WriteFloat(edit, 6006, 0.0f);
  WriteFloat(edit, 6004, 5000.0f);
  const QString info = QStringLiteral("[INPUT] [range: @s RPM]|Trip is initiated when this limit is exceeded.");
  EXPECT_EQ(SubstituteRange(info, codec),
            L("[INPUT] [range:  0.00 - 5000.00  RPM]") + QStringLiteral("|Trip is initiated when this limit is exceeded."));
}

TEST_P(RangeTextTest, EachPlaceholderReadsItsLimits) {
  WriteFloat(edit, 4008, 1600.0f);
  LoadFactoryLimits();
  struct Case {
    const char* text;
    const char* shown;
  };
  for (const Case& c : {Case{"x@sy", "x 0.00 - 5000.00 y"}, Case{"x@ay", "x 100.00 - 800.00 y"},
                        Case{"x@hy", "x 0.00 - 800.00 y"}, Case{"x@iy", "x 0.50 - 20.00 y"},
                        Case{"x@vy", "x 1.25 - 24.00 y"}, Case{"x@py", "x 1500 - 100000 y"},
                        Case{"x@ry", "x 0.10 - 2.00 y"}}) {
    EXPECT_EQ(SubstituteRange(QString::fromLatin1(c.text), codec), L(c.shown)) << c.text;
  }
}

TEST_P(RangeTextTest, OnlyTheFirstPlaceholderInOrderIsReplacedOnce) {
  WriteFloat(edit, 4008, 20000.0f);
  LoadFactoryLimits();
  struct Case {
    const char* text;
    const char* shown;
  };
  for (const Case& c : {Case{"@s and @a", " 0.0 - 5000.0  and @a"}, Case{"@a and @s", "@a and  0.0 - 5000.0 "},
                        Case{"@s@s", " 0.0 - 5000.0 @s"}, Case{"@p then @i", "@p then  0.50 - 20.00 "},
                        Case{"@r @v", "@r  1.25 - 24.00 "}, Case{"no range here", "no range here"},
                        Case{"@S @x @", "@S @x @"}, Case{"", ""}}) {
    EXPECT_EQ(SubstituteRange(QString::fromLatin1(c.text), codec), L(c.shown)) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(Separators, RangeTextTest, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? "Point" : "Comma"; });

}  // namespace
}  // namespace kvn

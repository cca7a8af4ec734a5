#include <gtest/gtest.h>

#include "parameters/qstring_print.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "parameters/value_codec.h"

namespace kvn {
namespace {

// Expected texts are written with "." and localised to the separator under test.
QString Localized(const char* text, QChar separator) {
  QString t = QString::fromLatin1(text);
  t.replace(QLatin1Char('.'), separator);
  return t;
}

// ---------------------------------------------------------------------------------------------
// Register access

class RegisterAccess : public ::testing::Test {
 protected:
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  RegisterImage& edit = images->EditImage;
};

TEST_F(RegisterAccess, ReadInt32UsesOnlyTheLowSixteenBitsOfEachCell) {
  edit[10] = -1;  // 0xFFFF as read from the device
  edit[11] = 0;
  EXPECT_EQ(ReadInt32(edit, 10), 65535);
  edit[10] = 65535;  // the same register as a configuration file stores it
  EXPECT_EQ(ReadInt32(edit, 10), 65535);
  edit[11] = -1;
  EXPECT_EQ(ReadInt32(edit, 10), -1);
}

TEST_F(RegisterAccess, WriteInt32SplitsSignExtendedWords) {
  struct Case {
    int32_t value;
    int32_t low;
    int32_t high;
  };
  for (const Case& c : {Case{100000, -31072, 1}, Case{-1, -1, -1}, Case{65535, -1, 0},
                        Case{0x7FFFFFFF, -1, 32767}, Case{std::numeric_limits<int32_t>::min(), 0, -32768},
                        Case{-100000, 31072, -2}}) {
    WriteInt32(edit, 200, c.value);
    EXPECT_EQ(edit[200], c.low) << c.value;
    EXPECT_EQ(edit[201], c.high) << c.value;
    EXPECT_EQ(ReadInt32(edit, 200), c.value);
  }
}

TEST_F(RegisterAccess, FloatTravelsLowWordFirst) {
  WriteFloat(edit, 4008, 2100000.0f);
  EXPECT_EQ(edit[4008] & 0xFFFF, 0x2C80);
  EXPECT_EQ(edit[4009] & 0xFFFF, 0x4A00);
  EXPECT_EQ(ReadFloat(edit, 4008), 2100000.0f);
  WriteFloat(edit, 4008, -3.6f);
  EXPECT_EQ(ReadFloat(edit, 4008), -3.6f);
}

TEST_F(RegisterAccess, CombineWordsJoinsHighAndLow) {
  EXPECT_EQ(CombineWords(4, 1), 65540);
  EXPECT_EQ(CombineWords(-1, 0), 65535);
  EXPECT_EQ(CombineWords(-31072, 1), 100000);
  EXPECT_EQ(CombineWords(0, -1), static_cast<int32_t>(0xFFFF0000u));
}

TEST_F(RegisterAccess, TextIsPaddedWithBlanks) {
  WriteText(edit, 2000, 8, QStringLiteral("AB"));
  EXPECT_EQ(edit[2000], 0x4241);
  for (int r = 2001; r < 2008; ++r) EXPECT_EQ(edit[r], 0x2020) << r;
  EXPECT_EQ(ReadText(edit, 2000, 8), QStringLiteral("AB") + QString(14, QLatin1Char(' ')));
}

TEST_F(RegisterAccess, TextBeyondTheFieldIsDropped) {
  const QString text = QStringLiteral("0123456789abcdefghijklmnopqrstuvW");  // 33 characters
  edit[2040] = 77;
  WriteText(edit, 2024, 16, text);
  EXPECT_EQ(ReadText(edit, 2024, 16), text.left(32));
  EXPECT_EQ(edit[2040], 77);  // the register after the field is untouched
}

TEST_F(RegisterAccess, ReadTextKeepsZeroAndHighBytes) {
  edit[4] = 0x0041;       // "A", then a zero byte
  edit[5] = -0x3F00;  // 0xC100 sign-extended: zero byte, then 0xC1
  const QString text = ReadText(edit, 4, 2);
  ASSERT_EQ(text.size(), 4);
  EXPECT_EQ(text.at(0), QLatin1Char('A'));
  EXPECT_EQ(text.at(1).unicode(), 0);
  EXPECT_EQ(text.at(2).unicode(), 0);
  EXPECT_EQ(text.at(3).unicode(), 0xC1);
}

TEST_F(RegisterAccess, TextRoundTripsLatin1AndReplacesWiderCharacters) {
  WriteText(edit, 2500, 2, QString::fromUtf8("\xC3\xA4\xE2\x82\xAC" "b"));  // a-umlaut, euro sign, b
  EXPECT_EQ(ReadText(edit, 2500, 2), QString::fromUtf8("\xC3\xA4?b "));
  EXPECT_EQ(edit[2500], 0xE4 + 256 * '?');
}

TEST_F(RegisterAccess, CrcTextIsFourUpperCaseHexDigits) {
  EXPECT_EQ(CrcText(-1), QStringLiteral("FFFF"));
  EXPECT_EQ(CrcText(0x1A2B), QStringLiteral("1A2B"));
  EXPECT_EQ(CrcText(0x12), QStringLiteral("0012"));
  EXPECT_EQ(CrcText(0x3abcd), QStringLiteral("ABCD"));
}

// ---------------------------------------------------------------------------------------------
// Scaled integers, for both separators

class ScaledNumbers : public ::testing::TestWithParam<char> {
 protected:
  QChar sep() const { return QLatin1Char(GetParam()); }
  NumberFormat format{sep()};
};

TEST_P(ScaledNumbers, FormatScaledPutsTheImpliedDecimals) {
  struct Case {
    int64_t value;
    int decimals;
    const char* text;
  };
  for (const Case& c : {Case{5, 3, "0.005"}, Case{1500, 3, "1.500"}, Case{12, 1, "1.2"}, Case{0, 1, "0.0"},
                        Case{254, 0, "254"}, Case{1000, 1, "100.0"}, Case{1000000, 3, "1000.000"},
                        Case{123, -1, "123"}, Case{-5, 3, "-0.005"}, Case{-12, 1, "-1.2"},
                        Case{-7, 0, "-7"}, Case{-1500, 3, "-1.500"}}) {
    EXPECT_EQ(format.FormatScaled(c.value, c.decimals), Localized(c.text, sep()))
        << c.value << " with " << c.decimals << " decimals";
  }
}

TEST_P(ScaledNumbers, ParseScaledCutsSurplusDecimals) {
  struct Case {
    const char* text;
    int decimals;
    bool ok;
    int64_t value;
  };
  for (const Case& c : {Case{"12.34", 1, true, 123}, Case{"7", 3, true, 7000}, Case{".5", 1, true, 5},
                        Case{"-0.5", 1, true, -5}, Case{"2.9", 0, true, 2}, Case{"1.2345", 3, true, 1234},
                        Case{"1.", 2, true, 100}, Case{"0.001", 3, true, 1}, Case{"254", 0, true, 254},
                        Case{"1.5.2", 1, true, 15}, Case{"-12", 0, true, -12},
                        Case{" 12 ", 0, true, 12}, Case{"1.5 ", 2, true, 150}, Case{"+7", 1, true, 70},
                        Case{"1 2", 0, false, 0}, Case{"1.2 3", 2, false, 0}, Case{"--1", 0, false, 0},
                        Case{"9223372036854775807", 0, true, std::numeric_limits<int64_t>::max()},
                        Case{"abc", 1, false, 0}, Case{"abc", 0, false, 0}, Case{"", 0, false, 0},
                        Case{"12a", 0, false, 0}, Case{"1e3", 1, false, 0},
                        Case{"99999999999999999999", 0, false, 0}}) {
    const ScaledValue parsed = format.ParseScaled(Localized(c.text, sep()), c.decimals);
    EXPECT_EQ(parsed.ok, c.ok) << c.text << " with " << c.decimals << " decimals";
    EXPECT_EQ(parsed.value, c.value) << c.text << " with " << c.decimals << " decimals";
  }
}

TEST_P(ScaledNumbers, ParseScaledRefusesTheOtherSeparator) {
  const QChar other = GetParam() == '.' ? QLatin1Char(',') : QLatin1Char('.');
  QString text = QStringLiteral("1x5");
  text[1] = other;
  EXPECT_FALSE(format.ParseScaled(text, 1).ok);
  // With no decimals the text is cut only at our own separator, so the rest fails too.
  EXPECT_FALSE(format.ParseScaled(text, 0).ok);
}

TEST_P(ScaledNumbers, ParseScaledReadsFormatScaledBack) {
  for (int d = 0; d <= 4; ++d) {
    for (int64_t v = -200000; v <= 200000; v += 7) {
      const ScaledValue parsed = format.ParseScaled(format.FormatScaled(v, d), d);
      ASSERT_TRUE(parsed.ok) << v << " with " << d << " decimals";
      ASSERT_EQ(parsed.value, v) << format.FormatScaled(v, d).toStdString();
    }
    for (int64_t v : {int64_t{std::numeric_limits<int32_t>::min()}, int64_t{std::numeric_limits<int32_t>::max()},
                      int64_t{-1}, int64_t{0}, int64_t{1}}) {
      EXPECT_EQ(format.ParseScaled(format.FormatScaled(v, d), d).value, v) << v << " with " << d;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Separators, ScaledNumbers, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? "Point" : "Comma"; });

// ---------------------------------------------------------------------------------------------
// Floating-point texts and derived values, for both separators

class CodecTest : public ::testing::TestWithParam<char> {
 protected:
  QChar sep() const { return QLatin1Char(GetParam()); }
  QString L(const char* text) const { return Localized(text, sep()); }
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  RegisterImage& edit = images->EditImage;
  Codec codec{sep(), *images};
};

TEST_P(CodecTest, FormatFloatWithFixedDecimals) {
  struct Case {
    float value;
    int mode;
    const char* text;
  };
  for (const Case& c : {Case{3.6f, 2, "3.60"}, Case{0.0f, 3, "0.000"}, Case{2100000.0f, 2, "2100000.00"},
                        Case{0.26f, 1, "0.3"}, Case{-1.25f, 2, "-1.25"},
                        Case{7.0f, 0, "7"}, Case{1234.5f, 9, "1234.500000"}, Case{0.5f, 6, "0.500000"},
                        Case{99.996f, 2, "100.00"}}) {
    EXPECT_EQ(codec.FormatFloat(c.value, c.mode), L(c.text)) << c.value << " mode " << c.mode;
  }
}

TEST_P(CodecTest, AutomaticDecimalsFollowTheRatedSpeed) {
  struct Case {
    float rated;
    int decimals;
  };
  for (const Case& c : {Case{0.5f, 6}, Case{-5.0f, 6}, Case{1.0f, 5}, Case{9.99f, 5}, Case{10.0f, 4},
                        Case{99.9f, 4}, Case{100.0f, 3}, Case{999.0f, 3}, Case{1000.0f, 2}, Case{1600.0f, 2},
                        Case{9999.0f, 2}, Case{10000.0f, 1}, Case{2100000.0f, 1},
                        Case{std::numeric_limits<float>::quiet_NaN(), 5}}) {
    WriteFloat(edit, 4008, c.rated);
    EXPECT_EQ(codec.DecimalsFor(kAutoDecimals), c.decimals) << c.rated;
    const QString text = codec.FormatFloat(2.0f, kAutoDecimals);
    EXPECT_EQ(text.size() - text.indexOf(sep()) - 1, c.decimals) << text.toStdString();
  }
}

TEST_P(CodecTest, AutomaticDecimalsExamples) {
  WriteFloat(edit, 4008, 1600.0f);
  EXPECT_EQ(codec.FormatFloat(1234.5f, -1), L("1234.50"));
  WriteFloat(edit, 4008, 0.5f);
  EXPECT_EQ(codec.FormatFloat(1234.5f, -1), L("1234.500000"));
  // Every negative mode other than -2 reads the edited rated speed.
  EXPECT_EQ(codec.FormatFloat(1234.5f, -7), L("1234.500000"));
}

TEST_P(CodecTest, LiveDataModeUsesTheDeviceRatedSpeed) {
  WriteFloat(edit, 4008, 1600.0f);
  WriteFloat(images->DeviceImage, 4008, 50000.0f);
  EXPECT_EQ(codec.FormatFloat(1.0f, kAutoDecimalsDevice), L("1.0"));
  EXPECT_EQ(codec.FormatFloat(1.0f, kAutoDecimals), L("1.00"));
}

TEST_P(CodecTest, ParseFloatTakesOnlyTheOwnSeparator) {
  struct Case {
    const char* text;  // "." stands for the separator under test
    bool ok;
    float value;
  };
  for (const Case& c : {Case{"3.5", true, 3.5f}, Case{" 2.5 ", true, 2.5f}, Case{"5.", true, 5.0f},
                        Case{".25", true, 0.25f}, Case{"-1", true, -1.0f}, Case{"1e3", true, 1000.0f},
                        Case{"3.6", true, 3.6f}, Case{"abc", false, 0}, Case{"", false, 0}, Case{".", false, 0},
                        Case{"1.2.3", false, 0}, Case{"1e40", false, 0}, Case{"inf", false, 0},
                        Case{"nan", false, 0}}) {
    const std::optional<float> parsed = codec.ParseFloat(L(c.text));
    EXPECT_EQ(parsed.has_value(), c.ok) << c.text;
    if (parsed && c.ok) {
      EXPECT_EQ(*parsed, c.value) << c.text;
    }
  }
  const QString otherSeparator = GetParam() == '.' ? QStringLiteral("3,5") : QStringLiteral("3.5");
  EXPECT_FALSE(codec.ParseFloat(otherSeparator).has_value());
}

TEST_P(CodecTest, ResponseTime) {
  struct Case {
    int averaging;
    int teeth;
    float rated;
    const char* text;
  };
  for (const Case& c : {Case{1, 60, 1000.0f, "9.0"}, Case{0, 60, 1000.0f, ""}, Case{1, 0, 1000.0f, ""},
                        Case{1, 60, 0.0f, ""}, Case{1, 60, -5.0f, ""},
                        Case{1, 60, std::numeric_limits<float>::quiet_NaN(), ""},
                        Case{10, 60, 1000.0f, "18.0"}, Case{4, 120, 3000.0f, "8.7"},
                        // 2.5 and 1.5 ticks both round to 2: ties go to the even neighbour
                        Case{1, 1, 240000.0f, "8.2"}, Case{1, 1, 400000.0f, "8.2"},
                        Case{1, 1, 1.0e-30f, ""}}) {
    edit[4003] = c.averaging;
    edit[4001] = c.teeth;
    WriteFloat(edit, 4008, c.rated);
    EXPECT_EQ(codec.ResponseTimeText(), L(c.text))
        << c.averaging << " / " << c.teeth << " / " << c.rated;
  }
}

TEST_P(CodecTest, CutInSpeed) {
  WriteFloat(edit, 4008, 1600.0f);
  WriteFloat(edit, 4016, 35.0f);
  edit[4001] = 60;
  EXPECT_EQ(codec.CutInRpmText(), L("35.00"));
  edit[4001] = 7;
  EXPECT_EQ(codec.CutInRpmText(), L("300.00"));
  edit[4001] = 0;
  EXPECT_EQ(codec.CutInRpmText(), QString());
}

TEST_P(CodecTest, BadPulseFrequency) {
  struct Case {
    int32_t time;
    const char* text;
  };
  for (const Case& c : {Case{0, "0.000"}, Case{4000, "0.250"}, Case{3, "333.333"}, Case{100000, "0.010"},
                        Case{-4, "-250.000"}}) {
    WriteInt32(edit, 4500, c.time);
    EXPECT_EQ(codec.BadPulseFrequencyText(), L(c.text)) << c.time;
  }
}

TEST_P(CodecTest, OffsetLevelShownAboveTheOffsetForTwoWireVoltage) {
  WriteFloat(edit, 5052, 2.5f);  // OffsetVoltage
  WriteFloat(edit, 4012, 5.5f);  // absolute level
  edit[4002] = 1;
  EXPECT_EQ(codec.OffsetLevelDisplay(4012, 2), L("5.50"));
  edit[4002] = 2;
  EXPECT_TRUE(codec.IsTwoWireVoltage());
  EXPECT_EQ(codec.OffsetLevelDisplay(4012, 2), L("3.00"));
  EXPECT_EQ(codec.OffsetLevelText(), L("5.50"));  // the absolute level stays visible
  WriteFloat(edit, 4012, 1.0f);
  EXPECT_EQ(codec.OffsetLevelDisplay(4012, 2), L("0.00"));
}

TEST_P(CodecTest, FixedRoleRegisters) {
  WriteInt32(edit, 5026, 0x01000003);
  WriteFloat(edit, 5052, 1.75f);
  edit[4002] = 2;
  EXPECT_EQ(codec.LatchForceMask(), 0x01000003);
  EXPECT_EQ(codec.OffsetVoltage(), 1.75f);
  EXPECT_EQ(codec.SensorType(), 2);
}

INSTANTIATE_TEST_SUITE_P(Separators, CodecTest, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? "Point" : "Comma"; });

}  // namespace
}  // namespace kvn

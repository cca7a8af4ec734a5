#include <gtest/gtest.h>

#include "texts/about_text.h"
#include "texts/texts.h"

namespace kvn {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct ExpandCase {
  const char* name;
  QString input;
  QString expected;
};

void PrintTo(const ExpandCase& c, std::ostream* out) { *out << c.name; }

class ExpandLinesCases : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandLinesCases, ReplacesBarsAndPadsEveryThird) {
  EXPECT_EQ(ExpandLines(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExpandLinesCases,
    ::testing::Values(
        ExpandCase{"NoBar", "Quit program?", "Quit program?"},
        ExpandCase{"Empty", "", ""},
        ExpandCase{"OneBar", "one|two", "one\r\ntwo"},
        ExpandCase{"TwoBars", "a|b|c", "a\r\nb\r\nc"},
        ExpandCase{"ThreeBarsAddOne", "one|two|three|four", "one\r\ntwo\r\nthree\r\nfour\r\n"},
        ExpandCase{"FiveBarsAddOne", "1|2|3|4|5|6", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n"},
        ExpandCase{"SixBarsAddTwo", "||||||", "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"},
        ExpandCase{"TrailingBar", "end|", "end\r\n"}),
    [](const ::testing::TestParamInfo<ExpandCase>& info) { return info.param.name; });

struct FieldCase {
  const char* name;
  QString list;
  QString field;
  QString rest;
};

void PrintTo(const FieldCase& c, std::ostream* out) { *out << c.name; }

class NextFieldCases : public ::testing::TestWithParam<FieldCase> {};

TEST_P(NextFieldCases, SplitsAtFirstBar) {
  const auto [field, rest] = NextField(GetParam().list);
  EXPECT_EQ(field, GetParam().field);
  EXPECT_EQ(rest, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NextFieldCases,
    ::testing::Values(FieldCase{"TwoItems", "Inactive|Active", "Inactive", "Active"},
                      FieldCase{"ThreeItems", "a|b|c", "a", "b|c"},
                      FieldCase{"NoBar", "COM3", "COM3", ""},
                      FieldCase{"Empty", "", "", ""},
                      FieldCase{"LeadingBar", "|x", "", "x"},
                      FieldCase{"DoubleBar", "a||b", "a", "|b"},
                      FieldCase{"TrailingBar", "a|", "a", ""}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return info.param.name; });

class TextsLookup : public ::testing::Test {
 protected:
  void SetUp() override { texts.FillFromDefaults(); }
  Texts texts;
};

TEST(TextsState, EveryTextEmptyBeforeCollection) {
  const Texts texts;
  ASSERT_EQ(texts.CurrentTexts.size(), kTextRowCount);
  for (const QString& text : texts.CurrentTexts) EXPECT_TRUE(text.isEmpty());
  EXPECT_EQ(texts.GetErrorText(0), QString());
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("cmd1_ok")), QString());
}

TEST_F(TextsLookup, DefaultsJoinBothPieces) {
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("lbl_i_resp_time")),
            QStringLiteral("[OUTPUT]|Hardware reaction time (Th) is a fixed value (8 ms)."
                           "|Measurement reaction time (Tm) is evaluated in the device based on "
                           "number of teeth, rated speed and frequency averaging."
                           "|ATTENTION: Delay specified on the OUTPUT tab adds to the total "
                           "reaction time, but is not shown in this field."));
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("cmd1_rescan")), QStringLiteral("Rescan..."));
}

TEST_F(TextsLookup, MessageTextIsExpanded) {
  EXPECT_EQ(texts.GetMessageText(21), QStringLiteral("Overwrite existing parameters?") + kCrLf +
                                          QStringLiteral("Press [OK] to proceed or [Cancel] to abort."));
  EXPECT_EQ(texts.GetMessageText(25),
            QStringLiteral("out of range.") + kCrLf + QStringLiteral("Update process aborted."));
  EXPECT_EQ(texts.GetMessageText(4), QStringLiteral(" characters. Entry truncated."));
  EXPECT_EQ(texts.GetMessageText(0),
            QStringLiteral("No Connection! (Time-Out)-Function aborted."));
  EXPECT_EQ(texts.GetMessageText(84), QStringLiteral("spare"));
}

TEST_F(TextsLookup, OtherFamiliesNeverExpand) {
  // A language pack may put bars into any text; only messages turn them into line breaks.
  texts.CurrentTexts[559] = QStringLiteral("a|b|c|d");   // error 0
  texts.CurrentTexts[535] = QStringLiteral("e|f");       // report 0
  texts.CurrentTexts[588] = QStringLiteral("g|h|i|j");   // event 1
  texts.CurrentTexts[446] = QStringLiteral("k|l|m|n");   // message 0
  EXPECT_EQ(texts.GetErrorText(0), QStringLiteral("a|b|c|d"));
  EXPECT_EQ(texts.GetReportText(0), QStringLiteral("e|f"));
  EXPECT_EQ(texts.GetEventText(1), QStringLiteral("g|h|i|j"));
  EXPECT_EQ(texts.GetMessageText(0), QStringLiteral("k\r\nl\r\nm\r\nn\r\n"));
}

TEST_F(TextsLookup, FamiliesAreLookedUpByNumberNotKey) {
  EXPECT_EQ(texts.GetErrorText(16), QStringLiteral("CPU supply out of range"));
  EXPECT_EQ(texts.GetErrorText(17), QStringLiteral("Relays PST failed"));
  EXPECT_EQ(texts.GetErrorText(18), QStringLiteral("Parameter value out of range"));
  EXPECT_EQ(texts.GetErrorText(24), QStringLiteral("Slave startup watchdog error"));
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("error_text_16")),
            QStringLiteral("CPU supply out of range"));
  EXPECT_EQ(texts.GetReportText(2), QStringLiteral("Korvane configuration report"));
  EXPECT_EQ(texts.GetReportText(19), QStringLiteral("Event log saved"));
  EXPECT_EQ(texts.GetEventText(1), QStringLiteral("Power Cycle"));
  EXPECT_EQ(texts.GetEventText(24), QStringLiteral("Exit Programming Mode"));
}

TEST_F(TextsLookup, UnknownIndexGivesFixedText) {
  const QString unknown = QStringLiteral("text index unknown...");
  struct UnknownCase {
    const char* family;
    QString text;
  };
  const UnknownCase cases[] = {
      {"message 85", texts.GetMessageText(85)}, {"message -1", texts.GetMessageText(-1)},
      {"error 25", texts.GetErrorText(25)},     {"report 20", texts.GetReportText(20)},
      {"event 0", texts.GetEventText(0)},       {"event 25", texts.GetEventText(25)}};
  for (const UnknownCase& c : cases) EXPECT_EQ(c.text, unknown) << c.family;
}

TEST_F(TextsLookup, FirstRowWithTheKeyWins) {
  texts.CurrentTexts[252] = QStringLiteral("Test and reset ON");
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("cmd_ppt_on")), QStringLiteral("Test and reset ON"));
  texts.CurrentTexts[251] = QStringLiteral("Clear Min/Max");
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("cmd_clr_minmax")), QStringLiteral("Clear Min/Max"));
}

TEST_F(TextsLookup, KeyMatchIsExactAndCaseSensitive) {
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("CMD1_OK")), QString());
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("cmd1_ok ")), QString());
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("no_such_key")), QString());
  EXPECT_EQ(texts.GetTextByKey(QString()), QString());
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("cmd1_ok")), QStringLiteral("OK"));
}

TEST_F(TextsLookup, LookupsFollowReplacedTexts) {
  // A language pack replaces every current text; the lookups must read the new ones.
  for (int row = 0; row < kTextRowCount; ++row) {
    texts.CurrentTexts[row] = QStringLiteral("T%1").arg(row);
  }
  EXPECT_EQ(texts.GetMessageText(50), QStringLiteral("T496"));
  EXPECT_EQ(texts.GetErrorText(17), QStringLiteral("T576"));
  EXPECT_EQ(texts.GetReportText(10), QStringLiteral("T545"));
  EXPECT_EQ(texts.GetEventText(1), QStringLiteral("T588"));
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("if_setup_caption")), QStringLiteral("T2"));
}

TEST_F(TextsLookup, ShortenedTextListDoesNotCrashLookups) {
  texts.CurrentTexts.resize(10);
  EXPECT_EQ(texts.GetMessageText(0), QString());
  EXPECT_EQ(texts.GetTextByKey(QStringLiteral("if_setup_caption")),
            QStringLiteral("Interface settings"));
}

TEST(AboutText, HasEightBarsAndEndsWithTwoExtraBreaks) {
  const QString about = AboutText();
  EXPECT_EQ(about.count(QLatin1Char('|')), 8);
  EXPECT_TRUE(about.startsWith(QStringLiteral(
      "This software application is developed for configuration of Korvane devices.")));
  EXPECT_TRUE(about.contains(QStringLiteral("in the manuals. Usage of this software")));
  EXPECT_TRUE(about.contains(QStringLiteral("be followed.||Operating personnel")));
  EXPECT_TRUE(about.contains(QStringLiteral("at the manufacturer\u2019s website")));
  EXPECT_TRUE(about.contains(QStringLiteral("claims.||This software may be updated")));
  EXPECT_TRUE(about.contains(QStringLiteral(
      "notices. For the latest version of this software and other information about this "
      "product, please contact your supplier or visit the website.||")));
  const QString expanded = ExpandLines(about);
  EXPECT_EQ(expanded.count(kCrLf), 10);
  EXPECT_TRUE(expanded.endsWith(kCrLf + kCrLf));
  EXPECT_FALSE(expanded.endsWith(kCrLf + kCrLf + kCrLf));
}

}  // namespace
}  // namespace kvn

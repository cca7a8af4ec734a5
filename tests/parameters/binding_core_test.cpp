#include <gtest/gtest.h>

#include <QLabel>
#include <QRegularExpression>
#include <QLineEdit>
#include <QWidget>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "parameters/form/entry_checks.h"
#include "parameters/form/find_control.h"
#include "parameters/form/key_filters.h"
#include "parameters/qstring_print.h"
#include "support/recording_prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

// --- Key filters -----------------------------------------------------------------------------

struct KeyCase {
  KeyFilterKind kind;
  char16_t key;
  const char* fieldText;
  KeyVerdict verdict;
};

void PrintTo(const KeyCase& c, std::ostream* out) {
  *out << "kind " << static_cast<int>(c.kind) << " key " << int(c.key) << " after \""
       << c.fieldText << '"';
}

class KeyFilterTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyFilterTest, DecidesLikeTheFieldKind) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(FilterKey(c.kind, QChar(c.key), QString::fromLatin1(c.fieldText), QLatin1Char('.')),
            c.verdict);
}

constexpr auto T = KeyFilterKind::Text;
constexpr auto I = KeyFilterKind::Integer;
constexpr auto N = KeyFilterKind::Number;
constexpr auto Pass = KeyVerdict::Pass;
constexpr auto Drop = KeyVerdict::Discard;
constexpr auto Take = KeyVerdict::TakeEdit;
constexpr auto Restore = KeyVerdict::RestoreEntry;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyFilterTest,
    ::testing::Values(
        // Enter, Escape and Backspace in every kind of field, whatever the length.
        KeyCase{T, 13, "", Take}, KeyCase{I, 13, "12345678901", Take}, KeyCase{N, 13, "", Take},
        KeyCase{T, 27, "abc", Restore}, KeyCase{I, 27, "12345678901", Restore},
        KeyCase{N, 27, "1", Restore},
        // Escape restores also in a number field already longer than 10 characters.
        KeyCase{N, 27, "12345678901", Restore}, KeyCase{N, 8, "12345678901", Pass},
        KeyCase{I, 8, "12345678901", Pass}, KeyCase{T, 8, "", Pass},
        // Text fields: printable ASCII except the bar.
        KeyCase{T, ' ', "", Pass}, KeyCase{T, '~', "", Pass}, KeyCase{T, 'a', "", Pass},
        KeyCase{T, '|', "", Drop}, KeyCase{T, 127, "", Drop}, KeyCase{T, 0xE9, "", Drop},
        KeyCase{T, 0x20AC, "", Drop}, KeyCase{T, 9, "", Drop}, KeyCase{T, 22, "", Drop},
        // Text fields are not limited while typing.
        KeyCase{T, 'x', "12345678901234567890", Pass},
        // Integer fields: digits and the minus sign, at most 11 characters.
        KeyCase{I, '0', "", Pass}, KeyCase{I, '9', "", Pass}, KeyCase{I, '-', "", Pass},
        KeyCase{I, '.', "", Drop}, KeyCase{I, 'a', "", Drop}, KeyCase{I, 22, "", Drop},
        KeyCase{I, '5', "1234567890", Pass}, KeyCase{I, '5', "12345678901", Drop},
        KeyCase{I, '5', "  1234567890  ", Pass},
        // Number fields: no minus, one separator, control characters pass.
        KeyCase{N, '7', "", Pass}, KeyCase{N, '-', "", Drop}, KeyCase{N, '.', "1", Pass},
        KeyCase{N, '.', "1.2", Drop}, KeyCase{N, 'e', "1", Drop}, KeyCase{N, ',', "1", Drop},
        KeyCase{N, 22, "", Pass}, KeyCase{N, '5', "1234567890", Pass},
        KeyCase{N, '5', "12345678901", Drop}, KeyCase{N, 22, "12345678901", Drop}));

struct PasteCase {
  KeyFilterKind kind;
  const char* fieldText;
  const char16_t* pasted;
  const char16_t* kept;
};

class KeptOfPasteTest : public ::testing::TestWithParam<PasteCase> {};

TEST_P(KeptOfPasteTest, JudgesEachCharacterAsIfTypedInOrder) {
  const PasteCase& c = GetParam();
  EXPECT_EQ(KeptOfPaste(c.kind, QString::fromUtf16(c.pasted), QString::fromLatin1(c.fieldText),
                        QLatin1Char('.')),
            QString::fromUtf16(c.kept))
      << "kind " << static_cast<int>(c.kind) << " into \"" << c.fieldText << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Pastes, KeptOfPasteTest,
    ::testing::Values(
        // Control characters insert nothing, also where the number filter lets them pass.
        PasteCase{T, "", u"a\tb|c\r\n\u00e9", u"abc"}, PasteCase{N, "", u"1\t2\n", u"12"},
        PasteCase{I, "", u"-1 2.3e4", u"-1234"}, PasteCase{N, "", u"-1.2.3", u"1.23"},
        // The field's separator counts, and so does each kept one.
        PasteCase{N, "0.5", u"1.5", u"15"}, PasteCase{N, "", u"..5", u".5"},
        // The length limit holds across the pasted characters.
        PasteCase{I, "123456789", u"98765", u"98"}, PasteCase{N, "1234567890", u"12", u"1"},
        PasteCase{T, "12345678901234567890", u"more", u"more"},
        PasteCase{KeyFilterKind::None, "", u"a\tb", u"a\tb"}));

struct NumericKeyCase {
  char separator;
  char16_t key;
  const char* text;
  bool passes;
};

class FilterNumericKeyTest : public ::testing::TestWithParam<NumericKeyCase> {};

TEST_P(FilterNumericKeyTest, FollowsTheLocaleSeparator) {
  const NumericKeyCase& c = GetParam();
  EXPECT_EQ(FilterNumericKey(QChar(c.key), QString::fromLatin1(c.text), QLatin1Char(c.separator)),
            c.passes)
      << "key " << int(c.key) << " text " << c.text << " separator " << c.separator;
}

INSTANTIATE_TEST_SUITE_P(
    Separators, FilterNumericKeyTest,
    ::testing::Values(NumericKeyCase{',', ',', "12", true}, NumericKeyCase{',', ',', "1,2", false},
                      NumericKeyCase{',', '.', "12", false}, NumericKeyCase{'.', '.', "", true},
                      NumericKeyCase{'.', ',', "", false}, NumericKeyCase{',', '-', "", false},
                      NumericKeyCase{',', 3, "1,2", true}, NumericKeyCase{',', '0', "1,2", true},
                      NumericKeyCase{',', ' ', "", false}, NumericKeyCase{',', '+', "", false}));

TEST(KeyFilterChoice, TheSixIntegerFieldsAndTheNineTextFields) {
  int text = 0;
  int integer = 0;
  int number = 0;
  for (const ParameterDescriptor& row : ParameterTable) {
    switch (KeyFilterFor(row)) {
      case KeyFilterKind::Text: ++text; break;
      case KeyFilterKind::Integer:
        ++integer;
        EXPECT_TRUE(row.name == "txt_mod_addr" || row.name == "txt_teeth" ||
                    row.name == "txt_avg_speed" || row.name == "txt_avg_acc" ||
                    row.name == "txt_look_depth" || row.name == "txt_look_fact")
            << row.name;
        break;
      case KeyFilterKind::Number: ++number; break;
      case KeyFilterKind::None: break;
    }
  }
  EXPECT_EQ(text, 9);
  EXPECT_EQ(integer, 6);
  EXPECT_EQ(number, 67);
  EXPECT_EQ(KeyFilterFor(*FindParameter("txt_module")), KeyFilterKind::Number);
}

TEST(TrimEntry, DropsBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(TrimEntry(QStringLiteral(" \t\x01" "a b\r\n ")), QStringLiteral("a b"));
  EXPECT_EQ(TrimEntry(QStringLiteral("   ")), QString());
  EXPECT_EQ(TrimEntry(QStringLiteral("x")), QStringLiteral("x"));
}

// --- Finding controls --------------------------------------------------------------------------

// A window like the real one: a page with a section (grid panel), rows (grid panels) and a
// third level that lookup must not open.
class FindControlTest : public ::testing::Test {
 protected:
  FindControlTest() {
    root.setObjectName(QStringLiteral("Main_Form"));
    auto* pages = new QWidget(&root);
    page = new QWidget(pages);
    page->setObjectName(QStringLiteral("tab_measure"));
    Named(new QLabel(page), "lbl_direct");
    section = Named(new QWidget(page), "gpl_section");
    row = Named(new QWidget(section), "gpl_row");
    Named(new QLineEdit(row), "txt_in_row");
    deep = Named(new QWidget(row), "gpl_deep");
    Named(new QLineEdit(deep), "txt_too_deep");
    auto* plain = Named(new QWidget(page), "pnl_plain");
    Named(new QLineEdit(plain), "txt_in_plain");
    // The same name on another page must not be found under this one.
    auto* other = new QWidget(pages);
    other->setObjectName(QStringLiteral("tab_device"));
    Named(new QLineEdit(other), "txt_elsewhere");
    auto* status = Named(new QWidget(&root), "pnl_status");
    Named(new QLabel(status), "lbl_serial_num");
    auto* statusPanel = Named(new QWidget(status), "gpl_status_row");
    Named(new QLabel(statusPanel), "lbl_nested_status");
  }

  template <typename W>
  static W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
  }
  QWidget* Find(const char* name, int container) const {
    return FindControl(root, QString::fromLatin1(name), container);
  }

  QWidget root;
  QWidget* page = nullptr;
  QWidget* section = nullptr;
  QWidget* row = nullptr;
  QWidget* deep = nullptr;
};

TEST_F(FindControlTest, OpensTwoLevelsOfGridPanelsOnAPage) {
  EXPECT_NE(Find("lbl_direct", container::Measure), nullptr);
  EXPECT_EQ(Find("gpl_section", container::Measure), section);
  EXPECT_EQ(Find("gpl_row", container::Measure), row);
  EXPECT_NE(Find("txt_in_row", container::Measure), nullptr);
  EXPECT_EQ(Find("gpl_deep", container::Measure), deep);
  EXPECT_EQ(Find("txt_too_deep", container::Measure), nullptr);
  EXPECT_EQ(Find("txt_in_plain", container::Measure), nullptr);
  EXPECT_EQ(Find("txt_elsewhere", container::Measure), nullptr);
  EXPECT_NE(Find("txt_elsewhere", container::Device), nullptr);
}

TEST_F(FindControlTest, StatusPanelOnlyDirectChildren) {
  EXPECT_NE(Find("lbl_serial_num", container::Status), nullptr);
  EXPECT_EQ(Find("lbl_nested_status", container::Status), nullptr);
}

TEST_F(FindControlTest, UnknownContainersAndNamesFindNothing) {
  EXPECT_EQ(Find("lbl_direct", 0), nullptr);
  EXPECT_EQ(Find("lbl_direct", 1), nullptr);
  EXPECT_EQ(Find("lbl_direct", 11), nullptr);
  EXPECT_EQ(Find("lbl_direct", container::Output), nullptr);  // page missing from this window
  EXPECT_EQ(Find("LBL_DIRECT", container::Measure), nullptr);  // names compare exactly
}

TEST_F(FindControlTest, FirstMatchInDepthFirstChildOrder) {
  // A second control of the same name in a later section loses to the one in the row.
  auto* later = Named(new QWidget(page), "gpl_later");
  auto* twin = Named(new QLineEdit(later), "txt_in_row");
  QWidget* found = Find("txt_in_row", container::Measure);
  ASSERT_NE(found, nullptr);
  EXPECT_NE(found, twin);
  EXPECT_EQ(found->parent(), row);
}

// --- Entry codecs on EditImage ---------------------------------------------------------------

class EntryChecksTest : public ::testing::TestWithParam<char> {
 protected:
  EntryChecksTest() {
    texts.FillFromDefaults();
    state.TextOnEntry = QStringLiteral("before");
  }
  // Written with "."; only a point between digits is a decimal separator (" ... " joins limits).
  QString L(const char* text) const {
    static const QRegularExpression kDecimalPoint(QStringLiteral("(?<=\\d)\\.(?=\\d)"));
    QString t = QString::fromLatin1(text);
    t.replace(kDecimalPoint, QString(QChar(QLatin1Char(GetParam()))));
    return t;
  }
  QString OutOfRange(const char* range) const { return texts.GetMessageText(5) + L(range); }
  int32_t Cell(int r) const { return images->EditImage[static_cast<size_t>(r)]; }

  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  Texts texts;
  RecordingPrompts prompts;
  FormState state;
  Codec codec{QLatin1Char(GetParam()), *images};
  EntryChecks checks{*images, codec, texts, prompts, state};
};

TEST_P(EntryChecksTest, Int16StoresTheLow32BitsAndShowsTheScaledValue) {
  const EntryResult r = checks.AcceptInt16(L("12.34"), 4015, 1, 0, 1000);
  EXPECT_TRUE(r.accepted);
  EXPECT_EQ(r.text, L("12.3"));
  EXPECT_EQ(Cell(4015), 123);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_P(EntryChecksTest, RejectionsKeepTheImageAndGiveBackTheEntryText) {
  images->EditImage[4015] = 77;
  struct Case {
    const char* text;
    QString message;
  };
  for (const Case& c : {Case{"101", OutOfRange("0.0 ... 100.0")},
                        Case{"abc", texts.GetMessageText(6)}, Case{"12a", texts.GetMessageText(6)},
                        Case{"-0.1", OutOfRange("0.0 ... 100.0")}}) {
    prompts.ClearCalls();
    const EntryResult r = checks.AcceptInt16(L(c.text), 4015, 1, 0, 1000);
    EXPECT_FALSE(r.accepted) << c.text;
    EXPECT_EQ(r.text, QStringLiteral("before")) << c.text;
    EXPECT_EQ(Cell(4015), 77) << c.text;
    EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error, c.message))
        << c.text << ": " << prompts.Describe().toStdString();
  }
}

TEST_P(EntryChecksTest, BothLimitsZeroAcceptAnything) {
  EXPECT_TRUE(checks.AcceptInt16(QStringLiteral("-40000"), 100, 0, 0, 0).accepted);
  EXPECT_EQ(Cell(100), -40000);  // the whole 32-bit value, not a 16-bit register
  EXPECT_TRUE(checks.AcceptInt32(QStringLiteral("-7"), 200, 0, 0, 0, false).accepted);
  EXPECT_EQ(ReadInt32(images->EditImage, 200), -7);
  EXPECT_TRUE(checks.AcceptFloat(L("-12345.5"), 300, 1, 0.0f, 0.0f).accepted);
  EXPECT_EQ(ReadFloat(images->EditImage, 300), -12345.5f);
  EXPECT_TRUE(prompts.NothingShown());
}

TEST_P(EntryChecksTest, Int32ZeroAllowedOverridesTheLowerLimit) {
  EntryResult r = checks.AcceptInt32(QStringLiteral("0"), 4500, 3, 1500, 100000, true);
  EXPECT_TRUE(r.accepted);
  EXPECT_EQ(r.text, L("0.000"));
  r = checks.AcceptInt32(L("0.001"), 4500, 3, 1500, 100000, true);
  EXPECT_FALSE(r.accepted);
  EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error, OutOfRange("1.500 ... 100.000")))
      << prompts.Describe().toStdString();
  prompts.ClearCalls();
  r = checks.AcceptInt32(QStringLiteral("0"), 4500, 3, 1500, 100000, false);
  EXPECT_FALSE(r.accepted);
  r = checks.AcceptInt32(QStringLiteral("100"), 4500, 3, 1500, 100000, false);
  EXPECT_TRUE(r.accepted);
  EXPECT_EQ(ReadInt32(images->EditImage, 4500), 100000);
  EXPECT_EQ(Cell(4500), -31072);  // low word sign-extended
}

TEST_P(EntryChecksTest, FloatShowsTheDisplayModeAndStoresTheSingle) {
  WriteFloat(images->EditImage, 4008, 1600.0f);
  EntryResult r = checks.AcceptFloat(L("1234.5"), 5556, -1, 0.0f, 5000.0f);
  EXPECT_TRUE(r.accepted);
  EXPECT_EQ(r.text, L("1234.50"));
  EXPECT_EQ(ReadFloat(images->EditImage, 5556), 1234.5f);
  r = checks.AcceptFloat(L("5000.01"), 5556, -1, 0.0f, 5000.0f);
  EXPECT_FALSE(r.accepted);
  EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error, OutOfRange("0.00 ... 5000.00")));
  EXPECT_EQ(ReadFloat(images->EditImage, 5556), 1234.5f);
}

TEST_P(EntryChecksTest, TooLongTextJoinsMessagesThreeAndFour) {
  EXPECT_EQ(checks.TooLongText(16),
            QStringLiteral("Entered data is to long. Maximum length: 16 characters. Entry truncated."));
}

// --- Stored values ---------------------------------------------------------------------------

TEST_P(EntryChecksTest, RecheckRangeHoldsStoredValuesAgainstCurrentLimits) {
  RegisterImage& edit = images->EditImage;
  WriteFloat(edit, 4008, 1600.0f);
  const int badPulse = FindParameterRow("txt_bad_pulse");
  WriteInt32(edit, 5046, 100000);
  WriteInt32(edit, 5048, 1500);

  struct Case {
    const char* name;
    std::function<void(RegisterImage&)> store;
    bool passes;
    QString message;
  };
  const std::vector<Case> cases = {
      {"txt_mod_addr", [](RegisterImage& e) { e[2040] = 254; }, true, {}},
      {"txt_mod_addr", [](RegisterImage& e) { e[2040] = 0; }, false, OutOfRange("1 ... 254")},
      {"txt_module", [](RegisterImage& e) { e[4015] = 1001; }, false, OutOfRange("0.0 ... 100.0")},
      {"txt_oneshot_1", [](RegisterImage& e) { WriteInt32(e, 5506, 1000000); }, true, {}},
      {"txt_oneshot_1", [](RegisterImage& e) { WriteInt32(e, 5506, 0); }, false,
       OutOfRange("0.001 ... 1000.000")},
      // A stored 0 in the DynamicOrZero row passes, as it passed entry.
      {"txt_bad_pulse", [](RegisterImage& e) { WriteInt32(e, 4500, 0); }, true, {}},
      {"txt_bad_pulse", [](RegisterImage& e) { WriteInt32(e, 4500, 1); }, false,
       OutOfRange("1.500 ... 100.000")},
      // Dynamic float limits not read yet: both 0, anything goes, even a NaN.
      {"txt_vmax_lim_1", [](RegisterImage& e) { WriteFloat(e, 5556, std::nanf("")); }, true, {}},
      {"txt_vmax_lim_1",
       [](RegisterImage& e) {
         WriteFloat(e, 6004, 5000.0f);
         WriteFloat(e, 5556, std::nanf(""));
       },
       false, OutOfRange("0.00 ... 5000.00")},
      {"txt_amax_hyst_1",
       [](RegisterImage& e) {
         WriteFloat(e, 6008, 800.0f);
         WriteFloat(e, 6010, 100.0f);
         WriteFloat(e, 5616, 50.0f);  // DynamicMax: the lower limit is 0, not 100
       },
       true, {}},
      {"txt_aout_min", [](RegisterImage& e) { WriteFloat(e, 5644, 3.5f); }, false,
       OutOfRange("3.60 ... 21.00")},
      // The offset level has no both-zero exception and checks the absolute level.
      {"txt_level_u", [](RegisterImage& e) { WriteFloat(e, 4012, 24.5f); }, false,
       OutOfRange("0.00 ... 24.00")},
      {"txt_level_u",
       [](RegisterImage& e) {
         e[4002] = 2;
         WriteFloat(e, 5052, 2.5f);
         WriteFloat(e, 4012, 23.0f);  // above 21.5 as shown, within 24 as stored
       },
       true, {}},
      {"txt_level_u", [](RegisterImage& e) { WriteFloat(e, 4012, -0.5f); }, false,
       OutOfRange("0.00 ... 21.50")},
      {"txt_usr_tag1", [](RegisterImage& e) { e[2000] = -1; }, true, {}},
      {"chk_latch_1", [](RegisterImage& e) { e[5500] = 0x7FFF; }, true, {}},
  };
  for (const Case& c : cases) {
    prompts.ClearCalls();
    c.store(edit);
    const int row = FindParameterRow(c.name);
    EXPECT_EQ(checks.RecheckRange(row), c.passes) << c.name;
    if (c.passes)
      EXPECT_TRUE(prompts.NothingShown()) << c.name << ": " << prompts.Describe().toStdString();
    else
      EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error, c.message))
          << c.name << ": " << prompts.Describe().toStdString();
  }
  EXPECT_GT(badPulse, 0);
  EXPECT_TRUE(checks.RecheckRange(0));
  EXPECT_TRUE(checks.RecheckRange(kParameterRows + 1));
}

INSTANTIATE_TEST_SUITE_P(Separators, EntryChecksTest, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? "Point" : "Comma"; });

}  // namespace
}  // namespace kvn

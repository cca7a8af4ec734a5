// The difference list below the window: which parameters of two sets show differently, with
// the page, the caption screen readers hear and both shown texts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "device_link/block_table.h"
#include "parameters/difference_list.h"
#include "parameters/parameter_table.h"
#include "parameters/qstring_print.h"
#include "parameters/value_codec.h"
#include "texts/texts.h"

namespace kvn {
namespace {

using Change = std::function<void(RegisterImage&)>;

struct Pair {
  const char* what;
  Change change;  // applied to the right-hand set only
  // The one expected row; page empty when the sets must not differ at all.
  const char* page;
  const char* caption;
  const char* left;
  const char* right;
};

void SetText(RegisterImage& image, const char* name, const QString& text, QChar pad) {
  const ParameterDescriptor& row = *FindParameter(name);
  QString padded = text;
  while (padded.size() < row.detail) padded += pad;
  WriteText(image, RegisterOf(row), row.detail / 2, padded);
}

const Pair kPairs[] = {
    {"a changed float limit", [](RegisterImage& i) { WriteFloat(i, RegisterOfName("txt_vmax_lim_1"), 3100.0f); },
     "OUTPUT", "Overspeed limit, Relay 1", "3000.00 RPM", "3100.00 RPM"},
    {"a changed drop-down", [](RegisterImage& i) { i[RegisterOfName("cmb_parity")] = 2; },
     "DEVICE", "MODBUS parity check", "none", "odd"},
    {"a check box on an inverted bit", [](RegisterImage& i) { i[RegisterOfName("chk_usb_act")] |= 1; },
     "DIAGNOSTICS", "Disable USB safe state", "checked", "not checked"},
    {"a text padded with zeros instead of blanks",
     [](RegisterImage& i) { SetText(i, "txt_usr_tag1", QStringLiteral("Pump"), QChar(0)); }, "", "", "", ""},
    {"a text with a word more", [](RegisterImage& i) { SetText(i, "txt_usr_tag1", QStringLiteral("Pump 2"), QChar(' ')); },
     "DEVICE", "Location tag", "Pump", "Pump 2"},
    {"bit 5 of every relay word",
     [](RegisterImage& i) { for (int r = reg::OutputConfig; r < reg::OutputConfig + 5; ++r) i[r] |= 1 << 5; },
     "", "", "", ""},
    {"a changed password, never in clear",
     [](RegisterImage& i) { SetText(i, "txt_password", QStringLiteral("secret2"), QChar(' ')); }, "DEVICE",
     "Change admin password", "********", "********"},
    {"a block CRC", [](RegisterImage& i) { i[Block(BlockId::Output).CrcRegister()] ^= 0x1234; }, "", "", "", ""},
    {"identical sets", [](RegisterImage&) {}, "", "", "", ""},
};

class DifferenceListTest : public ::testing::TestWithParam<Pair> {
 protected:
  void SetUp() override {
    texts.FillFromDefaults();
    WriteFloat(*left, ParamRegs().ratedSpeed, 1600.0f);  // two automatic decimals
    WriteFloat(*left, RegisterOfName("txt_vmax_lim_1"), 3000.0f);
    SetText(*left, "txt_usr_tag1", QStringLiteral("Pump"), QChar(' '));
    SetText(*left, "txt_password", QStringLiteral("secret"), QChar(' '));
    *right = *left;
  }
  std::unique_ptr<RegisterImage> left = std::make_unique<RegisterImage>();
  std::unique_ptr<RegisterImage> right = std::make_unique<RegisterImage>();
  Texts texts;
  NumberFormat format{QLatin1Char('.')};
};

TEST_P(DifferenceListTest, ListsExactlyTheParameterThatShowsDifferently) {
  GetParam().change(*right);
  const auto differences = DifferenceList(*left, *right, texts, format);
  if (*GetParam().page == '\0') {
    EXPECT_TRUE(differences.empty()) << differences.front().caption.toStdString();
    return;
  }
  ASSERT_EQ(differences.size(), 1u);
  EXPECT_EQ(differences[0].page, QString::fromUtf8(GetParam().page));
  EXPECT_EQ(differences[0].caption, QString::fromUtf8(GetParam().caption));
  EXPECT_EQ(differences[0].left, QString::fromUtf8(GetParam().left));
  EXPECT_EQ(differences[0].right, QString::fromUtf8(GetParam().right));
}

INSTANTIATE_TEST_SUITE_P(Pairs, DifferenceListTest, ::testing::ValuesIn(kPairs),
                         [](const auto& info) { return "Pair" + std::to_string(info.index); });

// Captions, pages and items come from the current texts, as a language pack leaves them.
TEST_F(DifferenceListTest, CaptionsFollowALanguagePack) {
  const std::pair<const char*, const char*> pack[] = {
      {"lbl_vmax_lim", "Überdrehzahl-Grenze"}, {"lbl_relay_1", "Relais 1"},
      {"tab_output", "AUSGÄNGE"}};
  for (const auto& [key, text] : pack)
    for (int i = 0; i < kTextRowCount; ++i)
      if (QLatin1String(TextTable[i].key) == QLatin1String(key)) texts.CurrentTexts[i] = QString::fromUtf8(text);
  WriteFloat(*right, RegisterOfName("txt_vmax_lim_1"), 3100.0f);
  const auto differences = DifferenceList(*left, *right, texts, format);
  ASSERT_EQ(differences.size(), 1u);
  EXPECT_EQ(differences[0].caption, QStringLiteral("Überdrehzahl-Grenze, Relais 1"));
  EXPECT_EQ(differences[0].page, QStringLiteral("AUSGÄNGE"));
}

}  // namespace
}  // namespace kvn

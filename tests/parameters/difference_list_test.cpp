// The difference list below the window: which parameters and registers of two sets differ,
// decided on the registers, with the page, a name of each parameter's own and both shown texts,
// and the raw values where the shown texts hide the difference.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "parameters/difference_list.h"
#include "parameters/parameter_table.h"
#include "parameters/qstring_print.h"
#include "parameters/value_codec.h"
#include "texts/texts.h"

namespace kvn {
namespace {

using Change = std::function<void(RegisterImage&)>;

struct Row {
  const char* page;
  const char* name;
  const char* left;
  const char* right;
  const char* leftRaw = "";   // set only for a difference below the shown precision
  const char* rightRaw = "";
};

struct Pair {
  const char* what;
  Change change;           // applied to the right-hand set only
  std::vector<Row> rows;   // none when the sets are equal
};

void SetText(RegisterImage& image, const char* name, const QString& text, QChar pad) {
  const ParameterDescriptor& row = *FindParameter(name);
  QString padded = text;
  while (padded.size() < row.detail) padded += pad;
  WriteText(image, RegisterOf(row), row.detail / 2, padded);
}

void NewCrc(RegisterImage& image, BlockId id) {
  const BlockDescriptor& b = Block(id);
  image[static_cast<size_t>(b.CrcRegister())] = ImageCrc(image, b.start, b.count - 1);
}

void SetRelayBit5(RegisterImage& i) {
  for (int r = reg::OutputConfig; r < reg::OutputConfig + 5; ++r) i[static_cast<size_t>(r)] |= 1 << 5;
}

const Pair kPairs[] = {
    {"a changed float limit", [](RegisterImage& i) { WriteFloat(i, RegisterOfName("txt_vmax_lim_1"), 3100.0f); },
     {{"OUTPUT", "Overspeed limit, Relay 1", "3000.00 RPM", "3100.00 RPM"}}},
    {"a float limit below the shown decimals",
     [](RegisterImage& i) { WriteFloat(i, RegisterOfName("txt_vmin_lim_1"), 1800.004f); },
     {{"OUTPUT", "Underspeed limit, Relay 1", "1800.00 RPM", "1800.00 RPM", "5566=0x0000", "5566=0x0021"}}},
    {"the rated speed alone, though the limits then show other decimals",
     [](RegisterImage& i) { WriteFloat(i, ParamRegs().ratedSpeed, 900.0f); },
     {{"MEASUREMENT", "Rated speed", "1600.00 RPM", "900.000 RPM"}}},
    {"a changed drop-down", [](RegisterImage& i) { i[RegisterOfName("cmb_parity")] = 2; },
     {{"DEVICE", "MODBUS parity check", "none", "odd"}}},
    {"a drop-down beyond its items on both sides",
     [](RegisterImage& i) { i[RegisterOfName("cmb_term")] = 6; },
     {{"DEVICE", "MODBUS line termination", "", "", "2044=0x0005", "2044=0x0006"}}},
    {"a check box on an inverted bit", [](RegisterImage& i) { i[RegisterOfName("chk_usb_act")] |= 1; },
     {{"DIAGNOSTICS", "Disable USB safe state", "checked", "not checked"}}},
    {"a latch bit the factory forces on", [](RegisterImage& i) { i[RegisterOfName("chk_latch_sft")] |= 1 << 1; },
     {{"DIAGNOSTICS", "Latch safety parameter error", "checked", "checked", "4512=0x0000", "4512=0x0002"}}},
    {"the bit behind a box that is always on", [](RegisterImage& i) { i[reg::OutputConfig] |= 1 << 1; },
     {{"OUTPUT", "Inverted, Relay 1", "checked", "checked", "5500=0x0000", "5500=0x0002"}}},
    {"a text padded with zeros instead of blanks",
     [](RegisterImage& i) { SetText(i, "txt_usr_tag1", QStringLiteral("Pump"), QChar(0)); },
     {{"DEVICE", "Location tag", "Pump", "Pump",
       "2002=0x2020, 2003=0x2020, 2004=0x2020, 2005=0x2020, 2006=0x2020, 2007=0x2020",
       "2002=0x0000, 2003=0x0000, 2004=0x0000, 2005=0x0000, 2006=0x0000, 2007=0x0000"}}},
    {"a text with a word more", [](RegisterImage& i) { SetText(i, "txt_usr_tag1", QStringLiteral("Pump 2"), QChar(' ')); },
     {{"DEVICE", "Location tag", "Pump", "Pump 2"}}},
    {"both device comments, named apart by their sections",
     [](RegisterImage& i) {
       SetText(i, "txt_usr_comment", QStringLiteral("user note"), QChar(' '));
       SetText(i, "txt_adm_comment", QStringLiteral("admin note"), QChar(' '));
     },
     {{"DEVICE", "Device comment (Configuration - user)", "", "user note"},
      {"DEVICE", "Device comment (Configuration - admin)", "", "admin note"}}},
    {"bit 5 of every relay word", SetRelayBit5, {}},
    {"bit 5 of every relay word, the block's CRC made anew",
     [](RegisterImage& i) {
       SetRelayBit5(i);
       NewCrc(i, BlockId::Output);
     },
     {}},
    {"a changed password, never in clear",
     [](RegisterImage& i) { SetText(i, "txt_password", QStringLiteral("secret2"), QChar(' ')); },
     {{"DEVICE", "Change admin password", "********", "********"}}},
    {"a block CRC alone: its block does not match it", [](RegisterImage& i) { i[Block(BlockId::Output).CrcRegister()] ^= 0x1234; },
     {{"OUTPUT", "OUTPUT settings CRC", "0000", "1234"}}},
    {"a setting and its block's CRC: the setting alone",
     [](RegisterImage& i) {
       i[RegisterOfName("txt_teeth")] = 61;
       NewCrc(i, BlockId::Measurement);
     },
     {{"MEASUREMENT", "No. of pulses per revolution", "60", "61"}}},
    {"a register of a shown block that no row shows", [](RegisterImage& i) { i[5505] = 7; },
     {{"OUTPUT", "Register 5505", "0x0000", "0x0007"}}},
    {"a relay word's bit that no box shows", [](RegisterImage& i) { i[reg::OutputConfig + 2] |= 1 << 8; },
     {{"OUTPUT", "Register 5502", "0x0000", "0x0100"}}},
    {"a factory register, the low 16 bits only",
     [](RegisterImage& i) { i[reg::HardwareVersion] = static_cast<int32_t>(0xFFFF0102); },
     {{"Factory settings", "Register 3008", "0x0101", "0x0102"}}},
    {"a cell sign-extended against the same 16 bits",
     [](RegisterImage& i) { i[reg::HardwareVersion] = static_cast<int32_t>(0xFFFF0101); }, {}},
    {"the CRC of a factory block alone", [](RegisterImage& i) { i[Block(BlockId::FactoryOutput).CrcRegister()] = 0xBEEF; },
     {{"Factory settings", "Register 6013", "0x0000", "0xBEEF"}}},
    {"identical sets", [](RegisterImage&) {}, {}},
};

class DifferenceListTest : public ::testing::TestWithParam<Pair> {
 protected:
  void SetUp() override {
    texts.FillFromDefaults();
    WriteFloat(*left, ParamRegs().ratedSpeed, 1600.0f);  // two automatic decimals
    WriteFloat(*left, RegisterOfName("txt_vmax_lim_1"), 3000.0f);
    WriteFloat(*left, RegisterOfName("txt_vmin_lim_1"), 1800.0f);
    (*left)[RegisterOfName("txt_teeth")] = 60;
    (*left)[RegisterOfName("cmb_term")] = 5;  // beyond "Inactive|Active"
    (*left)[reg::HardwareVersion] = 0x0101;
    WriteInt32(*left, reg::LatchForceMask, 1 << 1);  // the factory forces "Latch safety parameter error"
    SetText(*left, "txt_usr_tag1", QStringLiteral("Pump"), QChar(' '));
    SetText(*left, "txt_password", QStringLiteral("secret"), QChar(' '));
    *right = *left;
  }
  std::unique_ptr<RegisterImage> left = std::make_unique<RegisterImage>();
  std::unique_ptr<RegisterImage> right = std::make_unique<RegisterImage>();
  Texts texts;
  NumberFormat format{QLatin1Char('.')};
};

TEST_P(DifferenceListTest, ListsExactlyWhatDiffersInTheRegisters) {
  GetParam().change(*right);
  const auto differences = DifferenceList(*left, *right, texts, format);
  const std::vector<Row>& rows = GetParam().rows;
  ASSERT_EQ(differences.size(), rows.size()) << (differences.empty() ? "" : differences.front().name.toStdString());
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(differences[i].page, QString::fromUtf8(rows[i].page));
    EXPECT_EQ(differences[i].name, QString::fromUtf8(rows[i].name));
    EXPECT_EQ(differences[i].left, QString::fromUtf8(rows[i].left));
    EXPECT_EQ(differences[i].right, QString::fromUtf8(rows[i].right));
    EXPECT_EQ(differences[i].leftRaw, QString::fromUtf8(rows[i].leftRaw));
    EXPECT_EQ(differences[i].rightRaw, QString::fromUtf8(rows[i].rightRaw));
    EXPECT_EQ(differences[i].belowShown, *rows[i].leftRaw != '\0');
  }
}

INSTANTIATE_TEST_SUITE_P(Pairs, DifferenceListTest, ::testing::ValuesIn(kPairs),
                         [](const auto& info) { return "Pair" + std::to_string(info.index); });

void Translate(Texts& texts, std::initializer_list<std::pair<const char*, const char*>> pack) {
  for (const auto& [key, text] : pack)
    for (int i = 0; i < kTextRowCount; ++i)
      if (QLatin1String(TextTable[i].key) == QLatin1String(key)) texts.CurrentTexts[i] = QString::fromUtf8(text);
}

// Captions, pages and items come from the current texts, as a language pack leaves them.
TEST_F(DifferenceListTest, CaptionsFollowALanguagePack) {
  Translate(texts, {{"lbl_vmax_lim", "Überdrehzahl-Grenze"}, {"lbl_relay_1", "Relais 1"}, {"tab_output", "AUSGÄNGE"}});
  WriteFloat(*right, RegisterOfName("txt_vmax_lim_1"), 3100.0f);
  const auto differences = DifferenceList(*left, *right, texts, format);
  ASSERT_EQ(differences.size(), 1u);
  EXPECT_EQ(differences[0].caption, QStringLiteral("Überdrehzahl-Grenze, Relais 1"));
  EXPECT_EQ(differences[0].name, differences[0].caption);
  EXPECT_EQ(differences[0].page, QStringLiteral("AUSGÄNGE"));
}

// Which captions repeat is found in the texts of the moment, not in a list: a pack that gives
// two tags one caption names both by their translated sections, and the comments, which it
// tells apart, by their captions alone.
TEST_F(DifferenceListTest, RowsWhoseCaptionsRepeatInAPackCarryTheirSections) {
  Translate(texts, {{"lbl_usr_tag1", "Kennung"}, {"lbl_adm_tag1", "Kennung"}, {"lbl_config_usr", "Konfiguration - Benutzer"},
                    {"lbl_config_admin", "Konfiguration - Admin"}, {"lbl_adm_comment", "Admin-Kommentar"}});
  SetText(*right, "txt_usr_tag1", QStringLiteral("A"), QChar(' '));
  SetText(*right, "txt_adm_tag1", QStringLiteral("B"), QChar(' '));
  SetText(*right, "txt_usr_comment", QStringLiteral("C"), QChar(' '));
  SetText(*right, "txt_adm_comment", QStringLiteral("D"), QChar(' '));
  QStringList names;
  for (const ParameterDifference& d : DifferenceList(*left, *right, texts, format)) names << d.name;
  EXPECT_EQ(names, (QStringList{"Kennung (Konfiguration - Benutzer)", "Device comment", "Kennung (Konfiguration - Admin)",
                                "Admin-Kommentar"}));
}

// What every list shows of a difference: the raw values only where the texts hide it.
TEST_F(DifferenceListTest, SideTextsAndTheRecordLineCarryTheMarkerAndRawValues) {
  WriteFloat(*right, RegisterOfName("txt_vmin_lim_1"), 1800.004f);
  WriteFloat(*right, RegisterOfName("txt_vmax_lim_1"), 3100.0f);
  const auto differences = DifferenceList(*left, *right, texts, format);
  ASSERT_EQ(differences.size(), 2u);
  EXPECT_EQ(LeftText(differences[0]), QStringLiteral("3000.00 RPM"));
  EXPECT_EQ(DifferenceLine(differences[0]), QStringLiteral("Overspeed limit, Relay 1: 3000.00 RPM → 3100.00 RPM"));
  EXPECT_EQ(LeftText(differences[1]), QStringLiteral("1800.00 RPM [5566=0x0000]"));
  EXPECT_EQ(RightText(differences[1]), QStringLiteral("1800.00 RPM [5566=0x0021]"));
  EXPECT_EQ(DifferenceLine(differences[1]),
            QStringLiteral("Underspeed limit, Relay 1: 1800.00 RPM → 1800.00 RPM "
                           "(differs below the shown precision: 5566=0x0000 → 5566=0x0021)"));
}

}  // namespace
}  // namespace kvn

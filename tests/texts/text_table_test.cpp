#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <map>
#include <set>
#include <string>

#include "texts/text_table.h"

namespace kvn {
namespace {

QString TextOf(const TextEntry& entry) {
  return QString::fromUtf8(entry.default_text) + QString::fromUtf8(entry.extra_text);
}

int RowOf(const std::string& key, TextKind kind) {
  for (int row = 0; row < kTextRowCount; ++row) {
    if (key == TextTable[row].key && TextTable[row].kind == kind) return row;
  }
  return -1;
}

TEST(TextTable, RowCountsPerKind) {
  const std::map<TextKind, int> expected = {
      {TextKind::Label, 204},     {TextKind::InfoText, 149},   {TextKind::Message, 85},
      {TextKind::Spare, 63},      {TextKind::ErrorText, 25},   {TextKind::EventText, 24},
      {TextKind::ReportText, 20}, {TextKind::Button, 18},      {TextKind::CheckBox, 14},
      {TextKind::MenuItem, 14},   {TextKind::TabSheet, 8},     {TextKind::ComboItems, 7},
      {TextKind::FormCaption, 3}, {TextKind::AppTitle, 1},     {TextKind::ButtonHint, 0}};
  std::map<TextKind, int> counted;
  for (const TextEntry& entry : TextTable) ++counted[entry.kind];
  for (const auto& [kind, count] : expected) {
    EXPECT_EQ(counted[kind], count) << "kind " << static_cast<int>(kind);
  }
}

// Ranges of the row list: every row of a range has the kind, the container and the owner.
struct RangeCase {
  int first;
  int last;
  TextKind kind;
  int container;
  int dialog;
  const char* first_key;
  const char* last_key;
};

void PrintTo(const RangeCase& c, std::ostream* out) { *out << c.first << ".." << c.last; }

class TextTableRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(TextTableRange, RowsCarryKindContainerAndOwner) {
  const RangeCase& c = GetParam();
  EXPECT_STREQ(TextTable[c.first].key, c.first_key);
  EXPECT_STREQ(TextTable[c.last].key, c.last_key);
  for (int row = c.first; row <= c.last; ++row) {
    const TextEntry& entry = TextTable[row];
    EXPECT_EQ(entry.kind, c.kind) << "row " << row;
    EXPECT_EQ(entry.container, c.container) << "row " << row;
    if (c.kind == TextKind::Label || c.kind == TextKind::Button ||
        c.kind == TextKind::CheckBox || c.kind == TextKind::FormCaption) {
      EXPECT_EQ(entry.number, c.dialog) << "row " << row;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    RowList, TextTableRange,
    ::testing::Values(
        RangeCase{0, 0, TextKind::AppTitle, 0, 0, "application_name", "application_name"},
        RangeCase{1, 1, TextKind::FormCaption, 0, 0, "main_form_caption", "main_form_caption"},
        RangeCase{2, 2, TextKind::FormCaption, 0, 1, "if_setup_caption", "if_setup_caption"},
        RangeCase{3, 3, TextKind::FormCaption, 0, 2, "diag_setup_caption", "diag_setup_caption"},
        RangeCase{5, 5, TextKind::TabSheet, 3, 0, "tab_device", "tab_device"},
        RangeCase{6, 26, TextKind::Label, 3, 0, "lbl_config_usr", "lbl_show_pass"},
        RangeCase{27, 43, TextKind::InfoText, 3, 0, "lbl_i_usr_tag1", "lbl_i_pass_crc"},
        RangeCase{44, 45, TextKind::ComboItems, 3, 0, "cmb_term", "cmb_parity"},
        RangeCase{50, 66, TextKind::Label, 4, 0, "lbl_measurement", "lbl_crc_measure"},
        RangeCase{67, 81, TextKind::InfoText, 4, 0, "lbl_i_meas_type", "lbl_i_crc_measure"},
        RangeCase{82, 85, TextKind::ComboItems, 4, 0, "cmb_meas_type", "cmb_trig_edge"},
        RangeCase{91, 121, TextKind::Label, 5, 0, "lbl_digital_out", "lbl_crc_output"},
        RangeCase{122, 144, TextKind::InfoText, 5, 0, "lbl_i_latch", "lbl_i_crc_output"},
        RangeCase{150, 180, TextKind::Label, 6, 0, "lbl_diagnostics", "lbl_crc_diag"},
        RangeCase{181, 208, TextKind::InfoText, 6, 0, "lbl_i_sens_lim_i", "lbl_i_crc_diag"},
        RangeCase{209, 209, TextKind::ComboItems, 6, 0, "cmb_ppchk_act", "cmb_ppchk_act"},
        RangeCase{216, 238, TextKind::Label, 7, 0, "lbl_process_data", "lbl_proc_contact"},
        RangeCase{239, 250, TextKind::InfoText, 7, 0, "lbl_i_proc_speed", "lbl_i_proc_contact"},
        RangeCase{251, 253, TextKind::Button, 7, 0, "cmd_clr_minmax", "cmd_plot_pdf"},
        RangeCase{255, 256, TextKind::InfoText, 7, 0, "cmd_clr_minmax", "cmd_ppt_on"},
        RangeCase{259, 259, TextKind::TabSheet, 8, 0, "tab_sys_diag", "tab_sys_diag"},
        RangeCase{260, 283, TextKind::Label, 8, 0, "lbl_diag_data", "lbl_err_memory"},
        RangeCase{284, 300, TextKind::InfoText, 8, 0, "lbl_i_cpu_vcc", "lbl_i_err_memory"},
        RangeCase{306, 306, TextKind::TabSheet, 10, 0, "tab_report", "tab_report"},
        RangeCase{312, 315, TextKind::InfoText, 10, 0, "lbl_i_rep_device", "lbl_i_rep_diagn"},
        RangeCase{321, 321, TextKind::TabSheet, 9, 0, "tab_log", "tab_log"},
        RangeCase{322, 323, TextKind::Button, 9, 0, "cmd_load_log", "cmd_export_log"},
        RangeCase{324, 351, TextKind::Label, 9, 0, "lbl_error_codes", "lbl_edesc_25"},
        RangeCase{352, 377, TextKind::InfoText, 9, 0, "lbl_i_error_codes", "lbl_i_edesc_25"},
        RangeCase{382, 387, TextKind::Label, 2, 0, "lbl_stat_caption", "lbl_lbl_tag_number"},
        RangeCase{388, 391, TextKind::Button, 2, 0, "cmd_read_param", "cmd_abort_prog"},
        RangeCase{392, 392, TextKind::CheckBox, 2, 0, "chk_off_line", "chk_off_line"},
        RangeCase{397, 410, TextKind::MenuItem, 1, 0, "men_perm", "men_settings_plot"},
        RangeCase{415, 418, TextKind::Label, 0, 1, "lbl1_pc_com", "lbl1_addr"},
        RangeCase{420, 422, TextKind::Button, 0, 1, "cmd1_ok", "cmd1_rescan"},
        RangeCase{423, 427, TextKind::Label, 0, 2, "lbl2_speed_line", "lbl2_add_mark"},
        RangeCase{428, 437, TextKind::CheckBox, 0, 2, "chk2_max_1", "chk2_min_5"},
        RangeCase{438, 439, TextKind::Button, 0, 2, "cmd2_ok", "cmd2_cancel"},
        RangeCase{444, 444, TextKind::Label, 0, 4, "lbl3_about_text", "lbl3_about_text"},
        RangeCase{445, 445, TextKind::Button, 0, 4, "cmd3_ok", "cmd3_ok"},
        RangeCase{446, 530, TextKind::Message, 0, 0, "mesage_text_00", "mesage_text_84"},
        RangeCase{535, 554, TextKind::ReportText, 0, 0, "report_text_00", "report_text_19"},
        RangeCase{559, 583, TextKind::ErrorText, 0, 0, "error_text_00", "error_text_24"},
        RangeCase{588, 611, TextKind::EventText, 0, 0, "event_text_01", "event_text_24"},
        RangeCase{620, 621, TextKind::Label, 4, 0, "lbl_sens_cut_in", "lbl_cut_in_rpm"},
        RangeCase{622, 623, TextKind::InfoText, 4, 0, "lbl_i_sens_cut_in", "lbl_i_cut_in_rpm"},
        RangeCase{624, 626, TextKind::Label, 4, 0, "lbl_u_avg_speed", "lbl_u_look_depth"},
        RangeCase{627, 634, TextKind::Spare, 0, 0, "spare", "spare"}));

TEST(TextTable, SpareRowsAreExactlyTheListedOnes) {
  const std::map<int, int> spare_lengths = {{4, 1},   {48, 1},  {88, 2},  {145, 4},
                                            {212, 3}, {302, 4}, {317, 4}, {378, 4},
                                            {393, 4}, {411, 4}, {440, 4}, {531, 4},
                                            {555, 4}, {584, 4}, {612, 8}, {627, 8}};
  std::set<int> expected;
  for (const auto& [first, length] : spare_lengths) {
    for (int row = first; row < first + length; ++row) expected.insert(row);
  }
  std::set<int> actual;
  for (int row = 0; row < kTextRowCount; ++row) {
    const TextEntry& entry = TextTable[row];
    if (entry.kind != TextKind::Spare) continue;
    actual.insert(row);
    EXPECT_STREQ(entry.key, "spare") << "row " << row;
    EXPECT_TRUE(TextOf(entry).isEmpty()) << "row " << row;
  }
  EXPECT_EQ(actual, expected);
}

TEST(TextTable, IndentMarksOnlyIndentedLabels) {
  struct IndentCase {
    const char* key;
    int indent;
  };
  const IndentCase cases[] = {
      {"lbl_config_usr", 0}, {"lbl_usr_tag1", 1},    {"lbl_show_pass", 1},
      {"lbl_u_baud_485", 1}, {"lbl_level_u_off", 0}, {"lbl_frq_badp", 0},
      {"lbl_process_data", 0}, {"lbl_proc_speed", 1}, {"lbl_lab_ecode", 0},
      {"lbl_lab_edesc", 1},  {"lbl_edesc_25", 1},    {"lbl_stat_caption", 0},
      {"lbl_sens_cut_in", 1}, {"lbl_cut_in_rpm", 0}, {"lbl_u_look_depth", 1},
      {"lbl1_pc_com", 0}};
  for (const IndentCase& c : cases) {
    const int row = RowOf(c.key, TextKind::Label);
    ASSERT_GE(row, 0) << c.key;
    EXPECT_EQ(TextTable[row].indent, c.indent) << c.key;
  }
  int indented = 0;
  for (const TextEntry& entry : TextTable) {
    if (entry.indent != 0) {
      EXPECT_EQ(entry.kind, TextKind::Label) << entry.key;
      ++indented;
    }
  }
  // DEVICE 19, MEASUREMENT 15 + 1 + 3, OUTPUT 24, DIAGNOSTICS 30, PROCESS DATA 12,
  // DEVICE STATUS 17, REPORT 4, EVENT LOG 26.
  EXPECT_EQ(indented, 151);
}

TEST(TextTable, FamiliesAreNumberedInRowOrder) {
  struct Family {
    TextKind kind;
    int first_row;
    int first_number;
    int count;
  };
  const Family families[] = {{TextKind::Message, 446, 0, 85},
                             {TextKind::ReportText, 535, 0, 20},
                             {TextKind::ErrorText, 559, 0, 25},
                             {TextKind::EventText, 588, 1, 24}};
  for (const Family& f : families) {
    for (int i = 0; i < f.count; ++i) {
      const TextEntry& entry = TextTable[f.first_row + i];
      EXPECT_EQ(entry.kind, f.kind);
      EXPECT_EQ(entry.number, f.first_number + i) << "row " << f.first_row + i;
      EXPECT_EQ(entry.container, 0);
      EXPECT_EQ(entry.indent, 0);
    }
  }
  EXPECT_STREQ(TextTable[575].key, "error_text_16");
  EXPECT_STREQ(TextTable[576].key, "error_text_16");
  EXPECT_EQ(TextTable[576].number, 17);
  EXPECT_STREQ(TextTable[577].key, "error_text_17");
  EXPECT_EQ(TextTable[577].number, 18);
  EXPECT_STREQ(TextTable[578].key, "error_text_19");
}

TEST(TextTable, FamilyTextsAreVerbatim) {
  struct TextCase {
    int row;
    const char* text;
  };
  const TextCase cases[] = {
      {446, "No Connection! (Time-Out)-Function aborted."},
      {449, "Entered data is to long. Maximum length: "},
      {450, " characters. Entry truncated."},
      {451, "Entered value is not valid for this parameter. Allowed range:"},
      {467, "Overwrite existing parameters?|Press [OK] to proceed or [Cancel] to abort."},
      {470, "Parameter commit rejected.|Parameters in group: "},
      {488,
       "Activating 'Test and reset' will switch the relays selected after \u2018Diagnostics (safe "
       "state)\u2019 and \u2018Test and reset\u2019 on the OUTPUT tab. Press [OK] to proceed or "
       "[Cancel] to abort."},
      {496, "Quit program?"},
      {507, "spare"},
      {526,
       "Activating 'Test and reset' will switch the relays selected after 'Test and reset' on the "
       "OUTPUT tab. Press [OK] to proceed or [Cancel] to abort."},
      {527, "Loading block "},
      {530, "spare"},
      {535, "spare"},
      {538, "Serial number: "},
      {554, "Event log saved"},
      {559, "Non-safety parameter CRC error"},
      {572, "Analog output feedback error"},
      {583, "Slave startup watchdog error"},
      {588, "Power Cycle"},
      {596, "ev-log-spare"},
      {603, "Diagn.-Fact. config chg."},
      {611, "Exit Programming Mode"}};
  for (const TextCase& c : cases) {
    EXPECT_EQ(TextOf(TextTable[c.row]), QString::fromUtf8(c.text)) << "row " << c.row;
  }
}

TEST(TextTable, DialogRowsCarryEnglishDefaultsAndWindowRowsNone) {
  const std::map<std::string, QString> dialog = {
      {"if_setup_caption", "Interface settings"},
      {"diag_setup_caption", "Plot settings"},
      {"lbl1_addr", "Modbus address"},
      {"chk1_usb_conn", "USB connection"},
      {"cmd1_rescan", "Rescan..."},
      {"lbl2_rspeed_ine", "Rated speed line"},
      {"lbl2_line_thk", "Line thickness [Pts.]"},
      {"chk2_max_4", "Overspeed relay 4"},
      {"chk2_max_5", "Overspeed digital out"},
      {"chk2_min_1", "Underspeed relay 1"},
      {"chk2_min_5", "Underspeed digital out"},
      {"cmd2_cancel", "Cancel"},
      {"lbl3_about_text", "About Korvane configuration software...."},
      {"cmd3_ok", "OK"}};
  int dialog_rows = 0;
  for (const TextEntry& entry : TextTable) {
    const bool window_control =
        entry.kind == TextKind::TabSheet || entry.kind == TextKind::MenuItem ||
        entry.kind == TextKind::ComboItems || entry.kind == TextKind::AppTitle ||
        ((entry.kind == TextKind::Label || entry.kind == TextKind::Button ||
          entry.kind == TextKind::CheckBox || entry.kind == TextKind::FormCaption) &&
         entry.number == 0);
    if (window_control) {
      EXPECT_TRUE(TextOf(entry).isEmpty()) << entry.key;
      continue;
    }
    if (entry.number != 0 && entry.kind != TextKind::Message && entry.kind != TextKind::ErrorText &&
        entry.kind != TextKind::ReportText && entry.kind != TextKind::EventText) {
      ++dialog_rows;
      EXPECT_FALSE(TextOf(entry).isEmpty()) << entry.key;
      const auto it = dialog.find(entry.key);
      if (it != dialog.end()) {
        EXPECT_EQ(TextOf(entry), it->second) << entry.key;
      }
    }
  }
  EXPECT_EQ(dialog_rows, 2 + 8 + 17 + 2);
}

TEST(TextTable, NoTextBreaksALanguagePackLine) {
  for (const TextEntry& entry : TextTable) {
    const QString text = TextOf(entry);
    EXPECT_FALSE(text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        << entry.key;
  }
}

// ---- info texts ----

std::vector<const TextEntry*> InfoRows() {
  std::vector<const TextEntry*> rows;
  for (const TextEntry& entry : TextTable) {
    if (entry.kind == TextKind::InfoText) rows.push_back(&entry);
  }
  return rows;
}

TEST(InfoTexts, TellingRowsAreVerbatim) {
  const std::map<std::string, std::pair<QString, QString>> telling = {
      {"lbl_i_usr_tag1",
       {"[TEXT] [range: 16 characters] - Input for report -|Location identifier.", ""}},
      {"lbl_i_teeth",
       {"[INPUT] [range: 1 - 10000]|Number of expected pulses per revolution. Required for "
        "correct rotational speed calculation.",
        ""}},
      {"lbl_i_vmax_lim", {"[INPUT] [range: @s RPM]|Trip is initiated when this limit is exceeded.", ""}},
      {"lbl_i_amax_lim",
       {"[INPUT] [range: @a RPM/s]|Trip signal is generated when this limit is exceeded.", ""}},
      {"lbl_i_amax_hyst",
       {"[INPUT] [range: @h RPM/s]|If the acceleration limit is exceeded, the trip signal "
        "automatically latches until it falls below the limit minus the hysteresis.",
        ""}},
      {"lbl_i_sens_lim_i",
       {"[INPUT] [range: @i mA]|Set current range for sensor 'OK' monitoring.", ""}},
      {"lbl_i_sens_lim_u", {"[INPUT] [range: @v V]|Set voltage range for sensor 'OK' monitoring.", ""}},
      {"lbl_i_diag_aouterr",
       {"[INPUT] [range: @r mA]|Difference between generated output current and expected output "
        "current.",
        ""}},
      {"lbl_i_resp_time",
       {"[OUTPUT]|Hardware reaction time (Th) is a fixed value (8 ms).|Measurement reaction time "
        "(Tm) is evaluated in the device based on number of teeth, rated speed and frequency "
        "averaging.",
        "|ATTENTION: Delay specified on the OUTPUT tab adds to the total reaction time, but is "
        "not shown in this field."}},
      {"cmd_ppt_pulse",
       {"Test and reset pulsed activation request.|Test is activated based on 'Test and reset "
        "action' on the DIAGNOSTICS tab.|After 100ms test is deactivated and latched errors are "
        "reset.",
        ""}},
      {"lbl_i_error_codes",
       {"Click on an 'Error status changed' event to highlight its error codes and descriptions "
        "below.",
        ""}}};
  for (const auto& [key, pieces] : telling) {
    const int row = RowOf(key, TextKind::InfoText);
    ASSERT_GE(row, 0) << key;
    EXPECT_EQ(QString::fromUtf8(TextTable[row].default_text), pieces.first) << key;
    EXPECT_EQ(QString::fromUtf8(TextTable[row].extra_text), pieces.second) << key;
  }
}

TEST(InfoTexts, PlaceholderRowsCarryExactlyTheirPlaceholder) {
  const std::map<std::string, QString> placeholders = {
      {"lbl_i_vmax_lim", "@s"},   {"lbl_i_vmax_hyst", "@s"},    {"lbl_i_vmin_lim", "@s"},
      {"lbl_i_vmin_hyst", "@s"},  {"lbl_i_acc_cutoff", "@s"},   {"lbl_i_amax_lim", "@a"},
      {"lbl_i_amax_hyst", "@h"},  {"lbl_i_sens_lim_i", "@i"},   {"lbl_i_sens_lim_u", "@v"},
      {"lbl_i_bad_pulse", "@p"},  {"lbl_i_diag_aouterr", "@r"}};
  for (const TextEntry* entry : InfoRows()) {
    const QString text = TextOf(*entry);
    const auto it = placeholders.find(entry->key);
    if (it == placeholders.end()) {
      EXPECT_FALSE(text.contains(QLatin1Char('@'))) << entry->key;
      continue;
    }
    EXPECT_EQ(text.count(QLatin1Char('@')), 1) << entry->key;
    // The placeholder stands inside the range bracket, where the limits belong.
    const QRegularExpression in_range(QStringLiteral("^\\[INPUT\\] \\[range: ") +
                                      QRegularExpression::escape(it->second) +
                                      QStringLiteral(" [^\\]]*\\]"));
    EXPECT_TRUE(in_range.match(text).hasMatch()) << entry->key;
  }
}

TEST(InfoTexts, ContinuationsExactlyWhereListed) {
  const std::set<std::string> continued = {"lbl_i_sens_type",   "lbl_i_resp_time",
                                           "lbl_i_look_depth",  "lbl_i_look_fact",
                                           "lbl_i_diag_active", "lbl_i_ppchk_act",
                                           "lbl_i_proc_pptest"};
  std::set<std::string> actual;
  for (const TextEntry& entry : TextTable) {
    if (entry.extra_text[0] == '\0') continue;
    actual.insert(entry.key);
    EXPECT_EQ(entry.kind, TextKind::InfoText) << entry.key;
    // The continuation carries on with a new balloon line.
    EXPECT_EQ(entry.extra_text[0], '|') << entry.key;
    EXPECT_NE(entry.default_text[0], '\0') << entry.key;
  }
  EXPECT_EQ(actual, continued);
}

// Info marks on parameter and value rows describe their row in one fixed form; the heading mark
// of the error-code legend and the three buttons (whose balloon starts with the caption) are
// plain sentences.
TEST(InfoTexts, FollowTheTaggedForm) {
  const std::set<std::string> free_form = {"lbl_i_error_codes", "cmd_clr_minmax", "cmd_ppt_on",
                                           "cmd_ppt_pulse"};
  const QRegularExpression form(QStringLiteral(
      "^\\[(INPUT|OUTPUT|TEXT)\\]( \\[range: [^\\]\\[|]+\\])?( - [^|]+ -)?(\\|[^|]+)+$"));
  int tagged = 0;
  for (const TextEntry* entry : InfoRows()) {
    const QString text = TextOf(*entry);
    if (free_form.count(entry->key) != 0) {
      EXPECT_FALSE(text.startsWith(QLatin1Char('['))) << entry->key;
      EXPECT_FALSE(text.isEmpty()) << entry->key;
      continue;
    }
    ++tagged;
    EXPECT_TRUE(form.match(text).hasMatch()) << entry->key << ": " << text.toStdString();
  }
  EXPECT_EQ(tagged, 145);
}

TEST(InfoTexts, EveryInfoMarkNamesARowCaption) {
  int marks = 0;
  for (const TextEntry* entry : InfoRows()) {
    const std::string key = entry->key;
    if (key.rfind("cmd_", 0) == 0) {
      EXPECT_GE(RowOf(key, TextKind::Button), 0) << key;
      continue;
    }
    ASSERT_EQ(key.rfind("lbl_i_", 0), 0u) << key;
    ++marks;
    // The balloon title is the caption of the row the mark stands in.
    const std::string caption = "lbl_" + key.substr(6);
    const int row = RowOf(caption, TextKind::Label);
    ASSERT_GE(row, 0) << key;
    EXPECT_EQ(TextTable[row].container, entry->container) << key;
  }
  EXPECT_EQ(marks, 146);
}

TEST(InfoTexts, StaticRangesMatchTheParameterLimits) {
  const std::map<std::string, QString> ranges = {
      {"lbl_i_mod_addr", "[range: 1 - 254]"},
      {"lbl_i_module", "[range: 0.0 - 100.0]"},
      {"lbl_i_rated_sp", "[range: 0 - 2100000 RPM]"},
      {"lbl_i_level_i", "[range: 0.00 - 20.50 mA]"},
      {"lbl_i_level_u", "[range: 0.00 - 24.00 V]"},
      {"lbl_i_sens_cut_in", "[range: 0.0 - 35000.0 Hz]"},
      {"lbl_i_avg_speed", "[range: 1 - 1000 Pulses]"},
      {"lbl_i_avg_acc", "[range: 1 - 1000 Pulses]"},
      {"lbl_i_look_depth", "[range: 1 - 5000 Pulses]"},
      {"lbl_i_look_fact", "[range: 0 - 1000]"},
      {"lbl_i_oneshot", "[range: 0.001 - 1000.000 s]"},
      {"lbl_i_vmax_del", "[range: 0.000 - 1000.000 s]"},
      {"lbl_i_aout_v4ma", "[range: 0 - 2100000 RPM]"},
      {"lbl_i_aout_swing", "[range: 3.60 - 21.00 mA]"},
      {"lbl_i_aout_err_val", "[range: 0.00 - 3.60 mA]"},
      {"lbl_i_usr_comment", "[range: 32 characters]"},
      {"lbl_i_adm_tag2", "[range: 16 characters]"},
      {"lbl_i_password", "[range: 16 characters]"}};
  for (const auto& [key, range] : ranges) {
    const int row = RowOf(key, TextKind::InfoText);
    ASSERT_GE(row, 0) << key;
    EXPECT_TRUE(TextOf(TextTable[row]).contains(range)) << key;
  }
}

}  // namespace
}  // namespace kvn

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTabWidget>
#include <ostream>

#include "parameters/qstring_print.h"
#include "texts/about_text.h"
#include "texts/text_table.h"
#include "ui/main_menu.h"
#include "ui/window_texts.h"
#include "window_fixture.h"

namespace kvn {
namespace {

using test::WindowUnderTest;

int RowOf(const char* key, TextKind kind) {
  for (int i = 0; i < kTextRowCount; ++i)
    if (TextTable[i].kind == kind && QLatin1String(TextTable[i].key) == QLatin1String(key))
      return i;
  return -1;
}

class WindowTextsTest : public ::testing::Test {
 protected:
  void SetUp() override { w.Start(); }
  QString Current(const char* key) const { return w.texts.GetTextByKey(QString::fromLatin1(key)); }
  WindowUnderTest w;
};

TEST_F(WindowTextsTest, StartCollectsAllRowsWithoutAnyMissingControl) {
  EXPECT_TRUE(w.prompts.NothingShown()) << w.prompts.Describe().toStdString();
  ASSERT_EQ(w.texts.CurrentTexts.size(), kTextRowCount);
  // Every main-window row got its caption from a control.
  for (int i = 0; i < kTextRowCount; ++i) {
    const TextEntry& row = TextTable[i];
    const bool windowRow =
        row.number == 0 && (row.kind == TextKind::Label || row.kind == TextKind::Button ||
                            row.kind == TextKind::CheckBox || row.kind == TextKind::TabSheet ||
                            row.kind == TextKind::MenuItem || row.kind == TextKind::ComboItems);
    if (windowRow) {
      EXPECT_FALSE(w.texts.CurrentTexts[i].isEmpty()) << i << " " << row.key;
    }
  }
}

struct Collected {
  const char* key;
  const char* text;
};

class CollectedTextTest : public WindowTextsTest, public ::testing::WithParamInterface<Collected> {};

TEST_P(CollectedTextTest, RowHoldsTheWindowsCaption) {
  EXPECT_EQ(Current(GetParam().key), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CollectedTextTest,
    ::testing::Values(
        Collected{"main_form_caption", "Korvane"},  // trimmed
        Collected{"tab_device", "DEVICE"}, Collected{"tab_log", "EVENT LOG"},
        Collected{"lbl_config_usr", "Configuration - user"},
        Collected{"lbl_usr_tag1", "Location tag"},  // shown indented, collected without
        Collected{"lbl_amax_hyst", "Acceleration hystersis"},
        Collected{"lbl_to_aout_swing", "to"}, Collected{"lbl_u_baud_485", "baud"},
        Collected{"lbl_show_pass", "Show password..."},
        Collected{"lbl_level_u_off", "Trigger + System offset"},
        Collected{"lbl_lab_ecode", "Code (HEX)"}, Collected{"lbl_edesc_25", "Slave startup watchdog error"},
        Collected{"lbl_stat_caption", "Korvane™"}, Collected{"lbl_lbl_curr_if", "PC interface"},
        Collected{"cmd_read_param", "Read device settings"},
        Collected{"cmd_ppt_on", "Test and reset ON"}, Collected{"chk_act_pass", "Activate"},
        Collected{"chk_off_line", "Off-line mode"}, Collected{"chk_stop_acq", "Stop data acquisition"},
        Collected{"men_file_quit", "Quit"}, Collected{"men_settings_if", "Interface settings..."},
        Collected{"men_dev_save", "Save current setup as default"},
        Collected{"cmb_term", "Inactive|Active"},
        Collected{"cmb_sens_srfc", "Involuted|Squared|Pole band|Rounded"},
        Collected{"cmb_ppchk_act", "Run 'Test and reset'|Run 'Diagnostics' and 'Test and reset'"},
        // Dialog rows take their default texts; the dialogs do not exist yet.
        Collected{"if_setup_caption", "Interface settings"}, Collected{"lbl1_baud", "Baud rate"},
        Collected{"chk2_max_5", "Overspeed digital out"}, Collected{"cmd3_ok", "OK"},
        Collected{"mesage_text_50", "Quit program?"}));

TEST_F(WindowTextsTest, AboutRowTakesTheAboutText) {
  EXPECT_EQ(Current("lbl3_about_text"), AboutText());
}

TEST_F(WindowTextsTest, InfoRowsKeepTheirDefaultTextsAndButtonsTheirCaptions) {
  // The first row with a key wins: the button caption, not its info text.
  EXPECT_EQ(Current("cmd_ppt_pulse"), QStringLiteral("Test and reset pulse"));
  EXPECT_EQ(w.texts.CurrentTexts[RowOf("cmd_ppt_pulse", TextKind::InfoText)],
            QString::fromUtf8(TextTable[RowOf("cmd_ppt_pulse", TextKind::InfoText)].default_text));
}

TEST_F(WindowTextsTest, ApplyingTheCollectedTextsChangesNothing) {
  const QStringList collected = w.texts.CurrentTexts;
  ApplyTexts(*w.form, w.texts, w.prompts);
  Texts again;
  CollectTexts(*w.form, again, w.prompts);
  EXPECT_TRUE(w.prompts.NothingShown()) << w.prompts.Describe().toStdString();
  for (int i = 0; i < kTextRowCount; ++i)
    EXPECT_EQ(again.CurrentTexts[i], collected[i]) << i << " " << TextTable[i].key;
  EXPECT_EQ(w.Control<QLabel>("lbl_usr_tag1")->text(), QStringLiteral("  Location tag"));
  EXPECT_EQ(w.Control<QLabel>("lbl_config_usr")->text(), QStringLiteral("Configuration - user"));
}

TEST_F(WindowTextsTest, AppliedTextsReachLabelsPagesMenuCombosAndTitles) {
  auto set = [&](const char* key, TextKind kind, const char* text) {
    w.texts.CurrentTexts[RowOf(key, kind)] = QString::fromUtf8(text);
  };
  set("lbl_usr_tag1", TextKind::Label, "Standort");
  set("lbl_config_usr", TextKind::Label, "Konfiguration");
  set("tab_output", TextKind::TabSheet, "AUSGANG");
  set("men_file", TextKind::MenuItem, "&Datei");
  set("cmd_load_log", TextKind::Button, "Laden");
  set("chk_act_pass", TextKind::CheckBox, "Aktivieren");
  set("main_form_caption", TextKind::FormCaption, "Korvane DE");
  set("application_name", TextKind::AppTitle, "Korvane-DE");
  const QString title = QGuiApplication::applicationDisplayName();
  set("lbl1_baud", TextKind::Label, "must stay in the dialog");
  ApplyTexts(*w.form, w.texts, w.prompts);
  EXPECT_TRUE(w.prompts.NothingShown()) << w.prompts.Describe().toStdString();
  EXPECT_EQ(w.Control<QLabel>("lbl_usr_tag1")->text(), QStringLiteral("  Standort"));
  EXPECT_EQ(w.Control<QLabel>("lbl_config_usr")->text(), QStringLiteral("Konfiguration"));
  EXPECT_EQ(w.form->pg_ctrl1->tabText(2), QStringLiteral(" AUSGANG "));
  EXPECT_EQ(FindMenuItem(*w.form->men_main, QStringLiteral("men_file"))->text(), QStringLiteral("&Datei"));
  EXPECT_EQ(w.Control<QAbstractButton>("cmd_load_log")->text(), QStringLiteral("Laden"));
  EXPECT_EQ(w.Control<QAbstractButton>("chk_act_pass")->text(), QStringLiteral("Aktivieren"));
  EXPECT_EQ(w.form->windowTitle(), QStringLiteral(" Korvane DE"));
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Korvane-DE"));
  QGuiApplication::setApplicationDisplayName(title);
  // Screen readers hear the new caption too.
  EXPECT_EQ(w.Control("txt_usr_tag1")->accessibleName(), QStringLiteral("Standort"));
  Texts again;
  CollectTexts(*w.form, again, w.prompts);
  EXPECT_EQ(again.GetTextByKey(QStringLiteral("lbl_usr_tag1")), QStringLiteral("Standort"));
  EXPECT_EQ(again.GetTextByKey(QStringLiteral("tab_output")), QStringLiteral("AUSGANG"));
  EXPECT_EQ(again.GetTextByKey(QStringLiteral("men_file")), QStringLiteral("&Datei"));
}

// The title is the application's name, never its display name, which the window system would
// append to every window and box caption (" — Korvane").
TEST_F(WindowTextsTest, ApplicationTitleAddsNothingToTheCaptions) {
  SetApplicationTitle(QStringLiteral("Korvane"));
  w.texts.CurrentTexts[RowOf("application_name", TextKind::AppTitle)] = QStringLiteral("Korvane-DE");
  ApplyTexts(*w.form, w.texts, w.prompts);
  EXPECT_EQ(ApplicationTitle(), QStringLiteral("Korvane-DE"));
  QCoreApplication::setApplicationName(QStringLiteral("probe"));
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"))
      << "a display name was set";
}

struct ComboCase {
  const char* text;
  QStringList items;
};

void PrintTo(const ComboCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class ComboItemsTest : public WindowTextsTest, public ::testing::WithParamInterface<ComboCase> {};

TEST_P(ComboItemsTest, ItemsStopAtTheFirstEmptyFieldAndNothingIsSelected) {
  auto* combo = w.Control<QComboBox>("cmb_term");
  combo->setCurrentIndex(1);
  w.texts.CurrentTexts[RowOf("cmb_term", TextKind::ComboItems)] = QString::fromUtf8(GetParam().text);
  ApplyTexts(*w.form, w.texts, w.prompts);
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items, GetParam().items);
  EXPECT_EQ(combo->currentIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ComboItemsTest,
    ::testing::Values(ComboCase{"Inactive|Active", {"Inactive", "Active"}},
                      ComboCase{"Aus||An", {"Aus"}}, ComboCase{"Aus|An|", {"Aus", "An"}},
                      ComboCase{"|Aus", {}}, ComboCase{"", {}},
                      ComboCase{"Ein", {"Ein"}}));

TEST_F(WindowTextsTest, ErrorCodesMarkStaysThirtyPixelsRightOfItsHeading) {
  w.form->show();
  w.texts.CurrentTexts[RowOf("lbl_error_codes", TextKind::Label)] =
      QStringLiteral("Zusammenfassung der Fehlercodes des Geraetes");
  ApplyTexts(*w.form, w.texts, w.prompts);
  const QWidget* heading = w.Control("lbl_error_codes");
  const QWidget* mark = w.Control("lbl_i_error_codes");
  EXPECT_EQ(mark->x(), heading->x() + heading->width() + 30);
  EXPECT_GE(heading->width(), heading->sizeHint().width());
}

class MissingControlTest : public ::testing::Test {};

TEST_F(MissingControlTest, EachMissingControlCostsOneBoxAndTheRestIsProcessed) {
  WindowUnderTest w;
  w.Start();
  delete w.Control("lbl_usr_tag2");
  delete w.Control("cmd_export_log");
  delete w.Control("cmb_parity");
  w.texts.CurrentTexts.fill(QString());
  CollectTexts(*w.form, w.texts, w.prompts);
  EXPECT_EQ(w.prompts.TextsOf(RecordingPrompts::Kind::Info),
            (QStringList{"label not found: lbl_usr_tag2", "combo not found: cmb_parity",
                         "button not found: cmd_export_log"}));
  EXPECT_TRUE(w.texts.GetTextByKey(QStringLiteral("lbl_usr_tag2")).isEmpty());
  EXPECT_EQ(w.texts.GetTextByKey(QStringLiteral("lbl_usr_tag3")), QStringLiteral("Device tag"));
  EXPECT_EQ(w.texts.GetTextByKey(QStringLiteral("cmb_term")), QStringLiteral("Inactive|Active"));

  w.prompts.ClearCalls();
  ApplyTexts(*w.form, w.texts, w.prompts);
  EXPECT_EQ(w.prompts.TextsOf(RecordingPrompts::Kind::Info),
            (QStringList{"label not found: lbl_usr_tag2", "combo not found: cmb_parity",
                         "button not found: cmd_export_log"}));
}

TEST(TrimCaption, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(TrimCaption(QStringLiteral("  Location tag ")), QStringLiteral("Location tag"));
  EXPECT_EQ(TrimCaption(QStringLiteral("\t\r\nA  B\x01")), QStringLiteral("A  B"));
  EXPECT_EQ(TrimCaption(QStringLiteral("   ")), QString());
  EXPECT_EQ(TrimCaption(QStringLiteral("ⓘ ")), QStringLiteral("ⓘ"));
}

}  // namespace
}  // namespace kvn

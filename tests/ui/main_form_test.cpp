#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "device_link/block_table.h"
#include "parameters/parameter_table.h"
#include "parameters/qstring_print.h"
#include "texts/text_table.h"
#include "ui/grid_panel.h"
#include "ui/log_page.h"
#include "ui/main_menu.h"
#include "ui/pages.h"
#include "ui/window_texts.h"
#include "window_fixture.h"

namespace kvn {
namespace {

using test::WindowUnderTest;

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { w.Start(); }
  TMain_Form& form() { return *w.form; }
  QWidget* Find(const char* name, int container) const {
    return FindControl(*w.form, QString::fromLatin1(name), container);
  }
  WindowUnderTest w;
};

// ---------------------------------------------------------------------------------------------
// Frame

TEST_F(MainFormTest, PagesInTheirOrderWithBlankFramedCaptions) {
  const std::vector<std::pair<QString, QString>> expected = {
      {"tab_device", " DEVICE "},       {"tab_measure", " MEASUREMENT "},
      {"tab_output", " OUTPUT "},       {"tab_diag", " DIAGNOSTICS "},
      {"tab_proc_data", " PROCESS DATA "}, {"tab_sys_diag", " DEVICE STATUS "},
      {"tab_report", " REPORT "},       {"tab_log", " EVENT LOG "},
  };
  ASSERT_EQ(form().pg_ctrl1->count(), static_cast<int>(expected.size()));
  for (int i = 0; i < form().pg_ctrl1->count(); ++i) {
    EXPECT_EQ(form().pg_ctrl1->widget(i)->objectName(), expected[i].first) << i;
    EXPECT_EQ(form().pg_ctrl1->tabText(i), expected[i].second) << i;
  }
  EXPECT_EQ(form().pg_ctrl1->currentIndex(), 0);
  EXPECT_EQ(form().windowTitle(), QStringLiteral(" Korvane"));
}

TEST_F(MainFormTest, StartStatesOfTheControls) {
  struct Expect {
    const char* name;
    bool enabled;
    bool hidden;
  };
  const Expect expected[] = {
      {"cmd_read_param", false, false}, {"cmd_enter_prog", false, false},
      {"cmd_save_prog", false, false},  {"cmd_abort_prog", false, false},
      {"chk_off_line", true, false},    {"Button8", true, true},
      {"chk_invert_1", false, false},   {"chk_invert_2", false, false},
      {"chk_invert_3", true, false},    {"chk_diag_active_1", false, false},
      {"chk_diag_active_2", false, false}, {"chk_diag_active_5", true, false},
      {"chk_latch_out_err", true, true}, {"cmd_clr_minmax", false, false},
      {"cmd_ppt_on", false, false},     {"cmd_ppt_pulse", false, false},
      {"scr_err_lab", false, false},    {"scr_emem_lab", false, false},
      {"cmd_reset_err", false, false},  {"cmd_load_log", true, false},
      {"cmd_export_log", true, false},  {"scr_main_hor", true, true},
      {"scr_main_vert", true, true},
  };
  for (const Expect& e : expected) {
    QWidget* control = w.Control(e.name);
    ASSERT_NE(control, nullptr) << e.name;
    EXPECT_EQ(control->isEnabled(), e.enabled) << e.name;
    EXPECT_EQ(control->isHidden(), e.hidden) << e.name;
  }
  for (const char* box : {"chk_rep_device", "chk_rep_meas", "chk_rep_output", "chk_rep_diag"})
    EXPECT_TRUE(w.Control<QCheckBox>(box)->isChecked()) << box;
  EXPECT_FALSE(w.Control<QCheckBox>("chk_off_line")->isChecked());
  for (auto* edit : form().pg_ctrl1->findChildren<QLineEdit*>())
    EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
  EXPECT_EQ(w.Control<QLineEdit>("txt_password")->echoMode(), QLineEdit::Password);
}

TEST_F(MainFormTest, PollTimerRunsAfterStartWithTheDefaultInterval) {
  EXPECT_TRUE(form().Timer1->isActive());
  EXPECT_EQ(form().Timer1->interval(), 1000);
}

TEST_F(MainFormTest, StatusPanelHoldsItsControlsInTopToBottomOrder) {
  const QStringList expected = {
      "lbl_stat_caption", "lbl_lbl_curr_if", "lbl_current_if", "lbl_loc_modb_addr",
      "lbl_lbl_acc_level", "lbl_acc_level", "lbl_lbl_conn_stat", "lbl_conn_stat",
      "lbl_lbl_serial_num", "lbl_serial_num", "lbl_lbl_tag_number", "lbl_tag_number",
      "cmd_read_param", "cmd_enter_prog", "cmd_save_prog", "cmd_abort_prog", "chk_off_line",
      "lbl_records_note", "Image1", "lbl_stat_ver", "Button8"};
  QStringList names;
  for (QObject* child : form().pnl_status->children())
    if (child->isWidgetType()) names << child->objectName();
  EXPECT_EQ(names, expected);
  EXPECT_FALSE(form().Image1->pixmap().isNull());
  // The panel is searched in its direct children only, never in the pages.
  EXPECT_EQ(Find("txt_usr_tag1", 2), nullptr);
  EXPECT_NE(Find("cmd_read_param", 2), nullptr);
}

TEST_F(MainFormTest, MainMenuItemsSeparatorsAndTheDisabledDeviceMenu) {
  const char* keys[] = {"men_file",        "men_file_load_cfg", "men_file_save_cfg",
                        "men_file_quit",   "men_file_about",    "men_perm",
                        "men_perm_admin",  "men_perm_user",     "men_settings",
                        "men_settings_if", "men_settings_plot", "men_device",
                        "men_dev_restore", "men_dev_save"};
  for (const char* key : keys)
    EXPECT_NE(FindMenuItem(*form().men_main, QString::fromLatin1(key)), nullptr) << key;
  EXPECT_EQ(FindMenuItem(*form().men_main, QStringLiteral("men_File")), nullptr);
  EXPECT_FALSE(FindMenuItem(*form().men_main, QStringLiteral("men_device"))->isEnabled());
  EXPECT_TRUE(FindMenuItem(*form().men_main, QStringLiteral("men_file"))->isEnabled());

  QStringList file;
  for (QAction* a : FindMenuItem(*form().men_main, QStringLiteral("men_file"))->menu()->actions())
    file << (a->isSeparator() ? QStringLiteral("-") : a->text());
  // The two comparisons join the configuration items, the records have their own group (their
  // texts are not in the text table).
  EXPECT_EQ(file, (QStringList{"Load configuration", "Save configuration", "Compare with device...",
                               "Compare with file...", "-", "Change history...", "Records server...", "-", "Quit",
                               "-", "About"}));
}

// ---------------------------------------------------------------------------------------------
// Pages

TEST_F(MainFormTest, EveryParameterControlIsFoundOnItsBlocksPageWithTheRightKind) {
  for (const ParameterDescriptor& row : ParameterTable) {
    const QString name = QString::fromUtf8(row.name.data(), static_cast<qsizetype>(row.name.size()));
    const BlockDescriptor* block = &Block(row.blockId);
    ASSERT_NE(block, nullptr) << name.toStdString();
    QWidget* control = FindControl(form(), name, block->page);
    ASSERT_NE(control, nullptr) << name.toStdString();
    switch (row.fieldType) {
      case FieldType::Choice:
        EXPECT_NE(qobject_cast<QComboBox*>(control), nullptr) << name.toStdString();
        break;
      case FieldType::Bit:
      case FieldType::InvertedBit:
      case FieldType::Bit32:
      case FieldType::FixedOn:
        EXPECT_NE(qobject_cast<QCheckBox*>(control), nullptr) << name.toStdString();
        break;
      case FieldType::CrcLabel:
      case FieldType::ResponseTime:
        EXPECT_NE(qobject_cast<QLabel*>(control), nullptr) << name.toStdString();
        break;
      default:
        EXPECT_NE(qobject_cast<QLineEdit*>(control), nullptr) << name.toStdString();
        break;
    }
  }
}

TEST_F(MainFormTest, EveryInfoTextHasItsBoldMarkOnItsPage) {
  int marks = 0;
  for (const TextEntry& row : TextTable) {
    if (row.kind != TextKind::InfoText) continue;
    const QString key = QString::fromUtf8(row.key);
    QWidget* control = w.form->findChild<QWidget*>(key);
    ASSERT_NE(control, nullptr) << row.key;
    EXPECT_EQ(control->window(), w.form.get());
    if (!key.startsWith(QStringLiteral("lbl_i_"))) continue;
    ++marks;
    auto* label = qobject_cast<QLabel*>(control);
    ASSERT_NE(label, nullptr) << row.key;
    EXPECT_EQ(label->text(), QStringLiteral("ⓘ ")) << row.key;
    EXPECT_TRUE(label->font().bold()) << row.key;
    // The mark belongs to the row whose caption names it, on the page the row is listed for.
    EXPECT_NE(FindControl(form(), key, row.container), nullptr) << row.key;
  }
  EXPECT_EQ(marks, 146);
}

TEST_F(MainFormTest, RowsAreGridPanelCellsOfTheirSections) {
  QWidget* caption = Find("gpl_lab_usr_tag1", 3);
  QWidget* value = Find("gpl_usr_tag1", 3);
  ASSERT_NE(caption, nullptr);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(caption->parentWidget()->objectName(), QStringLiteral("gpl_cfg_user"));
  EXPECT_EQ(value->parentWidget(), caption->parentWidget());
  EXPECT_EQ(w.Control("lbl_usr_tag1")->parentWidget(), caption);
  EXPECT_EQ(w.Control("lbl_i_usr_tag1")->parentWidget(), caption);
  EXPECT_EQ(w.Control("txt_usr_tag1")->parentWidget(), value);
  EXPECT_EQ(w.Control("lbl_u_baud_485")->parentWidget(), Find("gpl_baud_485", 3));
  for (const char* section : {"gpl_cfg_user", "gpl_cfg_admin", "gpl_pass_admin", "gpl_measure",
                              "gpl_measure_adv", "gpl_dout", "gpl_dout_acc", "gpl_aout",
                              "gpl_diag", "gpl_proc_meas", "gpl_proc_dout", "gpl_err_codes"})
    EXPECT_NE(qobject_cast<GridPanel*>(w.Control(section)), nullptr) << section;
  // The relay table headings line up with the controls of their column.
  form().ShowPage(2);
  form().show();
  for (int relay = 1; relay <= 5; ++relay) {
    const char* heading[] = {"lbl_relay_1", "lbl_relay_2", "lbl_relay_3", "lbl_relay_4",
                             "lbl_pst_out"};
    QWidget* head = w.Control(heading[relay - 1]);
    QWidget* limit = w.Control(QStringLiteral("txt_vmax_lim_%1").arg(relay).toLatin1().constData());
    const int headCentre = head->mapTo(form().pg_ctrl1, head->rect().center()).x();
    const int limitCentre = limit->mapTo(form().pg_ctrl1, limit->rect().center()).x();
    EXPECT_NEAR(headCentre, limitCentre, 1) << relay;
  }
}

// Reading order on screen: each control stands right of the one before on its line, or
// wholly below it.
TEST_F(MainFormTest, RowsReadInTheirOrder) {
  const struct {
    int page;
    std::vector<const char*> names;
  } rows[] = {{0, {"lbl_password", "lbl_show_pass", "txt_password", "chk_act_pass"}},
              {4, {"cmd_plot_pdf", "chk_stop_acq", "lbl_process_plot", "img_plot"}}};
  form().show();
  for (const auto& row : rows) {
    form().ShowPage(row.page);
    QWidget* page = form().pg_ctrl1->currentWidget();
    page->layout()->activate();
    auto place = [&](const char* name) {
      QWidget* control = w.Control(name);
      return control ? QRect(control->mapTo(page, QPoint()), control->size()) : QRect();
    };
    for (size_t i = 1; i < row.names.size(); ++i) {
      const QRect a = place(row.names[i - 1]);
      const QRect b = place(row.names[i]);
      const bool sameLine = a.top() < b.bottom() && b.top() < a.bottom();
      EXPECT_TRUE(sameLine ? a.right() < b.left() : a.bottom() < b.top())
          << row.names[i - 1] << " before " << row.names[i];
    }
  }
}

TEST_F(MainFormTest, CombosHoldTheirFixedItemsAndNoSelection) {
  const std::vector<std::pair<const char*, QStringList>> combos = {
      {"cmb_baud_485", {"4800", "9600", "19200", "38400", "57600", "115200"}},
      {"cmb_parity", {"none", "even", "odd"}},
      {"cmb_term", {"Inactive", "Active"}},
      {"cmb_adm_vstr", {"1oo1", "1oo2", "2oo2", "1oo3", "2oo3", "3oo3"}},
      {"cmb_meas_type", {"Axial", "Radial", "Tangential"}},
      {"cmb_sens_srfc", {"Involuted", "Squared", "Pole band", "Rounded"}},
      {"cmb_sens_type", {"2-Wire current", "3-Wire voltage", "2-Wire voltage"}},
      {"cmb_trig_edge", {"Rising", "Falling"}},
      {"cmb_ppchk_act", {"Run 'Test and reset'", "Run 'Diagnostics' and 'Test and reset'"}},
  };
  for (const auto& [name, items] : combos) {
    auto* combo = w.Control<QComboBox>(name);
    ASSERT_NE(combo, nullptr) << name;
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    EXPECT_EQ(shown, items) << name;
    EXPECT_EQ(combo->currentIndex(), -1) << name;
  }
}

TEST_F(MainFormTest, EventLogGridHasItsHeaderAndOneEmptyRow) {
  auto* grid = w.Control<QTableWidget>("grd_log");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->columnCount(), 5);
  EXPECT_EQ(grid->rowCount(), 1);
  QStringList header;
  for (int c = 0; c < 5; ++c) {
    ASSERT_NE(grid->horizontalHeaderItem(c), nullptr) << c;
    header << grid->horizontalHeaderItem(c)->text();
  }
  EXPECT_EQ(header, (QStringList{"Entry No.", "Time", "Event", "Value", "CRC"}));
  EXPECT_TRUE(grid->isColumnHidden(4));
  form().ShowPage(7);
  form().show();
  grid->setFixedSize(500, 300);
  EXPECT_EQ(grid->columnWidth(0), 60);
  EXPECT_EQ(grid->columnWidth(1), 135);
  EXPECT_EQ(grid->columnWidth(2), 200);
  EXPECT_EQ(grid->columnWidth(3), 75);
}

TEST_F(MainFormTest, ErrorLegendShowsTheBitsAndHighlightsThem) {
  const auto* first = qobject_cast<GridPanel*>(w.Control("gpl_ecode_01"));
  const auto* ninth = qobject_cast<GridPanel*>(w.Control("gpl_ecode_09"));
  const auto* last = qobject_cast<GridPanel*>(w.Control("gpl_ecode_25"));
  ASSERT_TRUE(first && ninth && last);
  EXPECT_EQ(first->Caption(), QStringLiteral("0000 0001"));
  EXPECT_EQ(ninth->Caption(), QStringLiteral("0000 0100"));
  EXPECT_EQ(last->Caption(), QStringLiteral("0100 0000"));

  HighlightErrorBits(*form().Page(9), 0x101);
  EXPECT_TRUE(w.Control("gpl_ecode_01")->font().bold());
  EXPECT_TRUE(w.Control("lbl_edesc_09")->font().bold());
  EXPECT_FALSE(w.Control("lbl_edesc_02")->font().bold());
  // Leaving for another page clears the marking.
  form().ShowPage(7);
  form().ShowPage(0);
  EXPECT_FALSE(w.Control("gpl_ecode_01")->font().bold());
  EXPECT_FALSE(w.Control("lbl_edesc_09")->font().bold());
}

TEST_F(MainFormTest, PlotCanvasTakesThePlaceOfThePlotImage) {
  QWidget* page = form().Page(7);
  QWidget* placeholder = Find("img_plot", 7);
  ASSERT_NE(placeholder, nullptr);
  form().show();
  form().ShowPage(4);
  const QPoint where = placeholder->pos();
  auto* canvas = new QWidget;
  EXPECT_EQ(InstallPlotImage(*page, canvas), canvas);
  EXPECT_EQ(Find("img_plot", 7), canvas);
  EXPECT_EQ(page->findChildren<QWidget*>(QStringLiteral("img_plot")).size(), 1);
  EXPECT_EQ(canvas->size(), QSize(kPlotImageWidth, kPlotImageHeight));
  page->layout()->activate();
  EXPECT_EQ(canvas->pos(), where);
  EXPECT_EQ(InstallPlotImage(*form().Page(3), new QWidget(form().Page(3))), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

TEST(MainFormStartup, StepsRunInTheirOrderAfterCollection) {
  WindowUnderTest w;
  std::vector<std::string> order;
  auto note = [&order](const char* name) {
    return [&order, name](TMain_Form&) { order.emplace_back(name); };
  };
  QString textSeenByLanguagePack;
  w.steps.RememberLocale = note("locale");
  w.steps.ClearErrorHistory = note("errors");
  w.steps.LoadLanguagePack = [&](TMain_Form&) {
    order.emplace_back("language");
    textSeenByLanguagePack = w.texts.GetTextByKey(QStringLiteral("lbl_usr_tag1"));
  };
  w.steps.WriteStartupLog = note("log");
  w.steps.InitialiseLink = note("link");
  w.steps.ClearPollFlag = note("poll flag");
  w.steps.ClearPlotBuffer = note("plot buffer");
  w.steps.LoadProgramSettings = note("settings");
  w.steps.Connect = note("connect");
  w.steps.ClearParameterControls = note("clear controls");
  w.steps.PreparePlotCanvas = note("plot canvas");
  w.steps.RefreshAccessLevel = note("access level");
  w.Start();
  EXPECT_EQ(order, (std::vector<std::string>{"locale", "errors", "language", "log", "link",
                                             "poll flag", "plot buffer", "settings", "connect",
                                             "clear controls", "plot canvas", "access level"}));
  EXPECT_EQ(textSeenByLanguagePack, QStringLiteral("Location tag"));
  EXPECT_EQ(w.setup.last_acc_lvl, -2);
}

TEST(MainFormStartup, OffLineModeFromTheSettingsTicksTheBoxThroughItsClickHandler) {
  WindowUnderTest w;
  int clicks = 0;
  w.steps.LoadProgramSettings = [&](TMain_Form&) { w.setup.offline_mode = 1; };
  // The program attaches its command handlers in the first start-up step.
  w.steps.AttachOperations = [&](TMain_Form& form) {
    QObject::connect(form.chk_off_line, &QCheckBox::toggled, [&clicks, &form] {
      ++clicks;
      EXPECT_TRUE(form.chk_off_line->isChecked());
    });
  };
  w.Start();
  EXPECT_TRUE(w.form->chk_off_line->isChecked());
  EXPECT_EQ(clicks, 1);
}

TEST(MainFormStartup, RegisterImagesAreClearedAtStart) {
  WindowUnderTest w;
  w.images->EditImage[4008] = 7;
  w.images->DeviceImage[0] = 2300;
  w.images->VerifyImage[11000] = -1;
  w.Start();
  EXPECT_EQ(w.images->EditImage[4008], 0);
  EXPECT_EQ(w.images->DeviceImage[0], 0);
  EXPECT_EQ(w.images->VerifyImage[11000], 0);
}

// Runs the start-up in a scratch working directory that holds the given files.
class StartupFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  }
  void TearDown() override { QDir::setCurrent(previous_); }
  void Write(const char* name, const QByteArray& bytes) {
    QFile file(dir_.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QTemporaryDir dir_;
  QString previous_;
};

TEST_F(StartupFilesTest, UnreadableLogoAndIconAreNotedAndTheBuiltInLogoStays) {
  Write("kvn_logo.png", "not a picture");
  Write("main_f.ico", "not an icon either");
  WindowUnderTest w;
  w.Start();
  const QStringList lines = w.startupErrors.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 3) << w.startupErrors.toStdString();
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral(". Logo file load failed!"))) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral(". Icon file load failed!"))) << lines[1].toStdString();
  EXPECT_TRUE(lines[2].isEmpty());
  EXPECT_FALSE(w.form->Image1->pixmap().isNull());
}

// Neither a pipe nor a device in the place of the files can hold up the start.
TEST_F(StartupFilesTest, LogoAndIconThatAreNoRegularFilesAreNotedWithoutOpeningThem) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir_.filePath(QStringLiteral("kvn_logo.png"))), 0600), 0);
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir_.filePath(QStringLiteral("main_f.ico"))));
  WindowUnderTest w;
  w.Start();
  EXPECT_EQ(w.startupErrors, QStringLiteral("Not a regular file. Logo file load failed!\r\n"
                                            "Not a regular file. Icon file load failed!\r\n"));
  EXPECT_FALSE(w.form->Image1->pixmap().isNull());
}

TEST_F(StartupFilesTest, ReadableLogoReplacesTheBuiltInOne) {
  QImage logo(40, 20, QImage::Format_RGB32);
  logo.fill(Qt::red);
  ASSERT_TRUE(logo.save(dir_.filePath(QStringLiteral("kvn_logo.png"))));
  WindowUnderTest w;
  w.Start();
  EXPECT_TRUE(w.startupErrors.isEmpty());
  const QImage shown = w.form->Image1->pixmap().toImage();
  EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
}

class QuitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w.steps.SaveProgramSettings = [this](TMain_Form&) { calls.emplace_back("save settings"); };
    w.steps.CloseLink = [this](TMain_Form&) { calls.emplace_back("close link"); };
    w.Start().show();
  }
  WindowUnderTest w;
  std::vector<std::string> calls;
};

TEST_F(QuitTest, NoKeepsTheWindowAndTheTimerAndSavesNothing) {
  w.prompts.QueueYesNo(false);
  EXPECT_FALSE(w.form->close());
  EXPECT_TRUE(w.form->isVisible());
  EXPECT_TRUE(w.form->Timer1->isActive());
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(w.prompts.ShowedExactly(RecordingPrompts::Kind::YesNo, "Quit program?"))
      << w.prompts.Describe().toStdString();
}

TEST_F(QuitTest, YesStopsTheTimerSavesTheSettingsThenClosesTheLink) {
  w.prompts.QueueYesNo(true);
  EXPECT_TRUE(w.form->close());
  EXPECT_FALSE(w.form->Timer1->isActive());
  EXPECT_EQ(calls, (std::vector<std::string>{"save settings", "close link"}));
}

TEST_F(QuitTest, QuitMenuItemAsksTheSameQuestion) {
  w.prompts.QueueYesNo(false);
  w.form->men_file_quitClick();  // what the program's command table connects to the menu item
  EXPECT_TRUE(w.form->isVisible());
  EXPECT_EQ(w.prompts.TextsOf(RecordingPrompts::Kind::YesNo), QStringList{"Quit program?"});
}

// ---------------------------------------------------------------------------------------------
// Keyboard, focus and screen readers

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w.Start().show();
    QApplication::setActiveWindow(w.form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
  }
  QStringList TabThrough(const char* first, int steps) {
    w.Control(first)->setFocus(Qt::TabFocusReason);
    QStringList names{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < steps; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      names << QApplication::focusWidget()->objectName();
    }
    return names;
  }
  WindowUnderTest w;
};

TEST_F(KeyboardTest, TabFollowsTheReadingOrderOfThePage) {
  EXPECT_EQ(TabThrough("txt_usr_tag1", 10),
            (QStringList{"txt_usr_tag1", "txt_usr_tag2", "txt_usr_tag3", "txt_usr_comment",
                         "txt_mod_addr", "cmb_baud_485", "cmb_parity", "cmb_term",
                         "cmb_adm_vstr", "txt_adm_tag1", "txt_adm_tag2"}));
  EXPECT_EQ(TabThrough("txt_adm_comment", 2),
            (QStringList{"txt_adm_comment", "txt_password", "chk_act_pass"}));
}

TEST_F(KeyboardTest, PlotCommandsTakeTheFocusInTheirOrder) {
  w.form->ShowPage(4);
  EXPECT_EQ(TabThrough("cmd_plot_pdf", 1), (QStringList{"cmd_plot_pdf", "chk_stop_acq"}));
}

TEST_F(KeyboardTest, TabGoesAcrossARelayRowBeforeTheNextRow) {
  w.form->ShowPage(2);
  // The fixed safety-relay boxes are disabled and skipped.
  EXPECT_EQ(TabThrough("chk_latch_4", 5),
            (QStringList{"chk_latch_4", "chk_latch_5", "chk_invert_3", "chk_invert_4",
                         "chk_invert_5", "txt_oneshot_1"}));
}

TEST_F(KeyboardTest, PageChangeTakesTheFocusFromTheFieldFirst) {
  auto* field = w.Control<QLineEdit>("txt_usr_tag1");
  field->setFocus(Qt::OtherFocusReason);
  ASSERT_TRUE(field->hasFocus());
  int pageWhenLeft = -1;
  struct Spy : QObject {
    std::function<void()> onFocusOut;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::FocusOut) onFocusOut();
      return false;
    }
  } spy;
  spy.onFocusOut = [&] { pageWhenLeft = w.form->pg_ctrl1->currentIndex(); };
  field->installEventFilter(&spy);
  QTest::keyClick(field, Qt::Key_Tab, Qt::ControlModifier);
  field->removeEventFilter(&spy);
  EXPECT_EQ(w.form->pg_ctrl1->currentIndex(), 1);
  EXPECT_EQ(pageWhenLeft, 0);
}

TEST_F(KeyboardTest, OpeningAMenuTakesTheFocusFromTheField) {
  auto* field = w.Control<QLineEdit>("txt_module");
  w.form->ShowPage(1);
  field->setFocus(Qt::OtherFocusReason);
  ASSERT_TRUE(field->hasFocus());
  QMenu* settings = FindMenuItem(*w.form->men_main, QStringLiteral("men_settings"))->menu();
  emit settings->aboutToShow();
  EXPECT_FALSE(field->hasFocus());
}

TEST_F(MainFormTest, EveryEntryControlOnThePagesHasItsRowCaptionAsAccessibleName) {
  int checked = 0;
  for (QWidget* control : form().pg_ctrl1->findChildren<QWidget*>()) {
    const bool entry = qobject_cast<QLineEdit*>(control) != nullptr ||
                       qobject_cast<QComboBox*>(control) != nullptr ||
                       (qobject_cast<QCheckBox*>(control) != nullptr &&
                        qobject_cast<QCheckBox*>(control)->text().isEmpty());
    if (!entry || control->objectName().isEmpty()) continue;
    ++checked;
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
  }
  EXPECT_GE(checked, 140);
  EXPECT_EQ(w.Control("txt_vmax_lim_2")->accessibleName(), QStringLiteral("Overspeed limit, Relay 2"));
  EXPECT_EQ(w.Control("cmb_parity")->accessibleName(), QStringLiteral("MODBUS parity check"));
  EXPECT_EQ(w.Control("chk_latch_5")->accessibleName(), QStringLiteral("Latching, Digital output"));
}

TEST_F(MainFormTest, ShowPasswordShowsTheCharactersOnlyWhileHeld) {
  auto* password = w.Control<QLineEdit>("txt_password");
  QWidget* show = w.Control("lbl_show_pass");
  QTest::mousePress(show, Qt::LeftButton);
  EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
  QTest::mouseRelease(show, Qt::LeftButton);
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
}

}  // namespace
}  // namespace kvn

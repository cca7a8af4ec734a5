#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "support/as_user.h"
#include "support/pty_pair.h"
#include "support/recording_prompts.h"
#include "texts/about_text.h"
#include "texts/program_settings.h"
#include "texts/setting_colour.h"
#include "texts/texts.h"
#include "ui/about_dialog.h"
#include "ui/status_panel.h"
#include "ui/com_scan_window.h"
#include "ui/qt_prompts.h"
#include "ui/setup_diag_dialog.h"
#include "ui/setup_if_dialog.h"
#include "ui/window_texts.h"

namespace kvn {
namespace {

using Kind = RecordingPrompts::Kind;

class NoPause : public Pause {
 public:
  void Wait(int) override {}
};

void SetCurrentText(Texts& texts, const char* key, const QString& text) {
  for (int row = 0; row < kTextRowCount; ++row) {
    if (QLatin1String(TextTable[row].key) == QLatin1String(key)) {
      texts.CurrentTexts[row] = text;
      return;
    }
  }
  FAIL() << "no text row " << key;
}

// Runs action once the dialog is on screen in its modal loop, then makes sure it closes even
// when a failed assertion left it open.
class WhileShown : public QObject {
 public:
  WhileShown(QDialog& dialog, std::function<void()> action)
      : dialog_(dialog), action_(std::move(action)) {
    dialog_.installEventFilter(this);
  }
  ~WhileShown() override { dialog_.removeEventFilter(this); }

  bool Ran() const { return ran_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &dialog_ && event->type() == QEvent::Show && !ran_) {
      ran_ = true;
      QTimer::singleShot(0, &dialog_, [this] {
        action_();
        if (dialog_.isVisible()) dialog_.reject();
      });
    }
    return false;
  }

 private:
  QDialog& dialog_;
  std::function<void()> action_;
  bool ran_ = false;
};

template <typename Widget>
Widget& Child(QWidget& parent, const QString& name) {
  Widget* widget = parent.findChild<Widget*>(name);
  if (!widget) throw std::runtime_error("control not found: " + name.toStdString());
  return *widget;
}

void Click(QWidget& parent, const QString& name) {
  QTest::mouseClick(&Child<QAbstractButton>(parent, name), Qt::LeftButton);
}

QStringList Items(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

// ---------------------------------------------------------------------------------------------
// Interface settings

class InterfaceDialog : public ::testing::Test {
 protected:
  InterfaceDialog() {
    texts.FillFromDefaults();
    folder.Link(1, com1.SlavePath());
    folder.Link(2, com2.SlavePath());
    setup.com_num = QStringLiteral("COM1");
    setup.baud = 2;
    setup.addr = 1;
  }

  // Opens the dialog as the menu item does; inside runs while it is shown and closes it.
  int Open(std::function<void()> inside) {
    WhileShown driver(dialog, std::move(inside));
    const int result = dialog.Run(hooks);
    EXPECT_TRUE(driver.Ran()) << "dialog was never shown";
    return result;
  }

  QComboBox& Combo(const char* name) { return Child<QComboBox>(dialog, QLatin1String(name)); }
  QWidget& Control(const char* name) { return Child<QWidget>(dialog, QLatin1String(name)); }

  std::vector<QString> LineControlsEnabled() {
    std::vector<QString> enabled;
    for (const char* name : {"lbl1_baud", "cmb1_baud", "lbl1_parity", "cmb1_parity", "lbl1_addr",
                             "cmb1_addr"})
      if (Control(name).isEnabled()) enabled.push_back(QLatin1String(name));
    return enabled;
  }
  const std::vector<QString> kAllLineControls = {"lbl1_baud",   "cmb1_baud", "lbl1_parity",
                                                 "cmb1_parity", "lbl1_addr", "cmb1_addr"};

  test::PortsFolder folder;
  test::PtyPair com1;
  test::PtyPair com2;
  LocSetupRec setup;
  NoPause pause;
  PortMap ports{folder.Path()};
  SerialLink link{setup, ports, pause};
  Texts texts;
  QWidget mainWindow;
  Tcom_scan scanWindow{&mainWindow};
  TSetup_if dialog{setup, link, scanWindow, texts, &mainWindow};

  std::vector<std::string> steps;
  SetupIfHooks hooks{[this] { steps.push_back("timer off"); },
                     [this] {
                       steps.push_back("connect");
                       link.Open();
                     },
                     [this] { steps.push_back("timer on"); }};
  const std::vector<std::string> kHookOrder = {"timer off", "connect", "timer on"};
};

TEST_F(InterfaceDialog, UsbPresetDisablesLineSettingsAndOkStoresUsbValues) {
  setup.usb = true;
  setup.baud = 1;
  setup.parity = 2;
  setup.addr = 17;
  const int result = Open([&] {
    EXPECT_TRUE(Child<QCheckBox>(dialog, "chk1_usb_conn").isChecked());
    EXPECT_TRUE(LineControlsEnabled().empty());
    // Disabled but still showing the stored values.
    EXPECT_EQ(Combo("cmb1_baud").currentText(), QStringLiteral("9600"));
    EXPECT_EQ(Combo("cmb1_parity").currentText(), QStringLiteral("even"));
    EXPECT_EQ(Combo("cmb1_addr").currentText(), QStringLiteral("17"));
    Click(dialog, "cmd1_ok");
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_TRUE(setup.usb);
  EXPECT_EQ(setup.baud, 5);
  EXPECT_EQ(setup.parity, 0);
  EXPECT_EQ(setup.addr, 1);
  EXPECT_EQ(setup.com_num, QStringLiteral("COM1"));
  EXPECT_EQ(steps, kHookOrder);
}

TEST_F(InterfaceDialog, UsbTickSwitchesLineSettingsAndOkStoresChoices) {
  Open([&] {
    EXPECT_EQ(LineControlsEnabled(), kAllLineControls);
    Click(dialog, "chk1_usb_conn");
    EXPECT_TRUE(LineControlsEnabled().empty());
    Click(dialog, "chk1_usb_conn");
    EXPECT_EQ(LineControlsEnabled(), kAllLineControls);
    Combo("cmb1_baud").setCurrentIndex(3);
    Combo("cmb1_parity").setCurrentIndex(1);
    Combo("cmb1_addr").setCurrentIndex(99);
    Combo("cmb1_com_num").setCurrentIndex(Combo("cmb1_com_num").findText("COM2"));
    Click(dialog, "cmd1_ok");
  });
  EXPECT_FALSE(setup.usb);
  EXPECT_EQ(setup.baud, 3);
  EXPECT_EQ(setup.parity, 1);
  EXPECT_EQ(setup.addr, 100);
  EXPECT_EQ(setup.com_num, QStringLiteral("COM2"));
}

TEST_F(InterfaceDialog, CancelKeepsSettingsButStillReconnects) {
  setup.baud = 4;
  setup.parity = 2;
  setup.addr = 9;
  const InterfaceSettings before = setup;
  const int result = Open([&] {
    Click(dialog, "chk1_usb_conn");
    Combo("cmb1_baud").setCurrentIndex(0);
    Combo("cmb1_com_num").setCurrentIndex(Combo("cmb1_com_num").findText("COM2"));
    Click(dialog, "cmd1_cancel");
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(setup.com_num, before.com_num);
  EXPECT_EQ(setup.baud, before.baud);
  EXPECT_EQ(setup.parity, before.parity);
  EXPECT_EQ(setup.usb, before.usb);
  EXPECT_EQ(setup.addr, before.addr);
  EXPECT_EQ(steps, kHookOrder);
}

TEST_F(InterfaceDialog, OwnOpenPortIsClosedForTheProbeAndReopenedAfter) {
  ASSERT_TRUE(link.Open());
  Open([&] {
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(Items(Combo("cmb1_com_num")).contains("COM1")) << "own port counts as present";
    EXPECT_EQ(Combo("cmb1_com_num").currentText(), QStringLiteral("COM1"));
    Click(dialog, "cmd1_cancel");
  });
  EXPECT_TRUE(link.PortOpen());
}

TEST_F(InterfaceDialog, ListsPresentPortsAndShowsTheDeviceBehindEach) {
  QSerialPort heldElsewhere;
  test::PtyPair busy;
  folder.Link(3, busy.SlavePath());
  heldElsewhere.setPortName(folder.Path() + QStringLiteral("/COM3"));
  ASSERT_TRUE(heldElsewhere.open(QIODevice::ReadWrite));

  Open([&] {
    const QStringList items = Items(Combo("cmb1_com_num"));
    EXPECT_TRUE(items.contains("COM1"));
    EXPECT_TRUE(items.contains("COM2"));
    EXPECT_TRUE(items.contains(QStringLiteral("COM3 \u2014 in use"))) << "held by another program";
    static const QRegularExpression comName(QStringLiteral("^COM([1-9]|[1-4][0-9]|50)( \u2014 .+)?$"));
    for (const QString& item : items) EXPECT_TRUE(comName.match(item).hasMatch()) << item.toStdString();

    const QLabel& device = Child<QLabel>(dialog, "lbl1_port_device");
    EXPECT_EQ(device.text(), com1.SlavePath());
    Combo("cmb1_com_num").setCurrentIndex(Combo("cmb1_com_num").findText("COM2"));
    EXPECT_EQ(device.text(), com2.SlavePath());
    Click(dialog, "cmd1_cancel");
  });
}

TEST_F(InterfaceDialog, PortTheUserMayNotOpenIsListedWithWhatToDoAndCanBeChosen) {
  if (!test::RunningAsUser()) {
    test::PtyPair denied;
    test::DenyToUser(denied.SlavePath());
    const int status = test::RerunAsUser({{QStringLiteral("KVN_DENIED_PORT"), denied.SlavePath()}});
    KVN_EXPECT_RERUN_PASSED(status);
    return;
  }
  const QString denied = qEnvironmentVariable("KVN_DENIED_PORT");
  const QString why = QStringLiteral("no permission: add yourself to the dialout group and log in again");
  folder.Link(3, denied);
  Open([&] {
    QComboBox& list = Combo("cmb1_com_num");
    const int row = list.findText(QStringLiteral("COM3 \u2014 ") + why);
    ASSERT_GE(row, 0) << Items(list).join(QStringLiteral(", ")).toStdString();
    list.setCurrentIndex(row);
    EXPECT_EQ(Child<QLabel>(dialog, "lbl1_port_device").text(), denied + QLatin1Char('\n') + why);
    Click(dialog, "cmd1_ok");
  });
  EXPECT_EQ(setup.com_num, QStringLiteral("COM3")) << "kept for when the user has the permission";
}

TEST_F(InterfaceDialog, RescanSelectsTheSavedPortAgain) {
  setup.com_num = QStringLiteral("COM2");
  test::PtyPair late;
  Open([&] {
    QComboBox& list = Combo("cmb1_com_num");
    EXPECT_EQ(list.currentText(), QStringLiteral("COM2"));
    list.setCurrentIndex(list.findText("COM1"));
    folder.Link(4, late.SlavePath());  // an adapter plugged in while the dialog is open
    Click(dialog, "cmd1_rescan");
    EXPECT_EQ(list.currentText(), QStringLiteral("COM2"));
    EXPECT_TRUE(Items(list).contains("COM4"));
    Click(dialog, "cmd1_ok");
  });
  EXPECT_EQ(setup.com_num, QStringLiteral("COM2"));
}

TEST_F(InterfaceDialog, VanishedSavedPortSelectsNothingAndOkStoresEmptyName) {
  setup.com_num = QStringLiteral("COM9");
  Open([&] {
    EXPECT_EQ(Combo("cmb1_com_num").currentIndex(), -1);
    EXPECT_TRUE(Child<QLabel>(dialog, "lbl1_port_device").text().isEmpty());
    Click(dialog, "cmd1_ok");
  });
  EXPECT_EQ(setup.com_num, QString());
}

TEST_F(InterfaceDialog, UnpluggedRememberedDeviceIsListedAbsentAndOkKeepsIt) {
  const QString gone = QStringLiteral("/dev/serial/by-id/usb-Unplugged_Adapter-if00-port0");
  folder.Link(7, gone);
  setup.com_num = QStringLiteral("COM7");
  Open([&] {
    QComboBox& list = Combo("cmb1_com_num");
    auto* model = qobject_cast<QStandardItemModel*>(list.model());
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(list.currentText(), QStringLiteral("COM7"));
    EXPECT_FALSE(model->item(list.currentIndex())->isEnabled()) << "an absent device cannot be chosen";
    EXPECT_TRUE(model->item(list.findText("COM1"))->isEnabled());
    EXPECT_EQ(Child<QLabel>(dialog, "lbl1_port_device").text(), gone + QStringLiteral("\nabsent"));
    Click(dialog, "cmd1_ok");
  });
  EXPECT_EQ(setup.com_num, QStringLiteral("COM7")) << "the saved choice waits for its device";
}

// A COM name that stands for a serial server's network port names no file, yet it is there:
// chosen like any port, its address shown as its device.
TEST_F(InterfaceDialog, AComNameOfASerialServerCanBeChosen) {
  folder.Link(20, QStringLiteral("tcp://127.0.0.1:4001"));
  setup.com_num = QStringLiteral("COM20");
  Open([&] {
    QComboBox& list = Combo("cmb1_com_num");
    auto* model = qobject_cast<QStandardItemModel*>(list.model());
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(list.currentText(), QStringLiteral("COM20"));
    EXPECT_TRUE(model->item(list.currentIndex())->isEnabled());
    EXPECT_EQ(Child<QLabel>(dialog, "lbl1_port_device").text(), QStringLiteral("tcp://127.0.0.1:4001"));
    Click(dialog, "cmd1_ok");
  });
  EXPECT_EQ(setup.com_num, QStringLiteral("COM20"));
}

TEST_F(InterfaceDialog, ScanIndicatorRunsBeforeTheDialogAndIsGoneWhenItShows) {
  Open([&] {
    EXPECT_FALSE(scanWindow.isVisible());
    EXPECT_EQ(scanWindow.pgb_scan().maximum(), kComPortCount);
    Click(dialog, "cmd1_cancel");
  });
}

TEST_F(InterfaceDialog, TextsAndAddressListOnEveryOpening) {
  Open([&] {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Interface settings"));
    EXPECT_EQ(Child<QLabel>(dialog, "lbl1_pc_com").text(), QStringLiteral("Serial port"));
    EXPECT_EQ(Child<QAbstractButton>(dialog, "cmd1_rescan").text(), QStringLiteral("Rescan..."));
    EXPECT_EQ(Items(Combo("cmb1_baud")),
              QStringList({"4800", "9600", "19200", "38400", "57600", "115200"}));
    EXPECT_EQ(Items(Combo("cmb1_parity")), QStringList({"none", "odd", "even"}));
    Click(dialog, "cmd1_cancel");
  });
  SetCurrentText(texts, "lbl1_baud", QStringLiteral("Baudrate"));
  SetCurrentText(texts, "if_setup_caption", QStringLiteral("Schnittstelle"));
  Open([&] {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Schnittstelle"));
    EXPECT_EQ(Child<QLabel>(dialog, "lbl1_baud").text(), QStringLiteral("Baudrate"));
    const QComboBox& addr = Combo("cmb1_addr");
    EXPECT_EQ(addr.count(), 254) << "filled once, not again on the second opening";
    EXPECT_EQ(addr.itemText(0), QStringLiteral("1"));
    EXPECT_EQ(addr.itemText(253), QStringLiteral("254"));
    Click(dialog, "cmd1_cancel");
  });
}

// ---------------------------------------------------------------------------------------------
// Plot settings

class PlotDialog : public ::testing::Test {
 protected:
  PlotDialog() {
    texts.FillFromDefaults();
    ApplySettingsText(QString(), setup);  // the defaults of a fresh installation
  }

  int Open(std::function<void()> inside) {
    WhileShown driver(dialog, std::move(inside));
    const int result = dialog.Run();
    EXPECT_TRUE(driver.Ran()) << "dialog was never shown";
    return result;
  }

  // Changes every control of the dialog away from the defaults.
  void ChangeEverything() {
    Child<QComboBox>(dialog, "cmb_line_thk").setCurrentIndex(3);
    Child<QComboBox>(dialog, "cmb_rated_thk").setCurrentIndex(2);
    Child<ColourSwatch>(dialog, "Shp_col_speed").SetColour(QColor(0x11, 0x22, 0x33));
    Child<ColourSwatch>(dialog, "shp_col_rated").SetColour(QColor(0x44, 0x55, 0x66));
    for (int i = 1; i <= 5; ++i) {
      const QString n = QString::number(i);
      Click(dialog, "chk2_max_" + n);
      if (i % 2) Click(dialog, "chk2_min_" + n);
      Child<QComboBox>(dialog, "cmb_max_thk_" + n).setCurrentIndex(i % 4);
      Child<QComboBox>(dialog, "cmb_min_thk_" + n).setCurrentIndex((i + 1) % 4);
      Child<ColourSwatch>(dialog, "shp_col_max_" + n).SetColour(QColor(i, 0, 0));
      Child<ColourSwatch>(dialog, "shp_col_min_" + n).SetColour(QColor(0, 0, i));
    }
  }

  LocSetupRec setup;
  Texts texts;
  RecordingPrompts prompts;
  TSetup_diag dialog{setup, texts, prompts};
};

TEST_F(PlotDialog, PresetShowsTheSettings) {
  setup.diag_max_act[3] = true;
  setup.diag_min_thk[4] = 2;
  setup.diag_rated_col = 0x00336699;
  Open([&] {
    EXPECT_TRUE(Child<QCheckBox>(dialog, "chk2_max_4").isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "chk2_max_3").isChecked());
    EXPECT_EQ(Child<QComboBox>(dialog, "cmb_min_thk_5").currentText(), QStringLiteral("3"));
    EXPECT_EQ(Child<QComboBox>(dialog, "cmb_line_thk").currentText(), QStringLiteral("2"));
    EXPECT_EQ(Child<ColourSwatch>(dialog, "shp_col_rated").Colour(), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(Child<ColourSwatch>(dialog, "shp_col_min_1").Colour(), QColor(Qt::red));
    EXPECT_EQ(Items(Child<QComboBox>(dialog, "cmb_max_thk_1")),
              QStringList({"1", "2", "3", "4"}));
  });
}

TEST_F(PlotDialog, CancelDiscardsEveryChange) {
  const QString before = BuildSettingsText(setup);
  const int result = Open([&] {
    ChangeEverything();
    Click(dialog, "cmd2_cancel");
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(BuildSettingsText(setup), before);
}

TEST_F(PlotDialog, OkStoresEveryLine) {
  Open([&] {
    ChangeEverything();
    Click(dialog, "cmd2_ok");
  });
  EXPECT_EQ(setup.diag_speed_thk, 3);
  EXPECT_EQ(setup.diag_rated_thk, 2);
  EXPECT_EQ(setup.diag_speed_col, 0x00332211);
  EXPECT_EQ(setup.diag_rated_col, 0x00665544);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_TRUE(setup.diag_max_act[i]);
    EXPECT_EQ(setup.diag_min_act[i], (i + 1) % 2 == 1);
    EXPECT_EQ(setup.diag_max_thk[i], (i + 1) % 4);
    EXPECT_EQ(setup.diag_min_thk[i], (i + 2) % 4);
    EXPECT_EQ(setup.diag_max_col[i], i + 1);
    EXPECT_EQ(setup.diag_min_col[i], (i + 1) << 16);
  }
}

TEST_F(PlotDialog, SwatchTakesPickedColourAndPickerStartsFromLastChoice) {
  prompts.QueueColor(QColor(Qt::green));
  prompts.QueueColor(std::nullopt);  // second swatch: picker cancelled
  prompts.QueueColor(QColor(Qt::blue));
  Open([&] {
    ColourSwatch& max3 = Child<ColourSwatch>(dialog, "shp_col_max_3");
    ColourSwatch& speed = Child<ColourSwatch>(dialog, "Shp_col_speed");
    QTest::mouseClick(&max3, Qt::LeftButton);
    EXPECT_EQ(max3.Colour(), QColor(Qt::green));
    EXPECT_FALSE(max3.isDown());
    QTest::mouseClick(&speed, Qt::LeftButton);
    EXPECT_EQ(speed.Colour(), QColor(Qt::black)) << "cancelled picker leaves the colour";
    QTest::mouseClick(&speed, Qt::LeftButton);
    EXPECT_EQ(speed.Colour(), QColor(Qt::blue));
    Click(dialog, "cmd2_ok");
  });
  EXPECT_EQ(prompts.TextsOf(Kind::Color),
            QStringList({"#000000", "#00ff00", "#00ff00"}))
      << "the picker opens with the colour chosen last, not the swatch's";
  EXPECT_EQ(setup.diag_max_col[2], 0x0000FF00);
  EXPECT_EQ(setup.diag_speed_col, 0x00FF0000);
}

TEST_F(PlotDialog, TextsFromTheCurrentTexts) {
  SetCurrentText(texts, "chk2_min_5", QStringLiteral("Unterdrehzahl DO"));
  Open([&] {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Plot settings"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chk2_max_5").text(), QStringLiteral("Overspeed digital out"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chk2_min_2").text(), QStringLiteral("Underspeed relay 2"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chk2_min_5").text(), QStringLiteral("Unterdrehzahl DO"));
    EXPECT_EQ(Child<QLabel>(dialog, "lbl2_rspeed_ine").text(), QStringLiteral("Rated speed line"));
    EXPECT_EQ(Child<QLabel>(dialog, "lbl2_line_thk").text(),
              QStringLiteral("Line thickness [Pts.]"));
    EXPECT_EQ(Child<QAbstractButton>(dialog, "cmd2_cancel").text(), QStringLiteral("Cancel"));
    Click(dialog, "cmd2_cancel");
  });
}

// ---------------------------------------------------------------------------------------------
// Message boxes

struct BoxSeen {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  QStringList buttons;
};

// Shows one box through the Qt prompts and notes what it looked like before pressing its first
// button.
BoxSeen ShowThroughQtPrompts(void (Prompts::*show)(const QString&)) {
  BoxSeen seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = {box->icon(), box->windowTitle(), {}};
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    box->buttons().first()->click();
  });
  QtPrompts prompts;
  (prompts.*show)(QStringLiteral("Cannot create work directory. Check your access rights."));
  return seen;
}

TEST(MessageBoxes, PlainMessageCarriesTheApplicationTitleAndOneOkButton) {
  SetApplicationTitle(QStringLiteral("Korvane"));
  const struct {
    void (Prompts::*show)(const QString&);
    QMessageBox::Icon icon;
    const char* title;
  } boxes[] = {{&Prompts::ShowMessage, QMessageBox::NoIcon, "Korvane"},
               {&Prompts::ShowError, QMessageBox::Critical, "Error"},
               {&Prompts::ShowInfo, QMessageBox::Information, "Information"}};
  for (const auto& b : boxes) {
    const BoxSeen seen = ShowThroughQtPrompts(b.show);
    EXPECT_EQ(seen.icon, b.icon) << b.title;
    EXPECT_EQ(seen.title, QLatin1String(b.title));
    EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")}) << b.title;
  }
}

// ---------------------------------------------------------------------------------------------
// About box and indicator windows

TEST(AboutBox, ShowsExpandedAboutTextUnderTheMainCaption) {
  Texts texts;
  texts.FillFromDefaults();
  SetCurrentText(texts, "lbl3_about_text", AboutText());
  Tabout_kvn about(texts);
  WhileShown driver(about, [&] {
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Korvane - off-line"));
    EXPECT_EQ(Child<QLabel>(about, "lbl3_about_text").text(), ExpandLines(AboutText()));
    EXPECT_EQ(Child<QAbstractButton>(about, "cmd3_ok").text(), QStringLiteral("OK"));
    QWidget window;  // the build's version is the one the status panel has always shown
    EXPECT_EQ(Child<QLabel>(about, "lbl3_version").text(),
              Child<QLabel>(*BuildStatusPanel(window), "lbl_stat_ver").text());
    Click(about, "cmd3_ok");
  });
  EXPECT_EQ(about.Run(QStringLiteral("Korvane - off-line")), QDialog::Accepted);
}

// The closing rights notice stays inside the label, for the about text and for a translation
// twice as long; only the height follows the text.
TEST(AboutBox, WholeTextFitsTheLabel) {
  for (const QString& text : {AboutText(), AboutText() + AboutText()}) {
    Texts texts;
    texts.FillFromDefaults();
    SetCurrentText(texts, "lbl3_about_text", text);
    Tabout_kvn about(texts);
    WhileShown driver(about, [&] {
      auto& label = Child<QLabel>(about, "lbl3_about_text");
      EXPECT_EQ(label.width(), 440);
      EXPECT_LE(label.heightForWidth(label.width()), label.height());
      EXPECT_TRUE(about.rect().contains(label.geometry()));
      Click(about, "cmd3_ok");
    });
    about.Run(QStringLiteral(" Korvane"));
  }
}

TEST(IndicatorWindows, ScanNoticeShowsDuringTheProbeOnly) {
  QWidget owner;
  owner.setGeometry(100, 100, 800, 600);
  Tcom_scan notice(&owner);
  const ScanIndicator indicator = notice.Indicator();
  indicator.begin(50);
  EXPECT_TRUE(notice.isVisible());
  EXPECT_FALSE(notice.pgb_scan().isVisible()) << "the bar stays hidden";
  EXPECT_EQ(notice.geometry().center(), owner.frameGeometry().center());
  EXPECT_EQ(notice.lbl4_scan_if().text(), QStringLiteral("Scan for exisiting interfaces..."));
  indicator.step(17);
  EXPECT_EQ(notice.pgb_scan().value(), 17);
  indicator.end();
  EXPECT_FALSE(notice.isVisible());
}

}  // namespace
}  // namespace kvn

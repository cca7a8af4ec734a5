#pragma once
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "device_link/pause.h"
#include "device_link/register_image.h"
#include "parameters/form/find_control.h"
#include "parameters/form/parameter_form.h"
#include "parameters/parameter_table.h"
#include "parameters/qstring_print.h"
#include "parameters/value_codec.h"
#include "support/recording_prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "ui/main_form.h"

namespace kvn::testing {

// The real main window, offscreen and active, with the parameter form attached the way the
// program wires it: during the window's start-up, where the parameter controls are emptied.
class BindingWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainFormSteps steps;
    steps.ClearParameterControls = [this](TMain_Form& window) {
      form.Attach(window);
      form.ClearControls();
    };
    window = std::make_unique<TMain_Form>(
        MainFormContext{texts, setup, *images, codec, prompts, pause, startupErrors, steps});
    window->Timer1->stop();
    creationCalls = prompts.Calls();
    prompts.ClearCalls();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // --- Controls ----------------------------------------------------------------------------
  static const ParameterDescriptor& Row(const char* name) {
    const ParameterDescriptor* row = FindParameter(name);
    EXPECT_NE(row, nullptr) << name;
    return row != nullptr ? *row : ParameterRow(1);
  }
  static int Reg(const char* name) { return RegisterOf(Row(name)); }
  static const BlockDescriptor& BlockOf(const char* name) { return Block(Row(name).blockId); }

  QLineEdit* Field(const char* name) const { return qobject_cast<QLineEdit*>(form.ControlOf(Row(name))); }
  QCheckBox* Box(const char* name) const { return qobject_cast<QCheckBox*>(form.ControlOf(Row(name))); }
  QComboBox* Combo(const char* name) const { return qobject_cast<QComboBox*>(form.ControlOf(Row(name))); }
  QLabel* Label(const char* name, int container) const {
    return qobject_cast<QLabel*>(FindControl(*window, QString::fromLatin1(name), container));
  }
  QWidget* Widget(const char* name, int container) const {
    return FindControl(*window, QString::fromLatin1(name), container);
  }

  static int PageOf(const char* name) {
    switch (Row(name).blockId) {
      case BlockId::Measurement: return 1;
      case BlockId::Output: return 2;
      case BlockId::Diagnostics: return 3;
      default: return 0;
    }
  }

  // --- The engineer's actions ----------------------------------------------------------------
  // Clicks into the field: its page is shown and it receives the focus.
  QLineEdit* EnterField(const char* name) {
    QLineEdit* field = Field(name);
    EXPECT_NE(field, nullptr) << name;
    if (field == nullptr) return nullptr;
    window->ShowPage(PageOf(name));
    field->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(field->hasFocus()) << name;
    return field;
  }
  // Moves the focus away from the field being typed in, as a click on a page tab does.
  void LeaveField() { window->pg_ctrl1->setFocus(Qt::MouseFocusReason); }

  // Enters the field, selects and deletes its text, types the keys and leaves it.
  QLineEdit* TypeInto(const char* name, const QString& keys) {
    QLineEdit* field = EnterField(name);
    if (field == nullptr) return nullptr;
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    TypeKeys(field, keys);
    LeaveField();
    return field;
  }

  // One key press per character, with the character as the key's text (also outside ASCII).
  static void TypeKeys(QWidget* widget, const QString& keys) {
    for (QChar c : keys) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }

  // A clean start for value tests: the factory limits every dynamic row needs and a rated
  // speed that gives two automatic decimals.
  void LoadFactoryLimits() {
    RegisterImage& edit = images->EditImage;
    WriteFloat(edit, 6004, 5000.0f);  // speed, upper
    WriteFloat(edit, 6006, 0.0f);     // speed, lower
    WriteFloat(edit, 6008, 800.0f);   // acceleration, upper
    WriteFloat(edit, 6010, 100.0f);   // acceleration, lower
    WriteFloat(edit, 5034, 20.0f);    // sensor current, upper
    WriteFloat(edit, 5036, 0.5f);     // sensor current, lower
    WriteFloat(edit, 5038, 24.0f);    // sensor voltage, upper
    WriteFloat(edit, 5040, 1.25f);    // sensor voltage, lower
    WriteInt32(edit, 5046, 100000);   // bad-pulse time, upper
    WriteInt32(edit, 5048, 1500);     // bad-pulse time, lower
    WriteFloat(edit, 5030, 2.0f);     // analog output error, upper
    WriteFloat(edit, 5032, 0.1f);     // analog output error, lower
    WriteFloat(edit, 4008, 1600.0f);  // rated speed
  }

  QString Message(int number) const { return texts.GetMessageText(number); }
  QString OutOfRange(const char* range) const { return Message(5) + QString::fromLatin1(range); }
  bool ShowedError(const QString& text) const {
    return prompts.ShowedExactly(RecordingPrompts::Kind::Error, text);
  }

  int32_t Cell(int reg) const { return images->EditImage[static_cast<size_t>(reg)]; }

  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  Texts texts;
  LocSetupRec setup;
  Codec codec{QLatin1Char('.'), *images};
  RecordingPrompts prompts;
  Pause pause;
  QString startupErrors;
  ParameterForm form{*images, codec, texts, prompts, setup};
  std::unique_ptr<TMain_Form> window;
  std::vector<RecordingPrompts::Call> creationCalls;
};

}  // namespace kvn::testing

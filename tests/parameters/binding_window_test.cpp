#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>

#include "parameters/binding_window_fixture.h"

namespace kvn::testing {
namespace {

using Kind = RecordingPrompts::Kind;

// --- Creation and routing ------------------------------------------------------------------

TEST_F(BindingWindowTest, CreatingTheWindowEmptiesTheControlsWithoutAMessage) {
  for (const RecordingPrompts::Call& call : creationCalls)
    ADD_FAILURE() << KindName(call.kind) << ": " << call.text.toStdString();
  for (const ParameterDescriptor& row : ParameterTable) {
    QWidget* control = form.ControlOf(row);
    ASSERT_NE(control, nullptr) << row.name;
    if (auto* field = qobject_cast<QLineEdit*>(control)) {
      EXPECT_TRUE(field->text().isEmpty()) << row.name;
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      EXPECT_EQ(combo->currentIndex(), -1) << row.name;
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      EXPECT_TRUE(label->text().isEmpty()) << row.name;
    } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
      EXPECT_EQ(box->isChecked(), row.fieldType == FieldType::FixedOn) << row.name;
    }
  }
  // The text registers hold blanks; nothing else was written.
  EXPECT_EQ(Cell(2000), 0x2020);
  EXPECT_EQ(Cell(1000), 0x2020);
  EXPECT_EQ(Cell(4515), 0);
}

TEST_F(BindingWindowTest, EveryRowFindsAControlOfItsKind) {
  int edits = 0, combos = 0, boxes = 0, labels = 0;
  for (const ParameterDescriptor& row : ParameterTable) {
    QWidget* control = form.ControlOf(row);
    ASSERT_NE(control, nullptr) << row.name;
    switch (row.fieldType) {
      case FieldType::Int16:
      case FieldType::Int32:
      case FieldType::Text:
      case FieldType::Password:
      case FieldType::Float:
      case FieldType::OffsetLevel:
        edits += qobject_cast<QLineEdit*>(control) != nullptr;
        break;
      case FieldType::Choice: combos += qobject_cast<QComboBox*>(control) != nullptr; break;
      case FieldType::CrcLabel:
      case FieldType::ResponseTime: labels += qobject_cast<QLabel*>(control) != nullptr; break;
      default: boxes += qobject_cast<QCheckBox*>(control) != nullptr; break;
    }
  }
  EXPECT_EQ(edits, 82);
  EXPECT_EQ(combos, 9);
  EXPECT_EQ(boxes, 57);
  EXPECT_EQ(labels, 7);
}

// --- Entries -----------------------------------------------------------------------------------

// One typed entry: the keys, what the field shows afterwards, the register cells that must
// hold which values, and the error box (none when empty).
struct EntryCase {
  const char* field;
  const char* keys;
  const char* shown;        // nullptr: the text the field had on entry
  int reg;
  int64_t stored;           // cell, ReadInt32 (Int32 rows) or the float's value x 1000
  const char* error;        // "5:range", "6" or nullptr
};

void PrintTo(const EntryCase& c, std::ostream* out) { *out << c.field << " <- \"" << c.keys << '"'; }

class EntryEdgeTest : public BindingWindowTest, public ::testing::WithParamInterface<EntryCase> {
 protected:
  // A filled form: every field shows a valid value, so rejection restores a known text.
  void SetUp() override {
    BindingWindowTest::SetUp();
    if (HasFatalFailure()) return;
    LoadFactoryLimits();
    RegisterImage& edit = images->EditImage;
    edit[2040] = 7;                        // Modbus address
    edit[4015] = 25;                       // module 2.5
    edit[4001] = 60;                       // teeth
    WriteInt32(edit, 5506, 2000);          // one-shot 2.000 s
    WriteInt32(edit, 4500, 2000);          // bad-pulse window 2.000 s
    WriteFloat(edit, 5556, 3000.0f);       // overspeed limit
    WriteFloat(edit, 4010, 4.0f);          // current trigger level
    form.FillControls();
    prompts.ClearCalls();
  }

  int64_t Stored(const EntryCase& c) const {
    const ParameterDescriptor& row = Row(c.field);
    switch (row.fieldType) {
      case FieldType::Int32: return ReadInt32(images->EditImage, c.reg);
      case FieldType::Float:
      case FieldType::OffsetLevel:
        return std::llround(double(ReadFloat(images->EditImage, c.reg)) * 1000.0);
      default: return Cell(c.reg);
    }
  }
};

TEST_P(EntryEdgeTest, FieldAndRegisterFollowTheEntryRules) {
  const EntryCase& c = GetParam();
  const QString before = Field(c.field)->text();
  QLineEdit* field = TypeInto(c.field, QString::fromUtf8(c.keys));
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->text(), c.shown != nullptr ? QString::fromUtf8(c.shown) : before);
  EXPECT_EQ(Stored(c), c.stored);
  if (c.error == nullptr) {
    EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  } else if (c.error[0] == '6') {
    EXPECT_TRUE(ShowedError(Message(6))) << prompts.Describe().toStdString();
  } else {
    EXPECT_TRUE(ShowedError(OutOfRange(c.error + 2))) << prompts.Describe().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryEdgeTest,
    ::testing::Values(
        EntryCase{"txt_mod_addr", "255", nullptr, 2040, 7, "5:1 ... 254"},
        EntryCase{"txt_mod_addr", "0", nullptr, 2040, 7, "5:1 ... 254"},
        EntryCase{"txt_mod_addr", "12", "12", 2040, 12, nullptr},
        EntryCase{"txt_mod_addr", "-3", nullptr, 2040, 7, "5:1 ... 254"},
        EntryCase{"txt_mod_addr", "-", nullptr, 2040, 7, "6"},
        EntryCase{"txt_module", "12.34", "12.3", 4015, 123, nullptr},
        EntryCase{"txt_module", "101", nullptr, 4015, 25, "5:0.0 ... 100.0"},
        EntryCase{"txt_module", ".5", "0.5", 4015, 5, nullptr},
        // A second separator and letters never reach the field.
        EntryCase{"txt_module", "1.2.3", "1.2", 4015, 12, nullptr},
        EntryCase{"txt_module", "4x5", "45.0", 4015, 450, nullptr},
        EntryCase{"txt_teeth", "1a2b", "12", 4001, 12, nullptr},
        // The 12th character is discarded in integer and number fields.
        EntryCase{"txt_teeth", "123456789012", nullptr, 4001, 60, "5:1 ... 10000"},
        EntryCase{"txt_oneshot_1", "1", "1.000", 5506, 1000, nullptr},
        EntryCase{"txt_oneshot_1", "-1", "1.000", 5506, 1000, nullptr},
        EntryCase{"txt_oneshot_1", "0.0004", nullptr, 5506, 2000, "5:0.001 ... 1000.000"},
        EntryCase{"txt_oneshot_1", "12345678901234", nullptr, 5506, 2000, "5:0.001 ... 1000.000"},
        // DynamicOrZero: 0 passes although the lower limit read from 5048 is 1.500.
        EntryCase{"txt_bad_pulse", "0", "0.000", 4500, 0, nullptr},
        EntryCase{"txt_bad_pulse", "1", nullptr, 4500, 2000, "5:1.500 ... 100.000"},
        EntryCase{"txt_bad_pulse", "100", "100.000", 4500, 100000, nullptr},
        EntryCase{"txt_vmax_lim_1", "4999.999", "5000.00", 5556, 4999999, nullptr},
        EntryCase{"txt_vmax_lim_1", "5001", nullptr, 5556, 3000000, "5:0.00 ... 5000.00"},
        EntryCase{"txt_vmax_lim_1", ".", nullptr, 5556, 3000000, "6"},
        EntryCase{"txt_level_i", "20.5", "20.50", 4010, 20500, nullptr},
        EntryCase{"txt_level_i", "abc", "", 4010, 4000, nullptr}));

TEST_F(BindingWindowTest, TheTwelfthCharacterIsDiscardedWhileTyping) {
  for (const char* name : {"txt_teeth", "txt_rated_sp", "txt_oneshot_1"}) {
    QLineEdit* field = EnterField(name);
    QTest::keyClicks(field, QStringLiteral("123456789012"));
    EXPECT_EQ(field->text(), QStringLiteral("12345678901")) << name;
    QTest::keyClick(field, Qt::Key_Escape);
  }
}

TEST_F(BindingWindowTest, DynamicFloatLimitsBothZeroAcceptAnyNumber) {
  WriteFloat(images->EditImage, 4008, 1600.0f);  // factory output block not read: 6004/6006 are 0
  QLineEdit* field = TypeInto("txt_vmax_lim_1", QStringLiteral("98765.5"));
  EXPECT_EQ(field->text(), QStringLiteral("98765.50"));
  EXPECT_EQ(ReadFloat(images->EditImage, 5556), 98765.5f);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(BindingWindowTest, TextFieldsRefuseTheBarAndCharactersAbove126) {
  QLineEdit* field = EnterField("txt_usr_tag1");
  TypeKeys(field, QStringLiteral("A|B\u00e9C\u20ac~ D\u007f"));
  EXPECT_EQ(field->text(), QStringLiteral("ABC~ D"));
  LeaveField();
  EXPECT_EQ(ReadText(images->EditImage, 2000, 8), QStringLiteral("ABC~ D          "));
}

TEST_F(BindingWindowTest, TextOfSeventeenCharactersIsRefusedAndTheOldTextRestored) {
  TypeInto("txt_usr_tag1", QStringLiteral("old"));
  prompts.ClearCalls();
  const RegisterImage before = images->EditImage;
  QLineEdit* field = TypeInto("txt_usr_tag1", QStringLiteral("12345678901234567"));
  EXPECT_TRUE(ShowedError(QStringLiteral(
      "Entered data is to long. Maximum length: 16 characters. Entry truncated.")))
      << prompts.Describe().toStdString();
  EXPECT_EQ(field->text(), QStringLiteral("old"));
  EXPECT_EQ(images->EditImage, before);
}

TEST_F(BindingWindowTest, ShortTextIsStoredPaddedWithBlanks) {
  TypeInto("txt_usr_tag1", QStringLiteral("  abc "));
  EXPECT_EQ(Cell(2000), 'a' + 256 * 'b');
  EXPECT_EQ(Cell(2001), 'c' + 256 * ' ');
  for (int r = 2002; r < 2008; ++r) EXPECT_EQ(Cell(r), 0x2020) << r;
  EXPECT_TRUE(prompts.NothingShown());
  // Sixteen characters fit exactly; the 32-character comment takes 16 registers.
  TypeInto("txt_usr_tag2", QStringLiteral("ABCDEFGHIJKLMNOP"));
  EXPECT_EQ(ReadText(images->EditImage, 2008, 8), QStringLiteral("ABCDEFGHIJKLMNOP"));
  TypeInto("txt_usr_comment", QStringLiteral("x"));
  EXPECT_EQ(ReadText(images->EditImage, 2024, 16), QStringLiteral("x").leftJustified(32, QLatin1Char(' ')));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

// --- Keys with a meaning -------------------------------------------------------------------------

TEST_F(BindingWindowTest, EnterStoresWithoutLeavingTheField) {
  QLineEdit* field = EnterField("txt_module");
  QTest::keyClicks(field, QStringLiteral("7.25"));
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(Cell(4015), 72);
  EXPECT_EQ(field->text(), QStringLiteral("7.2"));
  EXPECT_TRUE(field->hasFocus());
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, QStringLiteral("9"));
  QTest::keyClick(field, Qt::Key_Enter);
  EXPECT_EQ(Cell(4015), 79);
}

struct EscapeCase {
  const char* field;
  const char* keys;
};

void PrintTo(const EscapeCase& c, std::ostream* out) { *out << c.field << " <- \"" << c.keys << '"'; }

class EscapeTest : public BindingWindowTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapeTest, EscapeRestoresTheTextTheFieldHadOnEntry) {
  const EscapeCase& c = GetParam();
  QLineEdit* field = EnterField(c.field);
  QTest::keyClicks(field, QStringLiteral("5"));
  LeaveField();
  const RegisterImage before = images->EditImage;
  const QString onEntry = field->text();
  field = EnterField(c.field);
  QTest::keyClicks(field, QString::fromLatin1(c.keys));
  ASSERT_NE(field->text(), onEntry);
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_EQ(field->text(), onEntry);
  LeaveField();
  EXPECT_EQ(images->EditImage, before);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EscapeTest,
    ::testing::Values(EscapeCase{"txt_usr_tag1", "xyz"}, EscapeCase{"txt_teeth", "12"},
                      EscapeCase{"txt_teeth", "1234567890123"},
                      EscapeCase{"txt_module", "3.3"},
                      // More than 10 characters in a number field: Escape still restores.
                      EscapeCase{"txt_rated_sp", "1234567890123"},
                      EscapeCase{"txt_oneshot_2", "99999999999"}));

TEST_F(BindingWindowTest, BackspacePassesInEveryKindOfField) {
  for (const char* name : {"txt_usr_tag1", "txt_teeth", "txt_rated_sp"}) {
    QLineEdit* field = EnterField(name);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("123"));
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), QStringLiteral("12")) << name;
    LeaveField();
  }
}

// --- Editing keys as an X11 session sends them ------------------------------------------------------

// X11 gives Delete, Backspace and the Ctrl shortcuts control characters as their text.
struct Stroke {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  const char* text;
};
constexpr Stroke kHome{Qt::Key_Home, Qt::NoModifier, ""};
constexpr Stroke kEnd{Qt::Key_End, Qt::NoModifier, ""};
constexpr Stroke kLeft{Qt::Key_Left, Qt::NoModifier, ""};
constexpr Stroke kDelete{Qt::Key_Delete, Qt::NoModifier, "\x7f"};
constexpr Stroke kBackspace{Qt::Key_Backspace, Qt::NoModifier, "\x08"};
constexpr Stroke kSelectAll{Qt::Key_A, Qt::ControlModifier, "\x01"};
constexpr Stroke kCopy{Qt::Key_C, Qt::ControlModifier, "\x03"};
constexpr Stroke kPaste{Qt::Key_V, Qt::ControlModifier, "\x16"};
constexpr Stroke kCut{Qt::Key_X, Qt::ControlModifier, "\x18"};
constexpr Stroke kUndo{Qt::Key_Z, Qt::ControlModifier, "\x1a"};
constexpr Stroke kRedo{Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "\x1a"};
constexpr Stroke kEnter{Qt::Key_Return, Qt::NoModifier, "\r"};
constexpr Stroke kEscape{Qt::Key_Escape, Qt::NoModifier, "\x1b"};
constexpr Stroke kZ{Qt::Key_Z, Qt::NoModifier, "Z"};

void Press(QWidget* widget, const Stroke& s) {
  QTest::sendKeyEvent(QTest::Click, widget, s.key, QString::fromLatin1(s.text), s.modifiers);
}

QClipboard& Clipboard() { return *QGuiApplication::clipboard(); }

struct EditingCase {
  const char* field;
  const char* typed;      // typed into the emptied field first
  const char* clipboard;  // on the clipboard before the strokes
  std::vector<Stroke> strokes;
  const char* text;            // the field's text afterwards
  const char* clipboardAfter;  // nullptr: as before
};

void PrintTo(const EditingCase& c, std::ostream* out) {
  *out << c.field << " \"" << c.typed << "\" +" << c.strokes.size() << " keys -> \"" << c.text
       << '"';
}

class EditingKeyTest : public BindingWindowTest,
                       public ::testing::WithParamInterface<EditingCase> {};

TEST_P(EditingKeyTest, KeysThatInsertNothingKeepTheirMeaning) {
  const EditingCase& c = GetParam();
  Clipboard().setText(QString::fromUtf8(c.clipboard));
  QLineEdit* field = EnterField(c.field);
  ASSERT_NE(field, nullptr);
  TypeKeys(field, QString::fromUtf8(c.typed));
  for (const Stroke& s : c.strokes) Press(field, s);
  EXPECT_EQ(field->text(), QString::fromUtf8(c.text));
  EXPECT_EQ(Clipboard().text(), QString::fromUtf8(c.clipboardAfter ? c.clipboardAfter : c.clipboard));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

constexpr const char* kText = "txt_usr_tag1";
constexpr const char* kInt = "txt_teeth";
constexpr const char* kNumber = "txt_rated_sp";
constexpr const char* kPassword = "txt_password";
constexpr const char* kRefusedMix = "a1|b.2-3\u00e9,4\t.";

INSTANTIATE_TEST_SUITE_P(
    X11Keys, EditingKeyTest,
    ::testing::Values(
        // Delete twice at the start, then a letter only the text filter takes.
        EditingCase{kText, "123", "", {kHome, kDelete, kDelete, kZ}, "Z3", nullptr},
        EditingCase{kInt, "123", "", {kHome, kDelete, kDelete, kZ}, "3", nullptr},
        EditingCase{kNumber, "123", "", {kHome, kDelete, kDelete, kZ}, "3", nullptr},
        EditingCase{kPassword, "123", "", {kHome, kDelete, kDelete, kZ}, "Z3", nullptr},
        EditingCase{kInt, "123", "", {kEnd, kLeft, kBackspace}, "13", nullptr},
        EditingCase{kNumber, "1.5", "", {kLeft, kBackspace, kBackspace}, "5", nullptr},
        // Select all and cut; copy and paste behind the text.
        EditingCase{kText, "1.2", "x", {kSelectAll, kCut}, "", "1.2"},
        EditingCase{kInt, "123", "x", {kSelectAll, kCut}, "", "123"},
        EditingCase{kNumber, "1.2", "x", {kSelectAll, kCut}, "", "1.2"},
        EditingCase{kText, "ab", "x", {kSelectAll, kCopy, kEnd, kPaste}, "abab", "ab"},
        EditingCase{kInt, "12", "x", {kSelectAll, kCopy, kEnd, kPaste}, "1212", "12"},
        EditingCase{kNumber, "1.2", "x", {kSelectAll, kCopy, kEnd, kPaste}, "1.212", "1.2"},
        // A pasted text keeps what the filter takes, one character after the other.
        EditingCase{kText, "", kRefusedMix, {kPaste}, "a1b.2-3,4.", nullptr},
        EditingCase{kInt, "", kRefusedMix, {kPaste}, "12-34", nullptr},
        EditingCase{kNumber, "", kRefusedMix, {kPaste}, "1.234", nullptr},
        EditingCase{kPassword, "", kRefusedMix, {kPaste}, "a1b.2-3,4.", nullptr},
        EditingCase{kInt, "123456789", "12345", {kHome, kPaste}, "12123456789", nullptr},
        // The selection the paste replaces no longer counts: its separator is gone.
        EditingCase{kNumber, "1.5", "2.5", {kSelectAll, kPaste}, "2.5", nullptr},
        EditingCase{kNumber, "1.5", "2.5", {kEnd, kPaste}, "1.525", nullptr},
        // Undo and redo of a paste.
        EditingCase{kText, "ab", "c|d", {kPaste, kUndo}, "ab", nullptr},
        EditingCase{kInt, "12", "3", {kPaste, kUndo}, "12", nullptr},
        EditingCase{kNumber, "12", "3", {kPaste, kUndo, kRedo}, "123", nullptr},
        // Enter and Escape keep the meaning the filters give them.
        EditingCase{kText, "ab", "", {kEnter}, "ab", nullptr},
        EditingCase{"txt_module", "7.25", "", {kEnter}, "7.2", nullptr},
        EditingCase{kInt, "12", "", {kEscape}, "", nullptr},
        EditingCase{kNumber, "12345678901", "", {kEscape}, "", nullptr}));

TEST_F(BindingWindowTest, PastedTextIsCheckedOnLeavingLikeTypedText) {
  struct Case {
    const char* pasted;
    const char* shown;
    int32_t stored;
    bool rejected;
  };
  images->EditImage[2040] = 7;
  for (const Case& c : {Case{"3x00", "", 7, true}, Case{"1a2", "12", 12, false}}) {
    prompts.ClearCalls();
    Clipboard().setText(QString::fromLatin1(c.pasted));
    QLineEdit* field = EnterField("txt_mod_addr");
    field->clear();
    Press(field, kPaste);
    LeaveField();
    EXPECT_EQ(field->text(), QString::fromLatin1(c.shown)) << c.pasted;
    EXPECT_EQ(Cell(2040), c.stored) << c.pasted;
    EXPECT_EQ(ShowedError(OutOfRange("1 ... 254")), c.rejected) << prompts.Describe().toStdString();
  }
}

TEST_F(BindingWindowTest, ContextMenuPasteAndDropAreFiltered) {
  struct Case {
    const char* field;
    const char* pasted;   // the field's text after the menu's Paste
    const char* dropped;  // after "x|6" is dropped at its start
  };
  Clipboard().setText(QStringLiteral("4a|.5."));
  for (const Case& c : {Case{kText, "4a.5.", "x64a.5."}, Case{kInt, "45", "645"},
                        Case{kNumber, "4.5", "64.5"}}) {
    QLineEdit* field = EnterField(c.field);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2),
                                field->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(field, &menuEvent);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << c.field;
    auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    ASSERT_NE(paste, nullptr) << c.field;
    paste->trigger();
    menu->close();
    EXPECT_EQ(field->text(), QString::fromLatin1(c.pasted)) << c.field;
    QMimeData data;
    data.setText(QStringLiteral("x|6"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);  // makes the field the drop target
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drop);
    EXPECT_EQ(field->text(), QString::fromLatin1(c.dropped)) << c.field;
    LeaveField();
  }
  EXPECT_EQ(Cell(4001), 645);
}

// --- Focus ---------------------------------------------------------------------------------------

TEST_F(BindingWindowTest, AnotherWindowTakingTheFocusDoesNotLeaveTheField) {
  QLineEdit* field = EnterField("txt_teeth");
  QTest::keyClicks(field, QStringLiteral("33"));
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(field, &away);
  EXPECT_EQ(Cell(4001), 0);
  QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(field, &back);
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_EQ(field->text(), QString());  // TextOnEntry kept from the real entry
  QTest::keyClicks(field, QStringLiteral("44"));
  EnterField("txt_avg_speed");  // entering the next field leaves this one
  EXPECT_EQ(Cell(4001), 44);
}

// --- Empty fields and CRC labels ---------------------------------------------------------------

TEST_F(BindingWindowTest, EmptyInt16FieldKeepsTheRegisterAndEmptiesTheBlockCrc) {
  LoadFactoryLimits();
  RegisterImage& edit = images->EditImage;
  edit[4001] = 60;
  edit[4003] = 4;
  edit[4004] = 4;
  edit[4005] = 10;
  edit[4015] = 30;
  WriteFloat(edit, 4010, 10.0f);
  WriteFloat(edit, 4012, 5.0f);
  form.FillControls();
  // Any change with every field filled brings the block CRC up to date.
  TypeInto("txt_teeth", QStringLiteral("61"));
  QLabel* crc = Label("lbl_val_crc_measure", container::Measure);
  ASSERT_NE(crc, nullptr);
  const uint16_t expected = ImageCrc(edit, 4000, 19);
  EXPECT_EQ(Cell(4019), expected);
  EXPECT_EQ(crc->text(), CrcText(expected));

  TypeInto("txt_teeth", QString());
  EXPECT_EQ(Field("txt_teeth")->text(), QString());
  EXPECT_EQ(Cell(4001), 61);
  EXPECT_EQ(crc->text(), QString());
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  const std::optional<ParameterHit> empty = form.FindFirstEmpty(BlockOf("txt_teeth"));
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->control, Field("txt_teeth"));
  EXPECT_EQ(empty->row, FindParameterRow("txt_teeth"));
}

TEST_F(BindingWindowTest, FindFirstEmptyInTableOrderSkipsTextRows) {
  const BlockDescriptor& user = BlockOf("txt_mod_addr");
  std::optional<ParameterHit> hit = form.FindFirstEmpty(user);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(hit->row, FindParameterRow("txt_mod_addr"));
  TypeInto("txt_mod_addr", QStringLiteral("5"));
  hit = form.FindFirstEmpty(user);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(hit->control, Combo("cmb_baud_485"));
  for (const char* name : {"cmb_baud_485", "cmb_parity", "cmb_term"}) Combo(name)->setCurrentIndex(0);
  EXPECT_FALSE(form.FindFirstEmpty(user).has_value());  // the tag texts may stay empty
  // The password block has no numeric field: never incomplete.
  EXPECT_FALSE(form.FindFirstEmpty(BlockOf("txt_password")).has_value());
}

TEST_F(BindingWindowTest, FindFirstOutOfRangeAndFocusParameterShowTheEntry) {
  LoadFactoryLimits();
  RegisterImage& edit = images->EditImage;
  edit[4001] = 60;
  edit[4003] = 1;
  edit[4004] = 1;
  edit[4005] = 1;
  edit[4015] = 0;
  edit[4006] = 1001;  // txt_look_fact beyond 1000
  const std::optional<ParameterHit> hit = form.FindFirstOutOfRange(BlockOf("txt_look_fact"));
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(hit->row, FindParameterRow("txt_look_fact"));
  EXPECT_EQ(hit->control, Field("txt_look_fact"));
  EXPECT_TRUE(ShowedError(OutOfRange("0 ... 1000"))) << prompts.Describe().toStdString();
  window->pg_ctrl1->setCurrentIndex(0);
  form.FocusParameter(hit->control, hit->row);
  EXPECT_EQ(window->pg_ctrl1->currentIndex(), 1);
  EXPECT_TRUE(Field("txt_look_fact")->hasFocus());

  struct Case {
    const char* name;
    int page;
  };
  for (const Case& c : {Case{"txt_usr_tag1", 0}, Case{"txt_password", 0}, Case{"cmb_adm_vstr", 0},
                        Case{"txt_oneshot_3", 2}, Case{"txt_bad_pulse", 3}, Case{"cmb_meas_type", 1}}) {
    QWidget* control = form.ControlOf(Row(c.name));
    form.FocusParameter(control, FindParameterRow(c.name));
    EXPECT_EQ(window->pg_ctrl1->currentIndex(), c.page) << c.name;
    EXPECT_TRUE(control->hasFocus()) << c.name;
  }
  // A check box brought to the front takes the focus too, so that its focus mark shows.
  form.FocusParameter(Box("chk_latch_usb"), FindParameterRow("chk_latch_usb"));
  EXPECT_EQ(window->pg_ctrl1->currentIndex(), 3);
  EXPECT_TRUE(Box("chk_latch_usb")->hasFocus());
}

// --- Check boxes and combo boxes ---------------------------------------------------------------

TEST_F(BindingWindowTest, UncheckingTheInvertedUsbBoxSetsBitZero) {
  images->EditImage[4515] = 0x0040;
  form.FillControls();
  QCheckBox* box = Box("chk_usb_act");
  ASSERT_TRUE(box->isChecked());
  window->ShowPage(3);
  box->click();
  EXPECT_EQ(Cell(4515), 0x0041);
  box->click();
  EXPECT_EQ(Cell(4515), 0x0040);
}

TEST_F(BindingWindowTest, CheckBoxesSetTheirBitsAndTheChoiceItsIndex) {
  window->ShowPage(2);
  Box("chk_vmin_3")->click();
  EXPECT_EQ(Cell(5502), 0x08);
  Box("chk_ppt_active_3")->click();
  EXPECT_EQ(Cell(5502), 0x88);
  Box("chk_vmin_3")->click();
  EXPECT_EQ(Cell(5502), 0x80);
  window->ShowPage(3);
  Box("chk_latch_slv_errwdg")->click();  // bit 24 of the 32-bit latch word
  EXPECT_EQ(ReadInt32(images->EditImage, 4512), 1 << 24);
  EXPECT_EQ(Cell(4512), 0);
  EXPECT_EQ(Cell(4513), 0x100);
  Box("chk_dis_init_safe")->click();
  EXPECT_EQ(Cell(4516), 4);

  window->ShowPage(0);
  QComboBox* parity = Combo("cmb_parity");
  parity->setFocus();
  images->EditImage[2043] = 9;
  parity->setCurrentIndex(0);  // set by the program: no write
  EXPECT_EQ(Cell(2043), 9);
  QTest::keyClick(parity, Qt::Key_Down);
  EXPECT_EQ(parity->currentIndex(), 1);
  EXPECT_EQ(Cell(2043), 1);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(BindingWindowTest, ForcedLatchBitStaysCheckedAndDisabled) {
  LoadFactoryLimits();
  RegisterImage& edit = images->EditImage;
  WriteInt32(edit, 5026, (1 << 7) | (1 << 20));  // sensor error and USB latch forced
  WriteInt32(edit, 4512, 1 << 1);                // only the safety-parameter latch set
  form.FillControls();
  QCheckBox* forced = Box("chk_latch_sens_err");
  EXPECT_TRUE(forced->isChecked());
  EXPECT_FALSE(forced->isEnabled());
  EXPECT_TRUE(Box("chk_latch_usb")->isChecked());
  EXPECT_FALSE(Box("chk_latch_usb")->isEnabled());
  EXPECT_TRUE(Box("chk_latch_sft")->isChecked());
  EXPECT_TRUE(Box("chk_latch_sft")->isEnabled());
  EXPECT_FALSE(Box("chk_latch_nsf")->isChecked());
  EXPECT_EQ(ReadInt32(edit, 4512), 1 << 1);  // forcing changes the display, not the word

  struct Case {
    const char* name;
    bool allowed;
  };
  for (const Case& c : {Case{"chk_latch_sens_err", false}, Case{"chk_latch_usb", false},
                        Case{"chk_latch_sft", true}, Case{"chk_invert_1", false},
                        Case{"chk_diag_active_2", false}, Case{"chk_invert_3", true},
                        Case{"chk_usb_act", true}, Case{"chk_off_line", true},
                        Case{"txt_teeth", true}}) {
    EXPECT_EQ(form.AllowEnable(QString::fromLatin1(c.name), true), c.allowed) << c.name;
    EXPECT_FALSE(form.AllowEnable(QString::fromLatin1(c.name), false)) << c.name;
  }
  // The way the mode display enables a page: every box as far as AllowEnable permits.
  for (QCheckBox* box : window->Page(container::Diag)->findChildren<QCheckBox*>())
    box->setEnabled(form.AllowEnable(box->objectName(), true));
  EXPECT_FALSE(forced->isEnabled());
  EXPECT_TRUE(forced->isChecked());
  EXPECT_TRUE(Box("chk_latch_nsf")->isEnabled());
}

struct SensorCase {
  int index;
  bool levelI, levelU, limitsI, limitsU, offsetShown;
  const char* levelShown;
};

void PrintTo(const SensorCase& c, std::ostream* out) { *out << "sensor type " << c.index; }

class SensorTypeTest : public BindingWindowTest, public ::testing::WithParamInterface<SensorCase> {};

TEST_P(SensorTypeTest, ChoosingTheTypeEnablesItsFieldsAtOnce) {
  const SensorCase& c = GetParam();
  RegisterImage& edit = images->EditImage;
  WriteFloat(edit, 5052, 2.5f);   // offset voltage
  WriteFloat(edit, 4012, 7.25f);  // absolute trigger level
  edit[4002] = c.index == 0 ? 1 : 0;
  form.FillControls();
  QComboBox* type = Combo("cmb_sens_type");
  window->ShowPage(1);
  type->setFocus();
  type->setCurrentIndex(c.index == 0 ? 1 : c.index - 1);
  QTest::keyClick(type, c.index == 0 ? Qt::Key_Up : Qt::Key_Down);
  ASSERT_EQ(type->currentIndex(), c.index);
  EXPECT_EQ(Cell(4002), c.index);
  EXPECT_EQ(Field("txt_level_i")->isEnabled(), c.levelI);
  EXPECT_EQ(Field("txt_level_u")->isEnabled(), c.levelU);
  EXPECT_EQ(Field("txt_sens_lim_i_min")->isEnabled(), c.limitsI);
  EXPECT_EQ(Field("txt_sens_lim_i_max")->isEnabled(), c.limitsI);
  EXPECT_EQ(Field("txt_sens_lim_u_min")->isEnabled(), c.limitsU);
  EXPECT_EQ(Field("txt_sens_lim_u_max")->isEnabled(), c.limitsU);
  EXPECT_EQ(Field("txt_level_u")->text(), QString::fromLatin1(c.levelShown));
  const QString caption = Label("lbl_level_u_off", container::Measure)->text();
  const QString info = Label("lbl_i_level_u_off", container::Measure)->text();
  const QString value = Label("lbl_val_level_u_off", container::Measure)->text();
  const QString unit = Label("lbl_u_level_u_off", container::Measure)->text();
  if (c.offsetShown) {
    EXPECT_EQ(caption, texts.GetTextByKey(QStringLiteral("lbl_level_u_off")));
    EXPECT_FALSE(caption.isEmpty());
    EXPECT_EQ(info, Label("lbl_i_level_u", container::Measure)->text());
    EXPECT_EQ(value, QStringLiteral("7.25"));
    EXPECT_EQ(unit, QStringLiteral("V"));
  } else {
    EXPECT_EQ(caption + info + value + unit, QString());
  }
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Types, SensorTypeTest,
                         ::testing::Values(SensorCase{0, true, false, true, false, false, "7.25"},
                                           SensorCase{1, false, true, true, true, false, "7.25"},
                                           SensorCase{2, false, true, false, true, true, "4.75"}));

TEST_F(BindingWindowTest, NoSensorTypeDisablesBothLevelsAndKeepsTheLimits) {
  QComboBox* type = Combo("cmb_sens_type");
  type->setCurrentIndex(2);
  form.UpdateSensorDependents();
  ASSERT_FALSE(Field("txt_sens_lim_i_min")->isEnabled());
  type->setCurrentIndex(-1);
  form.UpdateSensorDependents();
  EXPECT_FALSE(Field("txt_level_i")->isEnabled());
  EXPECT_FALSE(Field("txt_level_u")->isEnabled());
  EXPECT_FALSE(Field("txt_sens_lim_i_min")->isEnabled());
  EXPECT_TRUE(Field("txt_sens_lim_u_min")->isEnabled());
  EXPECT_EQ(Label("lbl_u_level_u_off", container::Measure)->text(), QString());
  // A disabled type box leaves the enabling alone and clears the offset labels.
  type->setCurrentIndex(0);
  type->setEnabled(false);
  form.UpdateSensorDependents();
  EXPECT_FALSE(Field("txt_level_i")->isEnabled());
  EXPECT_FALSE(Field("txt_sens_lim_i_min")->isEnabled());
}

TEST_F(BindingWindowTest, TwoWireVoltageLevelIsEnteredAboveTheOffset) {
  RegisterImage& edit = images->EditImage;
  edit[4002] = 2;
  WriteFloat(edit, 5052, 2.5f);
  WriteFloat(edit, 4012, 4.0f);
  form.FillControls();
  EXPECT_EQ(Field("txt_level_u")->text(), QStringLiteral("1.50"));
  QLineEdit* field = TypeInto("txt_level_u", QStringLiteral("3"));
  EXPECT_EQ(ReadFloat(edit, 4012), 5.5f);
  EXPECT_EQ(field->text(), QStringLiteral("3.00"));
  EXPECT_EQ(Label("lbl_val_level_u_off", container::Measure)->text(), QStringLiteral("5.50"));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();

  TypeInto("txt_level_u", QStringLiteral("30"));
  EXPECT_TRUE(ShowedError(OutOfRange("0.00 ... 21.50"))) << prompts.Describe().toStdString();
  EXPECT_EQ(ReadFloat(edit, 4012), 5.5f);
  EXPECT_EQ(field->text(), QStringLiteral("3.00"));
  prompts.ClearCalls();
  TypeInto("txt_level_u", QStringLiteral("21.5"));
  EXPECT_EQ(ReadFloat(edit, 4012), 24.0f);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(BindingWindowTest, OtherSensorTypesStoreTheLevelAsTyped) {
  RegisterImage& edit = images->EditImage;
  edit[4002] = 1;
  WriteFloat(edit, 5052, 2.5f);
  form.FillControls();
  TypeInto("txt_level_u", QStringLiteral("23.5"));
  EXPECT_EQ(ReadFloat(edit, 4012), 23.5f);
  // The offset value stays empty like its caption.
  EXPECT_EQ(Label("lbl_val_level_u_off", container::Measure)->text(), QString());
}

TEST_F(BindingWindowTest, DerivedLabelsFollowEveryEdit) {
  LoadFactoryLimits();
  WriteFloat(images->EditImage, 4008, 1000.0f);
  TypeInto("txt_avg_speed", QStringLiteral("1"));
  TypeInto("txt_teeth", QStringLiteral("60"));
  EXPECT_EQ(Label("lbl_val_resp_time", container::Measure)->text(), QStringLiteral("9.0"));
  TypeInto("txt_sens_cut_in", QStringLiteral("10"));
  EXPECT_EQ(Label("lbl_val_cut_in_rpm", container::Measure)->text(), QStringLiteral("10.00"));
  TypeInto("txt_bad_pulse", QStringLiteral("2"));
  EXPECT_EQ(Label("lbl_val_frq_badp", container::Diag)->text(), QStringLiteral("0.500"));
}

// --- Filling and emptying ------------------------------------------------------------------------

TEST_F(BindingWindowTest, ChangesDuringFillControlsWriteNothing) {
  LoadFactoryLimits();
  RegisterImage& edit = images->EditImage;
  for (int r = 5500; r < 5505; ++r) edit[r] = 0xDF;  // every box of the relays ticked
  WriteInt32(edit, 5026, 1 << 9);                    // forced, word bit clear
  edit[4515] = 0;
  edit[4516] = 7;
  edit[2041] = 3;
  edit[4002] = 2;
  // Stored CRCs that do not match: a change handler would recompute them.
  for (const BlockDescriptor& b : BlockTable)
    if (b.is_parameter) edit[b.CrcRegister()] = 0x1234;
  const RegisterImage before = edit;
  form.FillControls();
  EXPECT_EQ(edit, before);
  EXPECT_TRUE(Box("chk_vmax_4")->isChecked());
  EXPECT_TRUE(Box("chk_latch_badp_err")->isChecked());
  EXPECT_EQ(Combo("cmb_baud_485")->currentIndex(), 3);
  EXPECT_EQ(Label("lbl_val_crc_output", container::Output)->text(), QStringLiteral("1234"));
  EXPECT_FALSE(form.FillInProgress());
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(BindingWindowTest, PasswordCrcShownOnlyAtAdminLevel) {
  RegisterImage& edit = images->EditImage;
  edit[1009] = 0xBEEF;
  struct Case {
    int offline;
    bool usb;
    int level;
    const char* shown;
  };
  for (const Case& c : {Case{1, true, 1, ""}, Case{0, false, 1, ""}, Case{0, true, 0, ""},
                        Case{0, true, 1, "BEEF"}}) {
    setup.offline_mode = c.offline;
    setup.usb = c.usb;
    images->DeviceImage[14] = c.level;
    form.FillControls();
    EXPECT_EQ(Label("lbl_val_pass_crc", container::Device)->text(), QString::fromLatin1(c.shown))
        << c.offline << c.usb << c.level;
  }
  EXPECT_EQ(Label("lbl_val_crc_dev_usr", container::Device)->text(), QStringLiteral("0000"));
}

TEST_F(BindingWindowTest, OffLineFillEmptiesSerialAndTagNumber) {
  auto* serial = Label("lbl_serial_num", container::Status);
  auto* tag = Label("lbl_tag_number", container::Status);
  ASSERT_NE(serial, nullptr);
  ASSERT_NE(tag, nullptr);
  serial->setText(QStringLiteral("SN"));
  tag->setText(QStringLiteral("TAG"));
  form.FillControls();
  EXPECT_EQ(serial->text(), QStringLiteral("SN"));
  window->chk_off_line->setChecked(true);
  form.FillControls();
  EXPECT_EQ(serial->text(), QString());
  EXPECT_EQ(tag->text(), QString());
}

TEST_F(BindingWindowTest, ClearControlsClearsTheBitsOfTheBoxesItUnticks) {
  RegisterImage& edit = images->EditImage;
  for (int r = 5500; r < 5505; ++r) edit[r] = 0xFF;
  edit[4515] = 0;
  edit[4516] = 0xF7;
  WriteInt32(edit, 4512, -1);
  edit[4001] = 60;
  WriteText(edit, 2000, 8, QStringLiteral("tag"));
  form.FillControls();
  form.ClearControls();
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  // Relays 1 and 2 keep the fixed invert and diagnostics bits; bit 5 has no box.
  EXPECT_EQ(Cell(5500), 0x62);
  EXPECT_EQ(Cell(5501), 0x62);
  EXPECT_EQ(Cell(5502), 0x20);
  EXPECT_EQ(Cell(4515), 1);  // the inverted box unticked: bit set
  EXPECT_EQ(Cell(4516), 0xF0);
  EXPECT_EQ(ReadInt32(edit, 4512), ~0x01DDFE87);
  EXPECT_EQ(Cell(4001), 60);  // numbers stay, the fields are empty
  EXPECT_EQ(Field("txt_teeth")->text(), QString());
  EXPECT_EQ(ReadText(edit, 2000, 8), QString(16, QLatin1Char(' ')));
  EXPECT_TRUE(Box("chk_invert_1")->isChecked());
  EXPECT_EQ(Combo("cmb_sens_type")->currentIndex(), -1);
}

struct BrokenWindowCase {
  const char* control;     // parameter control replaced
  const char* substitute;  // "none" (removed), "label", "edit" or "check"
  const char* message;
  const char* stillFilled;  // a later field that ClearControls no longer reaches
};

void PrintTo(const BrokenWindowCase& c, std::ostream* out) {
  *out << c.control << " replaced by " << c.substitute;
}

class BrokenWindowTest : public BindingWindowTest,
                         public ::testing::WithParamInterface<BrokenWindowCase> {};

TEST_P(BrokenWindowTest, ClearControlsStopsAtTheFirstDisagreement) {
  const BrokenWindowCase& c = GetParam();
  images->EditImage[4003] = 5;
  form.FillControls();
  QWidget* original = form.ControlOf(Row(c.control));
  ASSERT_NE(original, nullptr);
  QWidget* parent = original->parentWidget();
  delete original;
  const QString substitute = QString::fromLatin1(c.substitute);
  QWidget* replacement = nullptr;
  if (substitute == QLatin1String("label")) replacement = new QLabel(parent);
  if (substitute == QLatin1String("edit")) replacement = new QLineEdit(parent);
  if (substitute == QLatin1String("check")) replacement = new QCheckBox(parent);
  if (replacement != nullptr) replacement->setObjectName(QString::fromLatin1(c.control));
  form.ClearControls();
  EXPECT_TRUE(ShowedError(QString::fromLatin1(c.message))) << prompts.Describe().toStdString();
  EXPECT_FALSE(Field(c.stillFilled)->text().isEmpty()) << c.stillFilled;
}

INSTANTIATE_TEST_SUITE_P(
    Mismatches, BrokenWindowTest,
    ::testing::Values(BrokenWindowCase{"txt_teeth", "none", "Control not found txt_teeth", "txt_avg_speed"},
                      BrokenWindowCase{"txt_usr_tag1", "label", "Bad control type txt_usr_tag1", "txt_avg_speed"},
                      BrokenWindowCase{"cmb_meas_type", "edit", "Bad control type cmb_meas_type", "txt_avg_speed"},
                      BrokenWindowCase{"lbl_val_crc_dev_usr", "check", "Bad control type lbl_val_crc_dev_usr", "txt_avg_speed"},
                      BrokenWindowCase{"chk_latch_1", "label", "Bad control type chk_latch_1", "txt_oneshot_1"}));

TEST_F(BindingWindowTest, HandlersReportControlsThatDisagreeWithTheTable) {
  images->EditImage[5500] = 0;
  const RegisterImage before = images->EditImage;
  QWidget* page = window->Page(container::Output);
  struct Case {
    QWidget* control;
    const char* message;
  };
  auto named = [page](QWidget* w, const char* name) {
    w->setParent(page);
    w->setObjectName(QString::fromLatin1(name));
    return w;
  };
  const std::vector<Case> cases = {
      {named(new QLineEdit, "chk_latch_1"), "Bad control type"},
      {named(new QComboBox, "chk_latch_1"), "Control type mismatch (2)"},
      {named(new QCheckBox, "cmb_parity"), "Control type mismatch (1)"},
      {named(new QCheckBox, "chk_invert_1"), "Control type mismatch (3)"},
      {named(new QComboBox, "txt_teeth"), "Control type mismatch (3)"},
  };
  for (const Case& c : cases) {
    prompts.ClearCalls();
    form.TakeCheckOrChoice(c.control);
    EXPECT_TRUE(ShowedError(QString::fromLatin1(c.message))) << prompts.Describe().toStdString();
  }
  EXPECT_EQ(images->EditImage, before);

  prompts.ClearCalls();
  auto* stray = static_cast<QLineEdit*>(named(new QLineEdit, "txt_nowhere"));
  form.TakeEdit(stray);
  EXPECT_TRUE(ShowedError(QStringLiteral("control not found"))) << prompts.Describe().toStdString();
  prompts.ClearCalls();
  auto* wrong = static_cast<QLineEdit*>(named(new QLineEdit, "cmb_parity"));
  wrong->setText(QStringLiteral("1"));
  form.TakeEdit(wrong);
  EXPECT_TRUE(ShowedError(QStringLiteral("Unknown field type for cmb_parity")))
      << prompts.Describe().toStdString();
  EXPECT_EQ(images->EditImage, before);

  // A CRC label that is not a label.
  prompts.ClearCalls();
  QWidget* crc = form.ControlOf(Row("lbl_val_crc_output"));
  crc->setObjectName(QStringLiteral("lbl_renamed"));
  named(new QLineEdit, "lbl_val_crc_output");
  form.UpdateCrcLabels(BlockOf("lbl_val_crc_output"));
  EXPECT_TRUE(ShowedError(QStringLiteral("CRC field type bad!"))) << prompts.Describe().toStdString();
}

TEST_F(BindingWindowTest, ReportBoxesShareTheHandlerWithoutWriting) {
  RegisterImage& edit = images->EditImage;
  edit[4002] = 2;
  Combo("cmb_sens_type")->setCurrentIndex(2);
  Field("txt_level_i")->setEnabled(true);
  const RegisterImage before = edit;
  window->ShowPage(6);
  auto* box = qobject_cast<QCheckBox*>(Widget("chk_rep_meas", 10));
  ASSERT_NE(box, nullptr);
  box->click();
  EXPECT_EQ(edit, before);
  EXPECT_FALSE(Field("txt_level_i")->isEnabled());  // the sensor fields were brought up to date
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(BindingWindowTest, ClearPasswordBlanksTheRegistersAndTheField) {
  RegisterImage& edit = images->EditImage;
  WriteText(edit, 1000, 8, QStringLiteral("secret"));
  edit[1009] = 0x4321;
  setup.usb = true;
  images->DeviceImage[14] = 1;
  form.FillControls();
  ASSERT_EQ(Field("txt_password")->text(), QStringLiteral("secret          "));
  form.ClearPassword();
  for (int r = 1000; r < 1008; ++r) EXPECT_EQ(Cell(r), 0x2020) << r;
  EXPECT_EQ(Cell(1009), 0x4321);
  EXPECT_EQ(Field("txt_password")->text(), QString());
  EXPECT_EQ(Label("lbl_val_pass_crc", container::Device)->text(), QString());
}

TEST_F(BindingWindowTest, RestoreFormShowsEditImageAgain) {
  images->EditImage[4001] = 60;
  form.FillControls();
  QLineEdit* teeth = Field("txt_teeth");
  teeth->setText(QStringLiteral("999"));  // a text the image does not hold
  form.men_restore_form();
  EXPECT_EQ(teeth->text(), QStringLiteral("60"));
}

}  // namespace
}  // namespace kvn::testing

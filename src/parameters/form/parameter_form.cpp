#include "device_link/block_table.h"
#include "parameters/parameter_table.h"
#include "parameters/form/parameter_form.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabWidget>
#include <array>
#include <bit>

#include "device_link/block_transfer.h"
#include "parameters/device_access.h"
#include "parameters/field_kinds.h"
#include "parameters/form/find_control.h"
#include "texts/prompts.h"
#include "texts/texts.h"

namespace kvn {

namespace {

constexpr int kMsgIncomplete = 28;  // "Parameter settings not complete."

// Fixed texts: they report a disagreement between the parameter table and the window, so they
// are not translated.
const QString kControlNotFound = QStringLiteral("Control not found ");
const QString kBadControlTypeFor = QStringLiteral("Bad control type ");
const QString kUnknownFieldType = QStringLiteral("Unknown field type ");
const QString kBadControlType = QStringLiteral("Bad control type");
const QString kMismatchChoice = QStringLiteral("Control type mismatch (1)");
const QString kMismatchCheck = QStringLiteral("Control type mismatch (2)");
const QString kMismatchOther = QStringLiteral("Control type mismatch (3)");
const QString kUnknownFieldTypeFor = QStringLiteral("Unknown field type for ");
const QString kEditNotFound = QStringLiteral("control not found");
const QString kCrcFieldBad = QStringLiteral("CRC field type bad!");

// Labels and fields outside the table that the binding writes.
constexpr const char* kResponseTimeLabel = "lbl_val_resp_time";
constexpr const char* kCutInRpmLabel = "lbl_val_cut_in_rpm";
constexpr const char* kBadPulseFrequencyLabel = "lbl_val_frq_badp";
constexpr const char* kOffsetCaption = "lbl_level_u_off";
constexpr const char* kOffsetInfo = "lbl_i_level_u_off";
constexpr const char* kOffsetValue = "lbl_val_level_u_off";
constexpr const char* kOffsetUnit = "lbl_u_level_u_off";
constexpr const char* kLevelUInfo = "lbl_i_level_u";
constexpr const char* kSensorTypeCombo = "cmb_sens_type";
constexpr const char* kLevelIField = "txt_level_i";
constexpr const char* kLevelUField = "txt_level_u";
constexpr const char* kPasswordCrcLabel = "lbl_val_pass_crc";
constexpr const char* kPasswordField = "txt_password";
constexpr const char* kPasswordActivation = "chk_act_pass";
constexpr int kDevicePage = 0;
constexpr const char* kOfflineBox = "chk_off_line";
constexpr const char* kSerialNumberLabel = "lbl_serial_num";
constexpr const char* kTagNumberLabel = "lbl_tag_number";
constexpr const char* kPageControl = "pg_ctrl1";
constexpr const char* kRestoreFormItem = "men_restore_form";
constexpr int kLevelDecimals = 2;

// The report page's selection boxes share the change handler; they have no table row.
constexpr std::array<const char*, 4> kReportBoxes = {"chk_rep_device", "chk_rep_meas",
                                                     "chk_rep_output", "chk_rep_diag"};

// Enabling of the sensor fields by sensor type; -1 in a limit column leaves it as it is.
struct SensorEnabling {
  bool levelI;
  bool levelU;
  int limitsI;
  int limitsU;
  bool offsetShown;
};
constexpr SensorEnabling kNoSensorType = {false, false, -1, -1, false};
constexpr std::array<SensorEnabling, 3> kSensorEnabling = {{
    {true, false, 1, 0, false},  // 2-Wire current
    {false, true, 1, 1, false},  // 3-Wire voltage
    {false, true, 0, 1, true},   // 2-Wire voltage
}};
constexpr std::array<const char*, 2> kCurrentLimitFields = {"txt_sens_lim_i_min",
                                                            "txt_sens_lim_i_max"};
constexpr std::array<const char*, 2> kVoltageLimitFields = {"txt_sens_lim_u_min",
                                                            "txt_sens_lim_u_max"};

// Page of pg_ctrl1 that shows a block's rows; -1 for blocks without a page.
// Index in the page control of the parameter page that shows a block, or -1. The four
// parameter pages come first, in the order of their container numbers.
int PageOfBlock(BlockId id) {
  const int container = Block(id).page;
  return container >= container::Device ? container - container::Device : -1;
}

int RowNumberOf(const ParameterDescriptor& row) {
  return static_cast<int>(&row - ParameterTable.data()) + 1;
}

bool IsKind(FieldType type, ControlKind control) {
  const FieldKind* kind = KindOf(type);
  return kind != nullptr && kind->control == control;
}

bool IsNumericEdit(FieldType type) {
  const FieldKind* kind = KindOf(type);
  return kind != nullptr && kind->numericEntry;
}

// Whether the control is of the kind the field kind needs.
bool ControlFits(ControlKind kind, QWidget* control) {
  switch (kind) {
    case ControlKind::EditField: return qobject_cast<QLineEdit*>(control) != nullptr;
    case ControlKind::CheckBox: return qobject_cast<QCheckBox*>(control) != nullptr;
    case ControlKind::ComboBox: return qobject_cast<QComboBox*>(control) != nullptr;
    case ControlKind::Label: return qobject_cast<QLabel*>(control) != nullptr;
  }
  return false;
}

QString NameOf(const ParameterDescriptor& row) {
  return QString::fromLatin1(row.name.data(), static_cast<qsizetype>(row.name.size()));
}

// The text a key inserts into a line edit, decided the way the line edit decides it: none for
// Ctrl and Ctrl+Shift combinations (AltGr may arrive as Ctrl+Alt and does insert) and none
// when the first character is not printable (Delete, Backspace, the shortcuts' control codes).
QString InsertedText(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.isEmpty()) return {};
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
    return {};
  const QChar first = text.front();
  const bool inserts = first.isPrint() || first.category() == QChar::Other_Format ||
                       first.category() == QChar::Other_PrivateUse ||
                       (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
  return inserts ? text : QString();
}

// Ends the field's current undo step so that a paste is undone on its own, as the field's own
// paste is: the field closes a step whenever its cursor moves, so the cursor steps aside and
// back, and the selection is put back as it was.
void EndUndoStep(QLineEdit& field) {
  const int length = field.text().size();
  if (length == 0) return;
  const int cursor = field.cursorPosition();
  const int selectionStart = field.selectionStart();
  const int selectionLength = field.selectionLength();
  field.setCursorPosition(cursor > 0 ? cursor - 1 : cursor + 1);
  if (selectionLength > 0)
    field.setSelection(cursor == selectionStart ? selectionStart + selectionLength : selectionStart,
                       cursor == selectionStart ? -selectionLength : selectionLength);
  else
    field.setCursorPosition(cursor);
}

// The Paste item of a line edit's standard menu: named so from Qt 6.5 on, recognised by its
// (translated) text before.
constexpr const char* kPasteActionName = "edit-paste";
bool IsPasteAction(const QAction& action) {
  return action.objectName() == QLatin1String(kPasteActionName) ||
         action.text().startsWith(QLineEdit::tr("&Paste"));
}

void ShowWindow() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

ParameterForm::ParameterForm(RegisterImages& images, const Codec& codec, const Texts& texts,
                             Prompts& prompts, const LocSetupRec& setup)
    : images_(images),
      edit_(images.EditImage),
      codec_(codec),
      texts_(texts),
      prompts_(prompts),
      setup_(setup),
      checks_(images, codec, texts, prompts, state_),
      fieldEvents_(new FieldEvents(*this)) {
  fieldEvents_->setParent(this);
}

ParameterForm::~ParameterForm() = default;

int ParameterForm::DeviceAccessLevel() const { return kvn::DeviceAccessLevel(setup_, images_); }

QWidget* ParameterForm::Control(const QString& name, int container) const {
  return window_ ? FindControl(*window_, name, container) : nullptr;
}

QWidget* ParameterForm::ControlOf(const ParameterDescriptor& row) const {
  return Control(NameOf(row), Block(row.blockId).page);
}

void ParameterForm::SetLabel(const char* name, int container, const QString& text) const {
  if (auto* label = qobject_cast<QLabel*>(Control(QString::fromLatin1(name), container)))
    label->setText(text);
}

// --- Routing ------------------------------------------------------------------------------

void ParameterForm::Attach(QWidget& mainWindow) {
  if (window_ == &mainWindow) return;  // routed once; a second call would double every handler
  window_ = &mainWindow;
  for (const ParameterDescriptor& row : ParameterTable) ConnectRow(row);
  for (const char* name : kReportBoxes) {
    if (auto* box = qobject_cast<QCheckBox*>(Control(QString::fromLatin1(name), container::Report)))
      connect(box, &QCheckBox::toggled, this, [this, box] { TakeCheckOrChoice(box); });
  }
  if (auto* item = mainWindow.findChild<QAction*>(QString::fromLatin1(kRestoreFormItem)))
    connect(item, &QAction::triggered, this, &ParameterForm::men_restore_form);
}

void ParameterForm::ConnectRow(const ParameterDescriptor& row) {
  QWidget* control = ControlOf(row);
  if (control == nullptr) return;
  if (IsEditField(row.fieldType)) {
    if (auto* field = qobject_cast<QLineEdit*>(control)) fieldEvents_->Watch(*field);
  } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
    connect(box, &QCheckBox::toggled, this, [this, box] { TakeCheckOrChoice(box); });
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    knownChoices_.insert(combo, combo->count());
    // activated: only the user's choice; a selection set by the program does not write back.
    connect(combo, &QComboBox::activated, this, [this, combo] { TakeCheckOrChoice(combo); });
  }
}

KeyFilterKind ParameterForm::FilterKindOf(const QLineEdit& field) const {
  const ParameterDescriptor* row = FindParameter(field.objectName().toStdString());
  return row == nullptr ? KeyFilterKind::None : KeyFilterFor(*row);
}

bool ParameterForm::FilterFieldKey(QLineEdit& field, const QKeyEvent& event) {
  const KeyFilterKind kind = FilterKindOf(field);
  if (kind == KeyFilterKind::None) return false;
  QString keys;
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: keys = QChar(kKeyEnter); break;
    case Qt::Key_Escape: keys = QChar(kKeyEscape); break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return false;  // moves the focus, never typed
    default:
      if (event.matches(QKeySequence::Paste)) {
        PasteInto(field, QClipboard::Clipboard);
        return true;
      }
      // Delete, the arrows and the shortcuts carry control characters as their text on X11;
      // they insert nothing, so the filter has nothing to judge.
      keys = InsertedText(event);
      break;
  }
  for (QChar key : keys) {
    switch (FilterKey(kind, key, field.text(), codec_.DecimalSeparator())) {
      case KeyVerdict::Pass: break;
      case KeyVerdict::Discard: return true;
      case KeyVerdict::TakeEdit: TakeEdit(&field); return true;
      case KeyVerdict::RestoreEntry: field.setText(state_.TextOnEntry); return true;
    }
  }
  return false;
}

QString ParameterForm::KeptOfPaste(const QLineEdit& field, const QString& pasted) const {
  QString remaining = field.text();
  if (field.hasSelectedText()) remaining.remove(field.selectionStart(), field.selectionLength());
  return kvn::KeptOfPaste(FilterKindOf(field), pasted, remaining, codec_.DecimalSeparator());
}

void ParameterForm::PasteInto(QLineEdit& field, QClipboard::Mode mode) {
  if (field.isReadOnly()) return;
  const QString kept = KeptOfPaste(field, QGuiApplication::clipboard()->text(mode));
  EndUndoStep(field);
  // insert() replaces the selection, like the field's own paste.
  field.insert(kept);
}

// --- Emptying and filling -------------------------------------------------------------------

void ParameterForm::ClearControls() {
  for (const ParameterDescriptor& row : ParameterTable) {
    if (!ClearRow(row)) return;
  }
}

bool ParameterForm::ClearRow(const ParameterDescriptor& row) {
  const QString name = NameOf(row);
  QWidget* control = Control(name, Block(row.blockId).page);
  if (control == nullptr) {
    prompts_.ShowError(kControlNotFound + name);
    return false;
  }
  const FieldKind* kind = KindOf(row.fieldType);
  if (kind == nullptr) {
    prompts_.ShowError(kUnknownFieldType + name);
    return false;
  }
  if (!ControlFits(kind->control, control)) {
    prompts_.ShowError(kBadControlTypeFor + name);
    return false;
  }
  switch (kind->control) {
    case ControlKind::EditField:
      static_cast<QLineEdit*>(control)->clear();
      if (kind->textEntry) WriteText(edit_, RegisterOf(row), row.detail / 2, QStringLiteral(" "));
      break;
    case ControlKind::CheckBox:
      // Not FillInProgress: the box's change handler clears the bit as if clicked.
      static_cast<QCheckBox*>(control)->setChecked(kind->clearedChecked);
      break;
    case ControlKind::ComboBox: static_cast<QComboBox*>(control)->setCurrentIndex(-1); break;
    case ControlKind::Label: static_cast<QLabel*>(control)->clear(); break;
  }
  return true;
}

void ParameterForm::FillControls() {
  state_.FillInProgress = true;
  for (const ParameterDescriptor& row : ParameterTable) FillRow(row);
  ShowWindow();
  UpdateSensorDependents();
  if (auto* offline = qobject_cast<QCheckBox*>(Control(QString::fromLatin1(kOfflineBox),
                                                       container::Status));
      offline != nullptr && offline->isChecked()) {
    SetLabel(kSerialNumberLabel, container::Status, QString());
    SetLabel(kTagNumberLabel, container::Status, QString());
  }
  ShowWindow();
  state_.FillInProgress = false;
}

void ParameterForm::FillRow(const ParameterDescriptor& row) {
  QWidget* control = ControlOf(row);
  const FieldKind* kind = KindOf(row.fieldType);
  if (control == nullptr || kind == nullptr) return;
  const FieldShown shown = kind->show(ShowContext{codec_, edit_, DeviceAccessLevel()}, row);
  if (auto* field = qobject_cast<QLineEdit*>(control); field && kind->control == ControlKind::EditField)
    field->setText(shown.text);
  else if (auto* box = qobject_cast<QCheckBox*>(control); box && kind->control == ControlKind::CheckBox) {
    box->setChecked(shown.checked);
    if (shown.enabled) box->setEnabled(*shown.enabled);
  } else if (auto* combo = qobject_cast<QComboBox*>(control); combo && kind->control == ControlKind::ComboBox)
    combo->setCurrentIndex(shown.index);
  else if (auto* label = qobject_cast<QLabel*>(control); label && kind->control == ControlKind::Label)
    label->setText(shown.text);
}

// --- Taking changes back -------------------------------------------------------------------

void ParameterForm::TakeCheckOrChoice(QWidget* control) {
  if (state_.FillInProgress) return;
  auto* box = qobject_cast<QCheckBox*>(control);
  auto* combo = qobject_cast<QComboBox*>(control);
  if (box == nullptr && combo == nullptr) {
    prompts_.ShowError(kBadControlType);
    return;
  }
  const ParameterDescriptor* row = FindParameter(control->objectName().toStdString());
  if (row == nullptr) {
    UpdateSensorDependents();
    return;
  }
  if (IsKind(row->fieldType, ControlKind::CheckBox) && KindOf(row->fieldType)->store != nullptr) {
    if (box) KindOf(row->fieldType)->store(edit_, *row, box->isChecked() ? 1 : 0);
    else prompts_.ShowError(kMismatchCheck);
  } else if (IsKind(row->fieldType, ControlKind::ComboBox)) {
    if (combo) KindOf(row->fieldType)->store(edit_, *row, combo->currentIndex());
    else prompts_.ShowError(kMismatchChoice);
  } else {
    prompts_.ShowError(kMismatchOther);
  }
  UpdateCrcLabels(Block(row->blockId));
  UpdateSensorDependents();
}

void ParameterForm::set_org_content(QLineEdit* field) {
  if (field != nullptr) state_.TextOnEntry = field->text();
}

void ParameterForm::TakeEdit(QLineEdit* field) {
  if (state_.FillInProgress || field == nullptr) return;
  const QString entered = TrimEntry(field->text());
  const ParameterDescriptor* row = FindParameter(field->objectName().toStdString());
  if (row == nullptr) {
    prompts_.ShowError(kEditNotFound);
    return;
  }
  const FieldKind* kind = KindOf(row->fieldType);
  if (kind != nullptr && kind->textEntry) {
    if (entered.size() > row->detail) {
      prompts_.ShowError(checks_.TooLongText(row->detail));
      field->setText(state_.TextOnEntry);
    } else {
      WriteText(edit_, RegisterOf(*row), row->detail / 2, entered);
    }
  } else if (kind != nullptr && kind->numericEntry) {
    // An empty numeric field stores nothing; FindFirstEmpty catches it before a save.
    if (!entered.isEmpty()) TakeNumber(*row, *field);
  } else {
    prompts_.ShowError(kUnknownFieldTypeFor + NameOf(*row));
    return;
  }
  UpdateCrcLabels(Block(row->blockId));
  RefreshDerivedLabels();
}

void ParameterForm::TakeNumber(const ParameterDescriptor& row, QLineEdit& field) {
  const int reg = RegisterOf(row);
  switch (row.fieldType) {
    case FieldType::Int16: {
      const IntLimits limits = IntRangeLimits(row, edit_);
      field.setText(checks_.AcceptInt16(field.text(), reg, row.detail, limits.lower, limits.upper).text);
      break;
    }
    case FieldType::Int32: {
      const IntLimits limits = IntRangeLimits(row, edit_);
      field.setText(checks_
                        .AcceptInt32(field.text(), reg, row.detail, limits.lower, limits.upper,
                                     limits.zeroAllowed)
                        .text);
      break;
    }
    case FieldType::Float: {
      const FloatLimits limits = FloatRangeLimits(row, codec_);
      field.setText(checks_.AcceptFloat(field.text(), reg, row.detail, limits.lower, limits.upper).text);
      break;
    }
    case FieldType::OffsetLevel: {
      // The field shows the level above the sensor offset; the register keeps the absolute one.
      const FloatLimits limits = FloatRangeLimits(row, codec_);
      const EntryResult result =
          checks_.AcceptFloat(field.text(), reg, row.detail, limits.lower, limits.upper);
      field.setText(result.text);
      if (result.accepted && codec_.IsTwoWireVoltage())
        WriteInt32(edit_, reg, std::bit_cast<int32_t>(ReadFloat(edit_, reg) + codec_.OffsetVoltage()));
      break;
    }
    default: break;
  }
}

// The offset value label is written only while its caption is shown (sensor type "2-Wire
// voltage"); for the other types it stays empty like its caption, info mark and unit.
void ParameterForm::RefreshDerivedLabels() {
  SetLabel(kResponseTimeLabel, container::Measure, codec_.ResponseTimeText());
  if (offsetLabelsShown_) SetLabel(kOffsetValue, container::Measure, codec_.OffsetLevelText());
  SetLabel(kCutInRpmLabel, container::Measure, codec_.CutInRpmText());
  SetLabel(kBadPulseFrequencyLabel, container::Diag, codec_.BadPulseFrequencyText());
}

// --- Block checks ----------------------------------------------------------------------------

void ParameterForm::UpdateCrcLabels(const BlockDescriptor& block) {
  QString text;
  if (!FindFirstEmpty(block)) {
    const uint16_t crc = ImageCrc(edit_, block.start, block.count - 1);
    edit_[static_cast<size_t>(block.CrcRegister())] = crc;
    text = CrcText(crc);
  }
  for (const ParameterDescriptor& row : ParameterTable) {
    if (row.blockId != block.id || row.fieldType != FieldType::CrcLabel) continue;
    if (auto* label = qobject_cast<QLabel*>(Control(NameOf(row), block.page)))
      label->setText(text);
    else
      prompts_.ShowError(kCrcFieldBad);
  }
}

std::optional<ParameterHit> ParameterForm::FindFirstEmpty(const BlockDescriptor& block) const {
  for (const ParameterDescriptor& row : ParameterTable) {
    if (row.blockId != block.id) continue;
    QWidget* control = Control(NameOf(row), block.page);
    if (IsNumericEdit(row.fieldType)) {
      auto* field = qobject_cast<QLineEdit*>(control);
      if (field != nullptr && TrimEntry(field->text()).isEmpty())
        return ParameterHit{field, RowNumberOf(row)};
    } else if (IsKind(row.fieldType, ControlKind::ComboBox)) {
      auto* combo = qobject_cast<QComboBox*>(control);
      // An item a language pack added beyond the device's list is no value the device knows.
      if (combo != nullptr && (combo->currentIndex() < 0 || combo->currentIndex() >= knownChoices_.value(combo, combo->count())))
        return ParameterHit{combo, RowNumberOf(row)};
    }
  }
  return std::nullopt;
}

std::bitset<kParameterRows> ParameterForm::RowsShownEmpty() const {
  std::bitset<kParameterRows> empty;
  for (int n = 1; n <= kParameterRows; ++n) {
    QWidget* control = ControlOf(ParameterRow(n));
    if (auto* field = qobject_cast<QLineEdit*>(control))
      empty[static_cast<size_t>(n - 1)] = TrimEntry(field->text()).isEmpty();
    else if (auto* label = qobject_cast<QLabel*>(control))
      empty[static_cast<size_t>(n - 1)] = label->text().isEmpty();
    else if (auto* combo = qobject_cast<QComboBox*>(control))
      empty[static_cast<size_t>(n - 1)] = combo->currentIndex() < 0;
  }
  return empty;
}

std::optional<ParameterHit> ParameterForm::FindFirstOutOfRange(const BlockDescriptor& block) {
  for (const ParameterDescriptor& row : ParameterTable) {
    if (row.blockId != block.id) continue;
    if (!checks_.RecheckRange(RowNumberOf(row)))
      return ParameterHit{Control(NameOf(row), block.page), RowNumberOf(row)};
  }
  return std::nullopt;
}

bool ParameterForm::EntriesComplete(const BlockDescriptor& block) {
  if (const auto empty = FindFirstEmpty(block)) {
    prompts_.ShowError(texts_.GetMessageText(kMsgIncomplete));
    FocusParameter(empty->control, empty->row);
    return false;
  }
  if (const auto outside = FindFirstOutOfRange(block)) {
    FocusParameter(outside->control, outside->row);
    return false;
  }
  return true;
}

void ParameterForm::FocusParameter(QWidget* control, int rowNumber) {
  if (rowNumber < 1 || rowNumber > kParameterRows || !window_) return;
  const int page = PageOfBlock(ParameterRow(rowNumber).blockId);
  if (page < 0) return;
  if (auto* pages = window_->findChild<QTabWidget*>(QString::fromLatin1(kPageControl)))
    pages->setCurrentIndex(page);
  if (qobject_cast<QLineEdit*>(control) != nullptr || qobject_cast<QComboBox*>(control) != nullptr)
    control->setFocus(Qt::OtherFocusReason);
  // A check box draws its focus mark only for focus that came from the keyboard, as a row
  // chosen with Enter in the comparison did.
  else if (qobject_cast<QCheckBox*>(control) != nullptr)
    control->setFocus(Qt::ShortcutFocusReason);
}

// --- Sensor type -----------------------------------------------------------------------------

void ParameterForm::UpdateSensorDependents() {
  auto* sensorType =
      qobject_cast<QComboBox*>(Control(QString::fromLatin1(kSensorTypeCombo), container::Measure));
  bool offsetShown = false;
  if (sensorType != nullptr && sensorType->isEnabled()) {
    const int index = sensorType->currentIndex();
    const SensorEnabling& enabling =
        index >= 0 && index < static_cast<int>(kSensorEnabling.size()) ? kSensorEnabling[index]
                                                                        : kNoSensorType;
    auto enable = [this](const char* name, int container, bool on) {
      if (QWidget* w = Control(QString::fromLatin1(name), container)) w->setEnabled(on);
    };
    enable(kLevelIField, container::Measure, enabling.levelI);
    enable(kLevelUField, container::Measure, enabling.levelU);
    if (enabling.limitsI >= 0)
      for (const char* name : kCurrentLimitFields) enable(name, container::Diag, enabling.limitsI != 0);
    if (enabling.limitsU >= 0)
      for (const char* name : kVoltageLimitFields) enable(name, container::Diag, enabling.limitsU != 0);
    offsetShown = enabling.offsetShown;
  }
  ShowOffsetLabels(offsetShown);
  SetLabel(kCutInRpmLabel, container::Measure, codec_.CutInRpmText());
  SetLabel(kBadPulseFrequencyLabel, container::Diag, codec_.BadPulseFrequencyText());
}

void ParameterForm::ShowOffsetLabels(bool shown) {
  offsetLabelsShown_ = shown;
  // Shown, the sensor type is "2-Wire voltage" and the field shows the level above the offset
  // as the field kind does; hidden, the absolute level, also while the sensor type is disabled.
  const int levelRegister = ParamRegs().triggerLevelU;
  const float level = shown ? OffsetLevelShownIn(edit_, levelRegister) : ReadFloat(edit_, levelRegister);
  if (shown) {
    SetLabel(kOffsetCaption, container::Measure, texts_.GetTextByKey(QString::fromLatin1(kOffsetCaption)));
    auto* info = qobject_cast<QLabel*>(Control(QString::fromLatin1(kLevelUInfo), container::Measure));
    SetLabel(kOffsetInfo, container::Measure, info ? info->text() : QString());
    SetLabel(kOffsetValue, container::Measure, codec_.OffsetLevelText());
    SetLabel(kOffsetUnit, container::Measure, QStringLiteral("V"));
  } else {
    for (const char* name : {kOffsetCaption, kOffsetInfo, kOffsetValue, kOffsetUnit})
      SetLabel(name, container::Measure, QString());
  }
  if (auto* field = qobject_cast<QLineEdit*>(Control(QString::fromLatin1(kLevelUField), container::Measure)))
    field->setText(codec_.FormatFloat(level, kLevelDecimals));
}

// --- Password and enabling -------------------------------------------------------------------

bool ParameterForm::PasswordChangeWanted() const {
  const auto* box = qobject_cast<const QCheckBox*>(Control(QString::fromLatin1(kPasswordActivation), container::Device));
  return box && box->isChecked();
}

QString ParameterForm::NewPasswordEntry() const {
  const auto* field = qobject_cast<const QLineEdit*>(Control(QString::fromLatin1(kPasswordField), container::Device));
  return field ? field->text() : QString();
}

void ParameterForm::ShowPasswordEntry() {
  if (!window_) return;
  if (auto* pages = window_->findChild<QTabWidget*>(QString::fromLatin1(kPageControl))) pages->setCurrentIndex(kDevicePage);
  if (QWidget* field = Control(QString::fromLatin1(kPasswordField), container::Device)) field->setFocus(Qt::OtherFocusReason);
}

void ParameterForm::ClearPassword() {
  for (const ParameterDescriptor& row : ParameterTable) {
    if (row.fieldType == FieldType::Password)
      WriteText(edit_, RegisterOf(row), row.detail / 2, QStringLiteral(" "));
  }
  SetLabel(kPasswordCrcLabel, container::Device, QString());
  for (const ParameterDescriptor& row : ParameterTable) {
    if (row.fieldType != FieldType::Password) continue;
    if (auto* field = qobject_cast<QLineEdit*>(ControlOf(row))) field->clear();
  }
}

bool ParameterForm::AllowEnable(const QString& controlName, bool wanted) const {
  const ParameterDescriptor* row = FindParameter(controlName.toStdString());
  if (row == nullptr) return wanted;
  // Fixed and factory-forced boxes are the ones their own value disables.
  const FieldKind* kind = KindOf(row->fieldType);
  if (kind == nullptr || kind->control != ControlKind::CheckBox) return wanted;
  const FieldShown shown = kind->show(ShowContext{codec_, edit_, DeviceAccessLevel()}, *row);
  return shown.enabled == false ? false : wanted;
}

// --- Field events ----------------------------------------------------------------------------

FieldEvents::FieldEvents(ParameterForm& form) : form_(form) {}

void FieldEvents::Watch(QLineEdit& field) { field.installEventFilter(this); }

void FieldEvents::Enter(QLineEdit& field) {
  if (entered_ == &field) return;
  if (entered_) Leave(*entered_);
  entered_ = &field;
  form_.set_org_content(&field);
}

void FieldEvents::Leave(QLineEdit& field) {
  if (entered_ == &field) entered_ = nullptr;
  form_.TakeEdit(&field);
}

bool FieldEvents::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (field == nullptr) return false;
  switch (event->type()) {
    case QEvent::FocusIn: Enter(*field); break;
    case QEvent::FocusOut: {
      // Another window or a menu taking the focus does not leave the field.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
          entered_ == field)
        Leave(*field);
      break;
    }
    case QEvent::KeyPress: return form_.FilterFieldKey(*field, *static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
      ShowMenu(*field, static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    case QEvent::MouseButtonRelease: return PasteSelection(*field, *static_cast<QMouseEvent*>(event));
    case QEvent::Drop: return DropFiltered(*field, *static_cast<QDropEvent*>(event));
    default: break;
  }
  return false;
}

void FieldEvents::ShowMenu(QLineEdit& field, const QPoint& globalPos) {
  // The field's own menu, with its Paste going through the filter.
  QMenu* menu = field.createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (QAction* action : menu->actions()) {
    if (!IsPasteAction(*action)) continue;
    disconnect(action, nullptr, &field, nullptr);
    action->setObjectName(QString::fromLatin1(kPasteActionName));
    QPointer<QLineEdit> target = &field;
    connect(action, &QAction::triggered, this, [this, target] {
      if (target) form_.PasteInto(*target, QClipboard::Clipboard);
    });
  }
  menu->popup(globalPos);
}

bool FieldEvents::PasteSelection(QLineEdit& field, const QMouseEvent& event) {
  // X11 pastes the selection on a middle click; the press has already placed the cursor.
  if (event.button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection())
    return false;
  field.deselect();
  form_.PasteInto(field, QClipboard::Selection);
  return true;
}

bool FieldEvents::DropFiltered(QLineEdit& field, QDropEvent& drop) {
  // Text dragged within the field has passed its filter already.
  if (forwardingDrop_ || drop.source() == &field || !drop.mimeData()->hasText()) return false;
  const QString dropped = drop.mimeData()->text();
  field.deselect();  // a drop goes in beside the selection, which the field drops itself
  const QString kept = form_.KeptOfPaste(field, dropped);
  if (kept == dropped) return false;
  // The field places and selects dropped text itself; it receives the kept part instead.
  QMimeData keptData;
  keptData.setText(kept);
  QDropEvent filtered(drop.position(), drop.possibleActions(), &keptData, drop.buttons(),
                      drop.modifiers());
  filtered.setDropAction(drop.dropAction());
  forwardingDrop_ = true;
  QCoreApplication::sendEvent(&field, &filtered);
  forwardingDrop_ = false;
  drop.setDropAction(filtered.dropAction());
  drop.setAccepted(filtered.isAccepted());
  return true;
}

}  // namespace kvn

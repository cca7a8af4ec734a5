#pragma once
#include <QHash>
#include <QClipboard>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>
#include <bitset>
#include <optional>

#include "device_link/block_table.h"
#include "device_link/register_image.h"
#include "parameters/form/entry_checks.h"
#include "parameters/form/key_filters.h"
#include "parameters/parameter_table.h"
#include "parameters/parameter_view.h"
#include "parameters/value_codec.h"
#include "texts/setup_record.h"

class QCheckBox;
class QComboBox;
class QDropEvent;
class QMouseEvent;
class QKeyEvent;
class QLabel;
class QWidget;

namespace kvn {

class FieldEvents;
class Prompts;
class Texts;

// A parameter control and its row number 1..155.
struct ParameterHit {
  QWidget* control = nullptr;
  int row = 0;
};

// Keeps the main window's parameter controls and EditImage in step: fills the controls,
// empties them, takes every change back into EditImage, keeps the block CRC labels current
// and adapts the sensor-dependent fields. Created once with the program's state and attached
// to the main window once its pages exist.
class ParameterForm : public QObject, public ParameterView {
  Q_OBJECT

 public:
  ParameterForm(RegisterImages& images, const Codec& codec, const Texts& texts, Prompts& prompts,
                const LocSetupRec& setup);
  ~ParameterForm() override;

  // Finds every parameter control below the main window and routes its events here: edit
  // fields (enter, exit, key press), check boxes and combo boxes (change), the report
  // selection boxes that share the change handler, and the menu item men_restore_form.
  // Controls the window lacks are skipped; ClearControls reports them.
  void Attach(QWidget& mainWindow);

  const FormState& State() const { return state_; }
  bool FillInProgress() const { return state_.FillInProgress; }
  const QString& TextOnEntry() const { return state_.TextOnEntry; }
  EntryChecks& Checks() { return checks_; }

  // -1 off-line or not over USB, otherwise the level the device granted.
  int DeviceAccessLevel() const;

  // Control of a table row in the attached window, or nullptr.
  QWidget* ControlOf(const ParameterDescriptor& row) const;
  // Any control of the attached window inside a container (see FindControl).
  QWidget* Control(const QString& name, int container) const;

  void ClearControls() override;
  void FillControls() override;
  // Change of a check box or combo box (upd_list_bit).
  void TakeCheckOrChoice(QWidget* control);
  // Leaving a bound edit field or Enter in it (exit_edit).
  void TakeEdit(QLineEdit* field);
  // Entering a bound edit field: TextOnEntry := its text.
  void set_org_content(QLineEdit* field);
  void UpdateCrcLabels(const BlockDescriptor& block);
  std::optional<ParameterHit> FindFirstEmpty(const BlockDescriptor& block) const;
  // Rows (index row - 1) whose control shows nothing: an edit field left empty, an emptied
  // label, a drop-down without a selection. EditImage still holds a value for them; what the
  // engineer sees, and what a report of the window prints, is the gap.
  std::bitset<kParameterRows> RowsShownEmpty() const;
  std::optional<ParameterHit> FindFirstOutOfRange(const BlockDescriptor& block);
  void FocusParameter(QWidget* control, int rowNumber);
  // The entry checks before a block is saved or sent: the first empty entry shows message 28,
  // the first out-of-range one its range message; either is brought into view and focused.
  bool EntriesComplete(const BlockDescriptor& block) override;
  void UpdateSensorDependents();
  void ClearPassword() override;
  // The device page's admin-password row: "activate" ticked, a password typed, and the row
  // brought into view with its field focused.
  bool PasswordChangeWanted() const override;
  QString NewPasswordEntry() const override;
  void ShowPasswordEntry() override;
  bool AllowEnable(const QString& controlName, bool wanted) const;
  // men_restore_form: shows EditImage again, discarding what the fields show.
  void men_restore_form() { FillControls(); }

  // The key filter of a bound edit field; true when the key is used up. Only what a key
  // inserts is judged: editing keys and shortcuts keep their meaning, a paste is filtered.
  bool FilterFieldKey(QLineEdit& field, const QKeyEvent& event);
  // Pastes the clipboard's text into the field, keeping only the characters its filter
  // would let through when typed.
  void PasteInto(QLineEdit& field, QClipboard::Mode mode);
  // The part of a pasted or dropped text the field keeps in place of its selection.
  QString KeptOfPaste(const QLineEdit& field, const QString& pasted) const;

 private:
  KeyFilterKind FilterKindOf(const QLineEdit& field) const;
  bool ClearRow(const ParameterDescriptor& row);
  void FillRow(const ParameterDescriptor& row);
  void TakeNumber(const ParameterDescriptor& row, QLineEdit& field);
  void RefreshDerivedLabels();
  void ShowOffsetLabels(bool shown);
  void SetLabel(const char* name, int container, const QString& text) const;
  void ConnectRow(const ParameterDescriptor& row);

  RegisterImages& images_;
  RegisterImage& edit_;
  const Codec& codec_;
  const Texts& texts_;
  Prompts& prompts_;
  const LocSetupRec& setup_;
  FormState state_;
  EntryChecks checks_;
  QPointer<QWidget> window_;
  FieldEvents* fieldEvents_ = nullptr;  // child object, deleted with the form
  bool offsetLabelsShown_ = false;
  // Items of each drop-down as the window was built, before a language pack could add any:
  // the values the device knows.
  QHash<const QComboBox*, int> knownChoices_;
};

// Routes focus and key events of the bound edit fields to the form, and sends every text that
// reaches a field without typing (context menu paste, X11 middle click, drop) through its
// filter. Installed as an event filter on each field. A field counts as left when the focus
// moves to another control of the window; switching to another window or opening a menu does not leave it, and a field that
// was not left properly is left when the next field is entered.
class FieldEvents : public QObject {
  Q_OBJECT

 public:
  explicit FieldEvents(ParameterForm& form);

  void Watch(QLineEdit& field);
  // The field entered last and not yet left.
  QLineEdit* Entered() const { return entered_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Enter(QLineEdit& field);
  void Leave(QLineEdit& field);
  void ShowMenu(QLineEdit& field, const QPoint& globalPos);
  bool PasteSelection(QLineEdit& field, const QMouseEvent& event);
  bool DropFiltered(QLineEdit& field, QDropEvent& drop);

  ParameterForm& form_;
  QPointer<QLineEdit> entered_;
  bool forwardingDrop_ = false;
};

}  // namespace kvn

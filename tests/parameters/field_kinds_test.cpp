// The field-kind table against the real window: what it says a row shows is what the filled
// form shows, for every row of the parameter table, on the simulator's parameter set.
#include <QAccessible>

#include "devsim/device_model.h"
#include "parameters/binding_window_fixture.h"
#include "parameters/field_kinds.h"

namespace kvn::testing {
namespace {

class FieldKindsOnTheForm : public BindingWindowTest {
 protected:
  // The simulator's registers as a read stores them: each 16-bit register sign-extended.
  void LoadSimulatorSet() {
    const devsim::DeviceModel model;
    for (int r = 0; r < kRegisterCount; ++r)
      images->EditImage[static_cast<size_t>(r)] = static_cast<int16_t>(model.Register(r));
  }

  // What the page shows for a row, read off its widgets: the text, the item, the state, and
  // the unit label of the row.
  QString ShownOnPage(const ParameterDescriptor& row) const {
    QWidget* control = form.ControlOf(row);
    if (auto* box = qobject_cast<QCheckBox*>(control))
      return box->isChecked() ? QStringLiteral("checked") : QStringLiteral("not checked");
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
    QString text;
    if (auto* field = qobject_cast<QLineEdit*>(control)) {
      if (row.fieldType == FieldType::Password)
        return field->text().trimmed().isEmpty() ? QString() : QStringLiteral("********");
      text = field->text();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      text = label->text();
    }
    if (KindOf(row.fieldType)->textEntry) return text.trimmed();
    auto* unit = qobject_cast<QLabel*>(UnitBeside(control));
    return unit && !text.isEmpty() ? text + QLatin1Char(' ') + unit->text().trimmed() : text;
  }

  // The first unit label after the control in its value cell.
  static QWidget* UnitBeside(QWidget* control) {
    bool after = false;
    for (QObject* child : control->parentWidget()->children()) {
      if (child == control) after = true;
      else if (after && child->objectName().startsWith(QLatin1String("lbl_u_"))) return qobject_cast<QWidget*>(child);
    }
    return nullptr;
  }

  static QString AccessibleNameOf(QWidget* control) {
    return qobject_cast<QLabel*>(control) ? control->accessibleDescription() : control->accessibleName();
  }
};

TEST_F(FieldKindsOnTheForm, EveryRowShowsWhatTheTableSays) {
  LoadSimulatorSet();
  form.FillControls();
  for (const ParameterDescriptor& row : ParameterTable) {
    SCOPED_TRACE(std::string(row.name));
    QWidget* control = form.ControlOf(row);
    ASSERT_NE(control, nullptr);
    const FieldKind* kind = KindOf(row.fieldType);
    ASSERT_NE(kind, nullptr);
    const FieldShown shown = kind->show(ShowContext{codec, images->EditImage, form.DeviceAccessLevel()}, row);
    if (auto* field = qobject_cast<QLineEdit*>(control)) {
      EXPECT_EQ(field->text(), shown.text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      EXPECT_EQ(label->text(), shown.text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      EXPECT_EQ(combo->currentIndex(), shown.index);
    } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
      EXPECT_EQ(box->isChecked(), shown.checked);
      EXPECT_EQ(box->isEnabled(), shown.enabled.value_or(box->isEnabled()));
    }
    EXPECT_EQ(ShownText(texts, codec, images->EditImage, row), ShownOnPage(row));
    EXPECT_EQ(CaptionOf(texts, row), AccessibleNameOf(control));
  }
}

}  // namespace
}  // namespace kvn::testing

// The field-kind table against the real window: what it says a row shows is what the filled
// form shows, for every row of the parameter table, on the simulator's parameter set.
#include <QAccessible>

#include "devsim/device_model.h"
#include "parameters/binding_window_fixture.h"
#include "parameters/field_kinds.h"
#include "parameters/parameter_pages.h"

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

// A session names the groups a device rejected by their section headings. The command line has
// no window to collect captions from: the page table's own captions must read as the window's.
TEST_F(FieldKindsOnTheForm, SectionHeadingsReadAsTheWindowShowsThem) {
  const Texts withoutWindow;
  int headings = 0;
  for (const pages::ParameterPage& page : pages::kParameterPages) {
    for (const pages::Section& section : page.sections) {
      if (section.heading.name == nullptr) continue;
      SCOPED_TRACE(section.heading.name);
      const auto* label = window->findChild<QLabel*>(QLatin1String(section.heading.name));
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(HeadingCaptionOf(texts, section.heading.name), label->text());
      EXPECT_EQ(HeadingCaptionOf(withoutWindow, section.heading.name), label->text());
      ++headings;
    }
  }
  EXPECT_EQ(headings, 8);
  EXPECT_EQ(HeadingCaptionOf(texts, "lbl_usr_tag1"), QString());  // a row caption heads nothing
}

// What a person reads on the pages for the simulator's factory set, worked out from that set
// (tools/devsim/factory_setup.cpp) and the pages' own captions, items and units, not from the
// table under test: at least one row of every kind a value can be shown by.
struct ExpectedShown {
  const char* control;
  const char* text;
};
constexpr ExpectedShown kFactorySetShown[] = {
    // Texts, two characters a register.
    {"txt_usr_tag1", "Turbine T1"},
    {"txt_usr_tag3", "SPM-0417"},
    {"txt_usr_comment", "Overspeed guard, demo setup"},
    {"txt_adm_tag2", "Loop 17"},
    {"txt_adm_comment", "Commissioned by admin"},
    {"txt_password", "********"},
    // Whole numbers, with implied decimals where the row has them.
    {"txt_mod_addr", "1"},
    {"txt_teeth", "60"},
    {"txt_module", "2.0"},
    {"txt_avg_acc", "4 Pulses"},
    {"txt_look_depth", "10 Pulses"},
    {"txt_look_fact", "100"},
    // Items of a drop-down, by the register's index.
    {"cmb_baud_485", "19200"},
    {"cmb_parity", "none"},
    {"cmb_term", "Inactive"},
    {"cmb_adm_vstr", "1oo1"},
    {"cmb_meas_type", "Radial"},
    {"cmb_sens_srfc", "Involuted"},
    {"cmb_sens_type", "2-Wire current"},
    {"cmb_trig_edge", "Rising"},
    {"cmb_ppchk_act", "Run 'Test and reset'"},
    // Floats, at the row's decimals; speeds at two, as a rated speed below 10000 RPM gives;
    // the level relative to no offset for a current sensor.
    {"txt_rated_sp", "3000.00 RPM"},
    {"txt_level_i", "12.00 mA"},
    {"txt_level_u", "6.00 V"},
    {"txt_sens_cut_in", "1.0 Hz"},
    {"txt_vmax_lim_4", "3450.00 RPM"},
    {"txt_vmax_lim_5", "3150.00 RPM"},
    {"txt_vmin_lim_1", "300.00 RPM"},
    {"txt_amax_lim_3", "400.00 RPM/s"},
    {"txt_vmax_hyst_5", "20.00 RPM"},
    {"txt_amax_hyst_1", "20.00 RPM/s"},
    {"txt_acc_cutoff", "50.00 RPM"},
    {"txt_aout_v4ma", "0.00 RPM"},
    {"txt_aout_v20ma", "3600.00 RPM"},
    {"txt_aout_min", "3.80 mA"},
    {"txt_aout_max", "20.50 mA"},
    {"txt_aout_err_val", "3.20 mA"},
    {"txt_sens_lim_i_min", "2.00 mA"},
    {"txt_sens_lim_i_max", "22.00 mA"},
    {"txt_sens_lim_u_max", "22.00 V"},
    {"txt_diag_aouterr", "0.50 mA"},
    // 32-bit times in milliseconds, shown in seconds.
    {"txt_oneshot_1", "0.500 s"},
    {"txt_vmax_del_1", "0.000 s"},
    {"txt_vmax_del_5", "0.200 s"},
    {"txt_vmin_del_2", "0.100 s"},
    {"txt_amax_del_3", "0.050 s"},
    {"txt_bad_pulse", "2.000 s"},
    // Bits of the relay words: 1 and 2 inverted with diagnostics and test-and-reset, 3 on
    // acceleration, 4 a latched overspeed trip, 5 an overspeed warning.
    {"chk_latch_1", "not checked"},
    {"chk_latch_4", "checked"},
    {"chk_invert_1", "checked"},
    {"chk_invert_3", "not checked"},
    {"chk_invert_4", "not checked"},
    {"chk_diag_active_3", "not checked"},
    {"chk_ppt_active_2", "checked"},
    {"chk_ppt_active_5", "not checked"},
    {"chk_vmax_5", "checked"},
    {"chk_vmin_1", "not checked"},
    {"chk_vmin_2", "checked"},
    {"chk_amax_3", "checked"},
    // The latched errors (safety CRC, factory CRC, sensor), two of them forced by the factory.
    {"chk_latch_nsf", "not checked"},
    {"chk_latch_sft", "checked"},
    {"chk_latch_fact", "checked"},
    {"chk_latch_sens_err", "checked"},
    {"chk_latch_usb", "not checked"},
    // Diagnostics options: the USB interface allowed (an inverted bit), checks left on.
    {"chk_usb_act", "checked"},
    {"chk_aout_chk_dis", "not checked"},
    {"chk_dis_init_safe", "not checked"},
};

TEST_F(FieldKindsOnTheForm, FactorySetShowsWhatAPersonReadsOffIt) {
  LoadSimulatorSet();
  form.FillControls();
  for (const ExpectedShown& e : kFactorySetShown) {
    SCOPED_TRACE(e.control);
    const ParameterDescriptor* row = FindParameter(e.control);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(ShownOnPage(*row), QString::fromUtf8(e.text)) << "on the page";
    EXPECT_EQ(ShownText(texts, codec, images->EditImage, *row), QString::fromUtf8(e.text)) << "by the table";
  }
}

}  // namespace
}  // namespace kvn::testing

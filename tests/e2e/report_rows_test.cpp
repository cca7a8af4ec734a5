// The configuration report drawn from the set against what the window's controls show for
// that set: for sets read from the simulator and changed the ways the engineer changes them,
// every printed row built from EditImage equals the row read from the widgets, and the
// window's report command prints the same words in the same places as the report's entry
// point given the same set.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "device_link/block_table.h"
#include "e2e/live_app.h"
#include "operations/connection.h"
#include "parameters/form/find_control.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "reports/config_report.h"
#include "texts/texts.h"
#include "ui/window_texts.h"

namespace kvn {

void PrintTo(const ReportRow& row, std::ostream* os) {
  *os << "{" << int(row.kind) << " '" << row.label.toStdString() << "' [";
  for (const QString& cell : row.cells) *os << "'" << cell.toStdString() << "' ";
  *os << "] '" << row.unit.toStdString() << "' " << row.half_lines << "}";
}

namespace test {
namespace {

// What the report printed before it drew from the set: the texts of the window's controls,
// looked up by name in one page.
class WindowSource : public ReportSource {
 public:
  WindowSource(const QWidget& window, int container) : window_(window), container_(container) {}
  QString Text(const QString& name) const override {
    const QWidget* w = FindControl(window_, name, container_);
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text();
    if (auto* list = qobject_cast<const QComboBox*>(w)) return list->currentText();
    ADD_FAILURE() << "the window has no text control " << name.toStdString();
    return {};
  }
  bool Ticked(const QString& name) const override {
    const auto* box = qobject_cast<const QCheckBox*>(FindControl(window_, name, container_));
    if (!box) ADD_FAILURE() << "the window has no check box " << name.toStdString();
    return box && box->isChecked();
  }

 private:
  const QWidget& window_;
  int container_;
};

class ReportRows;
using Change = void (*)(ReportRows&);

struct SetCase {
  const char* name;
  Change change = nullptr;
  bool read = true;                          // false: the window as it starts, nothing read
  QChar separator = QLatin1Char('.');        // the locale's decimal separator
  // The caption of the one row the set prints otherwise than the window shows it, or none.
  const char* differs = nullptr;
};

class ReportRows : public LiveApp, public ::testing::WithParamInterface<SetCase> {
 public:
  using LiveApp::app;
  using LiveApp::Control;
  using LiveApp::prompts;
  // The engineer's ways of changing the set.
  void Choose(const char* name, int index) {
    auto* combo = Control<QComboBox>(name);
    combo->setCurrentIndex(index);
    app->form.TakeCheckOrChoice(combo);
  }
  void Tick(const char* name, bool ticked) { Control<QCheckBox>(name)->setChecked(ticked); }
  // Numbers are typed with the locale's decimal separator.
  void Type(const char* name, QString text) {
    auto* field = Control<QLineEdit>(name);
    field->setText(text.replace(QLatin1Char('.'), app->codec.DecimalSeparator()));
    app->form.TakeEdit(field);
  }
  // A set the window takes whole, as from a file: EditImage changed, then the form filled.
  template <typename F>
  void Load(F change) {
    change(app->images->EditImage);
    app->form.FillControls();
  }
  void SetCaption(const char* key, const QString& text) {
    for (int i = 0; i < kTextRowCount; ++i)
      if (QLatin1String(TextTable[size_t(i)].key) == QLatin1String(key)) app->texts.CurrentTexts[i] = text;
  }

 protected:
  void SetUp() override {
    decimalSeparator = GetParam().separator;
    LiveApp::SetUp();
    StartProgram();
    Poll();
    if (GetParam().read) {
      app->connection->cmd_read_paramClick();
      ASSERT_TRUE(app->setup.setup_loaded);
      Poll();
    }
    prompts.ClearCalls();
  }
  ConfigReportInput SetInput() const {
    return ConfigReportInput{app->images->EditImage, app->texts, app->codec, ReportPageOrder(), {}, {}, {},
                             app->form.RowsShownEmpty()};
  }
};

TEST_P(ReportRows, FromTheSetEqualTheWindowsControls) {
  if (GetParam().change) GetParam().change(*this);
  ASSERT_TRUE(prompts.TextsOf(RecordingPrompts::Kind::Error).isEmpty()) << prompts.Describe().toStdString();
  const ConfigReportInput input = SetInput();
  QStringList missing;
  const SetSource fromSet(input, &missing);
  for (int page : ReportPageOrder()) {
    const std::vector<ReportRow> drawn = BuildReportPage(fromSet, app->texts, page).rows;
    const std::vector<ReportRow> shown =
        BuildReportPage(WindowSource(app->Window(), page), app->texts, page).rows;
    ASSERT_EQ(drawn.size(), shown.size()) << "page " << page;
    for (size_t i = 0; i < drawn.size(); ++i) {
      if (GetParam().differs && shown[i].label == Text(GetParam().differs))
        EXPECT_NE(drawn[i], shown[i]) << "page " << page << ", row " << i;
      else
        EXPECT_EQ(drawn[i], shown[i]) << "page " << page << ", row " << i;
    }
  }
  EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1Char(' ')).toStdString();
}

void ChangeRelayMatrix(ReportRows& t) {
  for (int k = 1; k <= 5; ++k) t.Tick(qPrintable(QStringLiteral("chk_latch_%1").arg(k)), k % 2 == 1);
  t.Tick("chk_invert_3", true);
  t.Tick("chk_vmin_5", true);
  t.Type("txt_oneshot_4", QStringLiteral("2.5"));
  t.Type("txt_vmax_lim_2", QStringLiteral("3150"));
  t.Type("txt_amax_del_5", QStringLiteral("0.3"));
}
// An emptied field prints empty, and so does its block's CRC.
void EmptySomeFields(ReportRows& t) {
  t.Type("txt_rated_sp", QString());
  t.Type("txt_vmax_hyst_3", QString());
}
void WriteLevel(RegisterImage& set, int sensorType, float absolute) {
  WriteFloat(set, reg::OffsetVoltage, 1.75f);
  set[size_t(ParamRegs().sensorType)] = sensorType;
  WriteFloat(set, ParamRegs().triggerLevelU, absolute);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, ReportRows,
    ::testing::Values(
        SetCase{"factory_set_read_from_the_device"},
        // Before any read the inverted USB box shows unticked over a zero register: the set
        // says ticked, and the report prints the set.
        SetCase{"nothing_read_yet", nullptr, false, QLatin1Char('.'), "lbl_usb_act"},
        SetCase{"relay_matrix_decimal_comma", ChangeRelayMatrix, true, QLatin1Char(',')},
        SetCase{"fields_left_empty", EmptySomeFields},
        SetCase{"sensor_2_wire_current",
                [](ReportRows& t) {
                  t.Choose("cmb_sens_type", 0);
                  t.Type("txt_level_i", QStringLiteral("7.25"));
                }},
        // The field shows the level above the offset; the register holds it with the offset.
        SetCase{"sensor_2_wire_voltage_typed",
                [](ReportRows& t) {
                  t.Load([](RegisterImage& set) { WriteLevel(set, 1, 5.0f); });
                  t.Choose("cmb_sens_type", 2);
                  t.Type("txt_level_u", QStringLiteral("4.1"));
                }},
        SetCase{"sensor_2_wire_voltage_below_the_offset",
                [](ReportRows& t) { t.Load([](RegisterImage& set) { WriteLevel(set, 2, 0.5f); }); }},
        // The rated speed sets the decimals of the speeds on every page.
        SetCase{"rated_speed_7_5",
                [](ReportRows& t) { t.Load([](RegisterImage& set) { WriteFloat(set, ParamRegs().ratedSpeed, 7.5f); }); }},
        SetCase{"boxes_and_lists_changed",
                [](ReportRows& t) {
                  for (const char* box : {"chk_latch_sens_err", "chk_usb_act", "chk_aout_chk_dis"})
                    t.Tick(box, !t.Control<QCheckBox>(box)->isChecked());
                  const std::pair<const char*, int> choices[] = {{"cmb_baud_485", 5}, {"cmb_parity", 2},
                                                                 {"cmb_adm_vstr", 4}, {"cmb_trig_edge", 1},
                                                                 {"cmb_ppchk_act", 1}};
                  for (const auto& [list, index] : choices) t.Choose(list, index);
                  t.Type("txt_usr_tag1", QStringLiteral("  Pump 7  "));
                }},
        // Latch bits the factory forces on show ticked whatever the set says.
        SetCase{"latch_bits_forced",
                [](ReportRows& t) { t.Load([](RegisterImage& set) { WriteInt32(set, reg::LatchForceMask, 0xA5A5); }); }},
        // Captions, units, headings and list items of a language pack, the set taken after.
        SetCase{"language_pack",
                [](ReportRows& t) {
                  t.SetCaption("lbl_config_usr", QStringLiteral("Konfiguration – Benutzer"));
                  t.SetCaption("lbl_rated_sp", QStringLiteral("Nenndrehzahl"));
                  t.SetCaption("lbl_u_baud_485", QStringLiteral("Baud"));
                  t.SetCaption("lbl_relay_2", QStringLiteral("Relais 2"));
                  t.SetCaption("lbl_to_aout_swing", QStringLiteral("bis"));
                  t.SetCaption("cmb_parity", QStringLiteral("keine|gerade|ungerade"));
                  ApplyTexts(t.app->Window(), t.app->texts, t.prompts);
                  t.app->form.FillControls();
                }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace test
}  // namespace kvn

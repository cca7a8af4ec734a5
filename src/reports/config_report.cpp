#include "reports/config_report.h"

#include <span>

#include "parameters/field_kinds.h"
#include "parameters/parameter_pages.h"
#include "reports/report_page.h"
#include "reports/report_row_layout.h"
#include "texts/containers.h"
#include "texts/texts.h"

namespace kvn {
namespace {

enum ReportText {
  kConfigTitle = 2,  // "Korvane configuration report"
  kRelayOn = 6,   // relay matrix
  kRelayOff = 7,
  kSwitchOn = 8,  // diagnostics switches
  kSwitchOff = 9,
};

constexpr int kRelayColumns = 5;

// How one printed row is made from the page's controls.
enum class Make {
  Gap,           // n half lines
  Heading,       // a: the heading label
  Value,         // a label, b value control, c unit label (or none)
  Switch,        // a: suffix; lbl_<a>, "ON"/"OFF" of chk_<a>
  Range,         // a label, b from, c word, d to, e unit
  RelayHeaders,  // the captions of the five output columns
  RelayValues,   // a: suffix; lbl_<a>, txt_<a>_1..5, lbl_u_<a>
  RelaySwitch,   // a: suffix; lbl_<a>, "ON"/"OFF" of chk_<a>_1..5
};

struct RowSpec {
  Make make;
  const char* a = nullptr;
  const char* b = nullptr;
  const char* c = nullptr;
  const char* d = nullptr;
  const char* e = nullptr;
  int n = 0;
};

constexpr RowSpec Gap(int halfLines) { return {Make::Gap, nullptr, nullptr, nullptr, nullptr, nullptr, halfLines}; }
constexpr RowSpec Heading(const char* label) { return {Make::Heading, label}; }
constexpr RowSpec Value(const char* label, const char* value, const char* unit = nullptr) {
  return {Make::Value, label, value, unit};
}
constexpr RowSpec Switch(const char* suffix) { return {Make::Switch, suffix}; }
constexpr RowSpec Range(const char* label, const char* from, const char* word, const char* to,
                        const char* unit) {
  return {Make::Range, label, from, word, to, unit};
}
constexpr RowSpec RelayHeaders() { return {Make::RelayHeaders}; }
constexpr RowSpec RelayValues(const char* suffix) { return {Make::RelayValues, suffix}; }
constexpr RowSpec RelaySwitch(const char* suffix) { return {Make::RelaySwitch, suffix}; }

// The space before a page's first heading and before every later one.
constexpr RowSpec kFirstHeadingGap = Gap(4);
constexpr RowSpec kHeadingGap = Gap(3);

constexpr RowSpec kDeviceBody[] = {
    kFirstHeadingGap,
    Heading("lbl_config_usr"),
    Value("lbl_usr_tag1", "txt_usr_tag1"),
    Value("lbl_usr_tag2", "txt_usr_tag2"),
    Value("lbl_usr_tag3", "txt_usr_tag3"),
    Value("lbl_usr_comment", "txt_usr_comment"),
    Value("lbl_mod_addr", "txt_mod_addr"),
    Value("lbl_baud_485", "cmb_baud_485", "lbl_u_baud_485"),
    Value("lbl_parity", "cmb_parity"),
    Value("lbl_term", "cmb_term"),
    Value("lbl_crc_dev_usr", "lbl_val_crc_dev_usr"),
    kHeadingGap,
    Heading("lbl_config_admin"),
    Value("lbl_adm_vstr", "cmb_adm_vstr"),
    Value("lbl_adm_tag1", "txt_adm_tag1"),
    Value("lbl_adm_tag2", "txt_adm_tag2"),
    Value("lbl_adm_tag3", "txt_adm_tag3"),
    Value("lbl_adm_comment", "txt_adm_comment"),
    Value("lbl_crc_dev_adm", "lbl_val_crc_dev_adm"),
};

constexpr RowSpec kMeasureBody[] = {
    kFirstHeadingGap,
    Heading("lbl_measurement"),
    Value("lbl_meas_type", "cmb_meas_type"),
    Value("lbl_sens_srfc", "cmb_sens_srfc"),
    Value("lbl_module", "txt_module"),
    Value("lbl_teeth", "txt_teeth"),
    Value("lbl_rated_sp", "txt_rated_sp", "lbl_u_rated_sp"),
    Value("lbl_sens_type", "cmb_sens_type"),
    Value("lbl_level_i", "txt_level_i", "lbl_u_level_i"),
    Value("lbl_level_u", "txt_level_u", "lbl_u_level_u"),
    Value("lbl_sens_cut_in", "txt_sens_cut_in", "lbl_u_sens_cut_in"),
    Value("lbl_trig_edge", "cmb_trig_edge"),
    kHeadingGap,
    Heading("lbl_measure_adv"),
    Value("lbl_avg_speed", "txt_avg_speed", "lbl_u_avg_speed"),
    Value("lbl_resp_time", "lbl_val_resp_time", "lbl_u_resp_time"),
    Value("lbl_avg_acc", "txt_avg_acc", "lbl_u_avg_acc"),
    Value("lbl_look_depth", "txt_look_depth", "lbl_u_look_depth"),
    Value("lbl_look_fact", "txt_look_fact"),
    Value("lbl_crc_measure", "lbl_val_crc_measure"),
};

constexpr RowSpec kOutputBody[] = {
    kFirstHeadingGap,
    Heading("lbl_digital_out"),
    RelayHeaders(),
    RelaySwitch("latch"),
    RelaySwitch("invert"),
    RelayValues("oneshot"),
    RelaySwitch("diag_active"),
    RelaySwitch("ppt_active"),
    Gap(1),
    RelaySwitch("vmax"),
    RelayValues("vmax_lim"),
    RelayValues("vmax_hyst"),
    RelayValues("vmax_del"),
    Gap(1),
    RelaySwitch("vmin"),
    RelayValues("vmin_lim"),
    RelayValues("vmin_hyst"),
    RelayValues("vmin_del"),
    Gap(1),
    RelaySwitch("amax"),
    RelayValues("amax_lim"),
    RelayValues("amax_hyst"),
    RelayValues("amax_del"),
    Gap(2),
    Value("lbl_acc_cutoff", "txt_acc_cutoff", "lbl_u_acc_cutoff"),
    kHeadingGap,
    Heading("lbl_analog_out"),
    Value("lbl_aout_v4ma", "txt_aout_v4ma", "lbl_u_aout_v4ma"),
    Value("lbl_aout_v20ma", "txt_aout_v20ma", "lbl_u_aout_v20ma"),
    Range("lbl_aout_swing", "txt_aout_min", "lbl_to_aout_swing", "txt_aout_max", "lbl_u_aout_swing"),
    Value("lbl_aout_err_val", "txt_aout_err_val", "lbl_u_aout_err_val"),
    Value("lbl_crc_output", "lbl_val_crc_output"),
};

constexpr RowSpec kDiagBody[] = {
    kFirstHeadingGap,
    Heading("lbl_diagnostics"),
    Range("lbl_sens_lim_i", "txt_sens_lim_i_min", "lbl_to_sens_lim_i", "txt_sens_lim_i_max",
          "lbl_u_sens_lim_i"),
    Range("lbl_sens_lim_u", "txt_sens_lim_u_min", "lbl_to_sens_lim_u", "txt_sens_lim_u_max",
          "lbl_u_sens_lim_u"),
    Switch("latch_sens_err"),
    Switch("latch_thrs_err"),
    Value("lbl_bad_pulse", "txt_bad_pulse", "lbl_u_bad_pulse"),
    Switch("latch_badp_err"),
    Gap(3),
    Value("lbl_diag_aouterr", "txt_diag_aouterr", "lbl_u_diag_aouterr"),
    Switch("latch_out_err"),
    Switch("aout_chk_dis"),
    Switch("aout_err_rise"),
    Gap(3),
    Value("lbl_ppchk_act", "cmb_ppchk_act"),
    Switch("usb_act"),
    Switch("latch_usb"),
    Switch("dis_init_safe"),
    Gap(3),
    Switch("latch_sft"),
    Switch("latch_nsf"),
    Switch("latch_inv_param"),
    Switch("latch_fact"),
    Switch("latch_main_suppl"),
    Switch("latch_rail_suppl"),
    Switch("latch_cpu_suppl"),
    Switch("latch_cpu_temp"),
    Switch("latch_slv_suppl"),
    Switch("latch_slv_com_err"),
    Switch("latch_uart_wdg"),
    Switch("latch_slv_wdtrg"),
    Switch("latch_slv_errwdg"),
    Value("lbl_crc_diag", "lbl_val_crc_diag"),
};

struct ReportPageSpec {
  int container;
  std::span<const RowSpec> body;
};

// The fixed order of the report's pages.
constexpr ReportPageSpec kReportPages[] = {
    {container::Device, kDeviceBody},
    {container::Measure, kMeasureBody},
    {container::Output, kOutputBody},
    {container::Diag, kDiagBody},
};

constexpr const char* kRelayHeaderLabels[kRelayColumns] = {"lbl_relay_1", "lbl_relay_2",
                                                           "lbl_relay_3", "lbl_relay_4",
                                                           "lbl_pst_out"};

QString Text(const ReportSource& source, const char* name) {
  return name ? source.Text(QString::fromLatin1(name)) : QString();
}

QString Named(const char* prefix, const char* suffix) {
  return QString::fromLatin1(prefix) + QString::fromLatin1(suffix);
}
QString Column(const char* prefix, const char* suffix, int k) {
  return Named(prefix, suffix) + QLatin1Char('_') + QString::number(k);
}

ReportRow Row(ReportRow::Kind kind, QString label, QStringList cells = {}, QString unit = {}) {
  return {kind, std::move(label), std::move(cells), std::move(unit), 0};
}

ReportRow MakeRow(const RowSpec& s, const ReportSource& page, const Texts& texts) {
  using K = ReportRow::Kind;
  switch (s.make) {
    case Make::Gap:
      return {K::Space, {}, {}, {}, s.n};
    case Make::Heading:
      return Row(K::Heading, Text(page, s.a));
    case Make::Value:
      return Row(K::Value, Text(page, s.a), {Text(page, s.b).trimmed()}, Text(page, s.c).trimmed());
    case Make::Switch: {
      const bool on = page.Ticked(Named("chk_", s.a));
      return Row(K::Value, page.Text(Named("lbl_", s.a)),
                 {texts.GetReportText(on ? kSwitchOn : kSwitchOff)});
    }
    case Make::Range:
      return Row(K::Range, Text(page, s.a),
                 {Text(page, s.b).trimmed(), Text(page, s.c).trimmed(), Text(page, s.d).trimmed()},
                 Text(page, s.e).trimmed());
    case Make::RelayHeaders: {
      QStringList captions;
      for (const char* name : kRelayHeaderLabels) captions << Text(page, name);
      return Row(K::ColumnHeaders, {}, captions);
    }
    case Make::RelayValues: {
      QStringList values;
      for (int k = 1; k <= kRelayColumns; ++k) values << page.Text(Column("txt_", s.a, k));
      return Row(K::Relay, page.Text(Named("lbl_", s.a)), values,
                 page.Text(Named("lbl_u_", s.a)).trimmed());
    }
    case Make::RelaySwitch: {
      QStringList states;
      for (int k = 1; k <= kRelayColumns; ++k)
        states << texts.GetReportText(page.Ticked(Column("chk_", s.a, k)) ? kRelayOn : kRelayOff);
      return Row(K::Relay, page.Text(Named("lbl_", s.a)), states);
    }
  }
  return {};
}

const ReportPageSpec* PageSpec(int container) {
  for (const ReportPageSpec& p : kReportPages)
    if (p.container == container) return &p;
  return nullptr;
}

}  // namespace

std::vector<int> ReportPageOrder() {
  std::vector<int> pages;
  for (const ReportPageSpec& p : kReportPages) pages.push_back(p.container);
  return pages;
}

// --- The set as the pages show it ------------------------------------------------------------

QString SetSource::Text(const QString& name) const {
  const std::string key = name.toStdString();
  if (const ParameterDescriptor* row = FindParameter(key)) {
    const FieldKind* kind = KindOf(row->fieldType);
    if (kind == nullptr || kind->control == ControlKind::CheckBox) {
      Missing(name + QStringLiteral(" (no text)"));
      return {};
    }
    if (in_.rowsShownEmpty[static_cast<size_t>(FindParameterRow(key) - 1)]) return {};
    // Below access level 1 the password block's CRC stays hidden; no report page prints it.
    const FieldShown shown = kind->show(ShowContext{in_.numbers, in_.set, 0}, *row);
    return ControlText(in_.texts, *kind, shown, *row);
  }
  if (pages::PageTextOf(key) == nullptr && MainWindowLabelRow(name) == nullptr) Missing(name);
  return LabelShownText(in_.texts, key);
}

bool SetSource::Ticked(const QString& name) const {
  const ParameterDescriptor* row = FindParameter(name.toStdString());
  const FieldKind* kind = row != nullptr ? KindOf(row->fieldType) : nullptr;
  if (kind == nullptr || kind->control != ControlKind::CheckBox) {
    Missing(name + QStringLiteral(" (no check box)"));
    return false;
  }
  return kind->show(ShowContext{in_.numbers, in_.set, 0}, *row).checked;
}

void SetSource::Missing(const QString& name) const {
  if (missing_ && !missing_->contains(name)) missing_->append(name);
}

// --- Rows --------------------------------------------------------------------------------

ReportPageRows BuildReportPage(const ReportSource& source, const Texts& texts, int container) {
  ReportPageRows page{container, {}};
  const ReportPageSpec* spec = PageSpec(container);
  if (!spec) return page;
  for (const RowSpec& s : spec->body) page.rows.push_back(MakeRow(s, source, texts));
  return page;
}

std::vector<ReportPageRows> BuildConfigurationReport(const ConfigReportInput& input) {
  const SetSource source(input);
  std::vector<ReportPageRows> pages;
  for (int page : input.pages) pages.push_back(BuildReportPage(source, input.texts, page));
  return pages;
}

void DrawReportRows(QPainter& surface, ReportLayout& l, const std::vector<ReportRow>& rows) {
  DrawPlacedTexts(surface, LayOutReportRows(surface, l, rows));
}

// --- File --------------------------------------------------------------------------------

bool WriteConfigurationReport(const QString& path, const ConfigReportInput& input, QString* error) {
  const std::vector<ReportPageRows> rows = BuildConfigurationReport(input);
  const QString title = input.texts.GetReportText(kConfigTitle);
  const ReportHeaderFacts facts =
      HeaderFacts(input.texts, input.now, input.separators, input.serialNumber);
  return WriteReportDocument(path, title, error, [&](ReportDocument& document) {
    ReportLayout& layout = document.layout;
    layout.page_count = static_cast<int>(rows.size());
    layout.page_no = 1;
    for (const ReportPageRows& page : rows) {
      QPainter& surface = layout.page_no == 1 ? document.Surface() : next_report_page(document);
      draw_page_header(surface, layout, title, facts);
      DrawReportRows(surface, layout, page.rows);
      ++layout.page_no;
    }
  });
}

}  // namespace kvn

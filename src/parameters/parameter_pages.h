#pragma once
// The rows of the four parameter pages: the window builds its pages from them, and a
// parameter's caption, unit and drop-down items are named here for texts shown without a
// widget (comparisons, the change history).
#include <optional>
#include <span>
#include <string_view>

#include "parameters/page_rows.h"

namespace kvn::pages {

// --- DEVICE page ---
inline constexpr Row kUserRows[] = {
    {"usr_tag1", "Location tag", {Edit("txt_usr_tag1", Width::Text16)}},
    {"usr_tag2", "Machine tag", {Edit("txt_usr_tag2", Width::Text16)}},
    {"usr_tag3", "Device tag", {Edit("txt_usr_tag3", Width::Text16)}},
    {"usr_comment", "Device comment", {Edit("txt_usr_comment", Width::Text32)}},
    {"mod_addr", "MODBUS address", {Edit("txt_mod_addr")}},
    {"baud_485", "MODBUS transmission speed",
     {Combo("cmb_baud_485", "4800|9600|19200|38400|57600|115200"), Unit("lbl_u_baud_485", "baud")}},
    {"parity", "MODBUS parity check", {Combo("cmb_parity", "none|even|odd")}},
    {"term", "MODBUS line termination", {Combo("cmb_term", "Inactive|Active")}},
    {"crc_dev_usr", "DEVICE user settings CRC", {Value("lbl_val_crc_dev_usr")}},
};

inline constexpr Row kAdminRows[] = {
    {"adm_vstr", "Voting structure", {Combo("cmb_adm_vstr", "1oo1|1oo2|2oo2|1oo3|2oo3|3oo3")}},
    {"adm_tag1", "Trip chain ID", {Edit("txt_adm_tag1", Width::Text16)}},
    {"adm_tag2", "Trip chain position", {Edit("txt_adm_tag2", Width::Text16)}},
    {"adm_tag3", "Admin tag", {Edit("txt_adm_tag3", Width::Text16)}},
    {"adm_comment", "Device comment", {Edit("txt_adm_comment", Width::Text32)}},
    {"crc_dev_adm", "DEVICE admin settings CRC", {Value("lbl_val_crc_dev_adm")}},
};

inline constexpr Row kPasswordRows[] = {
    {"password", "Change admin password",
     {Link("lbl_show_pass", "Show password..."), Masked("txt_password"),
      Check("chk_act_pass", kNone, "Activate")}},
    {"pass_crc", "Admin password CRC", {Value("lbl_val_pass_crc")}},
};

// --- MEASURE page ---
inline constexpr Row kMeasureRows[] = {
    {"meas_type", "Measurement direction", {Combo("cmb_meas_type", "Axial|Radial|Tangential")}},
    {"sens_srfc", "Speed sensing surface",
     {Combo("cmb_sens_srfc", "Involuted|Squared|Pole band|Rounded")}},
    {"module", "Speed wheel module", {Edit("txt_module")}},
    {"teeth", "No. of pulses per revolution", {Edit("txt_teeth")}},
    {"rated_sp", "Rated speed", {Edit("txt_rated_sp"), Unit("lbl_u_rated_sp", "RPM")}},
    {"sens_type", "Sensor type",
     {Combo("cmb_sens_type", "2-Wire current|3-Wire voltage|2-Wire voltage")}},
    {"level_i", "Trigger level - current", {Edit("txt_level_i"), Unit("lbl_u_level_i", "mA")}},
    {"level_u", "Trigger level - voltage",
     {Edit("txt_level_u"), Unit("lbl_u_level_u", "V"), Word("lbl_level_u_off", "Trigger + System offset"),
      Info("lbl_i_level_u_off"), Value("lbl_val_level_u_off"), Unit("lbl_u_level_u_off", "V")}},
    {"sens_cut_in", "Sensor cut-in frequency",
     {Edit("txt_sens_cut_in"), Unit("lbl_u_sens_cut_in", "Hz"), Word("lbl_cut_in_rpm", "Corresponding speed"),
      Info("lbl_i_cut_in_rpm"), Value("lbl_val_cut_in_rpm"), Unit("lbl_u_cut_in_rpm", "RPM")}},
    {"trig_edge", "Trigger edge", {Combo("cmb_trig_edge", "Rising|Falling")}},
};

inline constexpr Row kAdvancedRows[] = {
    {"avg_speed", "Frequency calculation averaging",
     {Edit("txt_avg_speed"), Unit("lbl_u_avg_speed", "Pulses")}},
    {"resp_time", "Calc. reaction time (Th + Tm)",
     {Value("lbl_val_resp_time"), Unit("lbl_u_resp_time", "ms")}},
    {"avg_acc", "Acceleration calc. averaging", {Edit("txt_avg_acc"), Unit("lbl_u_avg_acc", "Pulses")}},
    {"look_depth", "Acceleration lookup depth",
     {Edit("txt_look_depth"), Unit("lbl_u_look_depth", "Pulses")}},
    {"look_fact", "Acceleration lookup factor", {Edit("txt_look_fact")}},
    {"crc_measure", "MEASUREMENT settings CRC", {Value("lbl_val_crc_measure")}},
};

// --- OUTPUT page ---
inline constexpr int kRelayColumn = 96;

// Relays 1..4 and the digital output; every row of the table has one control per column.
inline constexpr Column kOutputColumns[] = {
    {"lbl_relay_1", "Relay 1", kRelayColumn}, {"lbl_relay_2", "Relay 2", kRelayColumn},
    {"lbl_relay_3", "Relay 3", kRelayColumn}, {"lbl_relay_4", "Relay 4", kRelayColumn},
    {"lbl_pst_out", "Digital output", kRelayColumn},
};

// The safety relays 1 and 2 are always inverted and always switched by diagnostics.
inline constexpr Row kOutputRows[] = {
    {"latch", "Latching",
     {Check("chk_latch_1"), Check("chk_latch_2"), Check("chk_latch_3"), Check("chk_latch_4"),
      Check("chk_latch_5")}},
    {"invert", "Inverted",
     {Check("chk_invert_1", kDisabled | kTicked), Check("chk_invert_2", kDisabled | kTicked),
      Check("chk_invert_3"), Check("chk_invert_4"), Check("chk_invert_5")}},
    {"oneshot", "One shot time",
     {Edit("txt_oneshot_1"), Edit("txt_oneshot_2"), Edit("txt_oneshot_3"), Edit("txt_oneshot_4"),
      Edit("txt_oneshot_5"), Unit("lbl_u_oneshot", "s")}},
    {"diag_active", "Diagnostics (safe state)",
     {Check("chk_diag_active_1", kDisabled | kTicked), Check("chk_diag_active_2", kDisabled | kTicked),
      Check("chk_diag_active_3"), Check("chk_diag_active_4"), Check("chk_diag_active_5")}},
    {"ppt_active", "Test and reset",
     {Check("chk_ppt_active_1"), Check("chk_ppt_active_2"), Check("chk_ppt_active_3"),
      Check("chk_ppt_active_4"), Check("chk_ppt_active_5")}},
    {"vmax", "Overspeed",
     {Check("chk_vmax_1"), Check("chk_vmax_2"), Check("chk_vmax_3"), Check("chk_vmax_4"),
      Check("chk_vmax_5")}},
    {"vmax_lim", "Overspeed limit",
     {Edit("txt_vmax_lim_1"), Edit("txt_vmax_lim_2"), Edit("txt_vmax_lim_3"),
      Edit("txt_vmax_lim_4"), Edit("txt_vmax_lim_5"), Unit("lbl_u_vmax_lim", "RPM")}},
    {"vmax_hyst", "Overspeed hysteresis",
     {Edit("txt_vmax_hyst_1"), Edit("txt_vmax_hyst_2"), Edit("txt_vmax_hyst_3"),
      Edit("txt_vmax_hyst_4"), Edit("txt_vmax_hyst_5"), Unit("lbl_u_vmax_hyst", "RPM")}},
    {"vmax_del", "Overspeed delay",
     {Edit("txt_vmax_del_1"), Edit("txt_vmax_del_2"), Edit("txt_vmax_del_3"),
      Edit("txt_vmax_del_4"), Edit("txt_vmax_del_5"), Unit("lbl_u_vmax_del", "s")}},
    {"vmin", "Underspeed",
     {Check("chk_vmin_1"), Check("chk_vmin_2"), Check("chk_vmin_3"), Check("chk_vmin_4"),
      Check("chk_vmin_5")}},
    {"vmin_lim", "Underspeed limit",
     {Edit("txt_vmin_lim_1"), Edit("txt_vmin_lim_2"), Edit("txt_vmin_lim_3"),
      Edit("txt_vmin_lim_4"), Edit("txt_vmin_lim_5"), Unit("lbl_u_vmin_lim", "RPM")}},
    {"vmin_hyst", "Underspeed hysteresis",
     {Edit("txt_vmin_hyst_1"), Edit("txt_vmin_hyst_2"), Edit("txt_vmin_hyst_3"),
      Edit("txt_vmin_hyst_4"), Edit("txt_vmin_hyst_5"), Unit("lbl_u_vmin_hyst", "RPM")}},
    {"vmin_del", "Underspeed delay",
     {Edit("txt_vmin_del_1"), Edit("txt_vmin_del_2"), Edit("txt_vmin_del_3"),
      Edit("txt_vmin_del_4"), Edit("txt_vmin_del_5"), Unit("lbl_u_vmin_del", "s")}},
    {"amax", "Acceleration",
     {Check("chk_amax_1"), Check("chk_amax_2"), Check("chk_amax_3"), Check("chk_amax_4"),
      Check("chk_amax_5")}},
    {"amax_lim", "Acceleration limit",
     {Edit("txt_amax_lim_1"), Edit("txt_amax_lim_2"), Edit("txt_amax_lim_3"),
      Edit("txt_amax_lim_4"), Edit("txt_amax_lim_5"), Unit("lbl_u_amax_lim", "RPM/s")}},
    {"amax_hyst", "Acceleration hystersis",
     {Edit("txt_amax_hyst_1"), Edit("txt_amax_hyst_2"), Edit("txt_amax_hyst_3"),
      Edit("txt_amax_hyst_4"), Edit("txt_amax_hyst_5"), Unit("lbl_u_amax_hyst", "RPM/s")}},
    {"amax_del", "Acceleration delay",
     {Edit("txt_amax_del_1"), Edit("txt_amax_del_2"), Edit("txt_amax_del_3"),
      Edit("txt_amax_del_4"), Edit("txt_amax_del_5"), Unit("lbl_u_amax_del", "s")}},
};

inline constexpr Row kAccelerationCutInRows[] = {
    {"acc_cutoff", "Acceleration cut-in speed",
     {Edit("txt_acc_cutoff"), Unit("lbl_u_acc_cutoff", "RPM")}},
};

inline constexpr Row kAnalogRows[] = {
    {"aout_v4ma", "Speed value for 4 mA", {Edit("txt_aout_v4ma"), Unit("lbl_u_aout_v4ma", "RPM")}},
    {"aout_v20ma", "Speed value for 20 mA",
     {Edit("txt_aout_v20ma"), Unit("lbl_u_aout_v20ma", "RPM")}},
    {"aout_swing", "Analog output range",
     {Edit("txt_aout_min"), Word("lbl_to_aout_swing", "to"), Edit("txt_aout_max"),
      Unit("lbl_u_aout_swing", "mA")}},
    {"aout_err_val", "Error output current",
     {Edit("txt_aout_err_val"), Unit("lbl_u_aout_err_val", "mA")}},
    {"crc_output", "OUTPUT settings CRC", {Value("lbl_val_crc_output")}},
};

// --- DIAG page ---
inline constexpr Row kDiagRows[] = {
    {"sens_lim_i", "Sensor 'OK' current range",
     {Edit("txt_sens_lim_i_min"), Word("lbl_to_sens_lim_i", "to"), Edit("txt_sens_lim_i_max"),
      Unit("lbl_u_sens_lim_i", "mA")}},
    {"sens_lim_u", "Sensor 'OK' voltage range",
     {Edit("txt_sens_lim_u_min"), Word("lbl_to_sens_lim_u", "to"), Edit("txt_sens_lim_u_max"),
      Unit("lbl_u_sens_lim_u", "V")}},
    {"latch_sens_err", "Latch sensor error", {Check("chk_latch_sens_err")}},
    {"latch_thrs_err", "Latch threshold readback error", {Check("chk_latch_thrs_err")}},
    {"bad_pulse", "Bad pulse window",
     {Edit("txt_bad_pulse"), Unit("lbl_u_bad_pulse", "s"), Word("lbl_frq_badp", "Frequency limit"),
      Info("lbl_i_frq_badp"), Value("lbl_val_frq_badp"), Unit("lbl_u_frq_badp", "Hz")}},
    {"latch_badp_err", "Latch bad pulses error", {Check("chk_latch_badp_err")}},
    {"diag_aouterr", "Analog output readback difference",
     {Edit("txt_diag_aouterr"), Unit("lbl_u_diag_aouterr", "mA")}},
    {"latch_out_err", "Latch analog-out readback error", {Check("chk_latch_out_err", kHidden)}},
    {"aout_chk_dis", "Disable analog output check", {Check("chk_aout_chk_dis")}},
    {"aout_err_rise", "Disable analog error raising", {Check("chk_aout_err_rise")}},
    {"ppchk_act", "Test and reset action",
     {Combo("cmb_ppchk_act", "Run 'Test and reset'|Run 'Diagnostics' and 'Test and reset'",
            Width::WideCombo)}},
    {"usb_act", "Disable USB safe state", {Check("chk_usb_act")}},
    {"latch_usb", "Latch USB activation", {Check("chk_latch_usb")}},
    {"dis_init_safe", "Disable initial safe state", {Check("chk_dis_init_safe")}},
    {"latch_sft", "Latch safety parameter error", {Check("chk_latch_sft")}},
    {"latch_nsf", "Latch non-safety parameter error", {Check("chk_latch_nsf")}},
    {"latch_inv_param", "Latch invalid parameter error", {Check("chk_latch_inv_param")}},
    {"latch_fact", "Latch factory settings error", {Check("chk_latch_fact")}},
    {"latch_main_suppl", "Latch main supply error", {Check("chk_latch_main_suppl")}},
    {"latch_rail_suppl", "Latch rail supply error", {Check("chk_latch_rail_suppl")}},
    {"latch_cpu_suppl", "Latch CPU supply error", {Check("chk_latch_cpu_suppl")}},
    {"latch_cpu_temp", "Latch CPU temperature error", {Check("chk_latch_cpu_temp")}},
    {"latch_slv_suppl", "Latch slave supply error", {Check("chk_latch_slv_suppl")}},
    {"latch_slv_com_err", "Latch slave communication error", {Check("chk_latch_slv_com_err")}},
    {"latch_uart_wdg", "Latch slave UART watchdog", {Check("chk_latch_uart_wdg")}},
    {"latch_slv_wdtrg", "Latch slave runtime watchdog", {Check("chk_latch_slv_wdtrg")}},
    {"latch_slv_errwdg", "Latch slave startup watchdog", {Check("chk_latch_slv_errwdg")}},
    {"crc_diag", "DIAGNOSTICS settings CRC", {Value("lbl_val_crc_diag")}},
};

// The heading label above one or more sections: its name (the text-table key) and caption.
struct Heading {
  const char* name = nullptr;
  const char* caption = nullptr;
};

// A section of a page: the heading it starts (none when it continues the section above), its
// grid panel, its rows and, for a table, its column headings.
struct Section {
  Heading heading;
  const char* panel;
  std::span<const Column> columns;
  std::span<const Row> rows;
};

inline constexpr Section kDeviceSections[] = {
    {{"lbl_config_usr", "Configuration - user"}, "gpl_cfg_user", {}, kUserRows},
    {{"lbl_config_admin", "Configuration - admin"}, "gpl_cfg_admin", {}, kAdminRows},
    {{"lbl_pass_admin", "Password - admin"}, "gpl_pass_admin", {}, kPasswordRows}};
inline constexpr Section kMeasureSections[] = {
    {{"lbl_measurement", "Measurement"}, "gpl_measure", {}, kMeasureRows},
    {{"lbl_measure_adv", "Advanced settings"}, "gpl_measure_adv", {}, kAdvancedRows}};
inline constexpr Section kOutputSections[] = {
    {{"lbl_digital_out", "Digital outputs"}, "gpl_dout", kOutputColumns, kOutputRows},
    {{}, "gpl_dout_acc", {}, kAccelerationCutInRows},
    {{"lbl_analog_out", "Analog output"}, "gpl_aout", {}, kAnalogRows}};
inline constexpr Section kDiagSections[] = {{{"lbl_diagnostics", "Diagnostics"}, "gpl_diag", {}, kDiagRows}};

struct ParameterPage {
  const char* name;  // page name and text-table key of its tab
  const char* caption;
  int container;     // container code of the page's controls
  std::span<const Section> sections;
};

// In the order of the page control.
inline constexpr ParameterPage kParameterPages[] = {
    {"tab_device", "DEVICE", 3, kDeviceSections},
    {"tab_measure", "MEASUREMENT", 4, kMeasureSections},
    {"tab_output", "OUTPUT", 5, kOutputSections},
    {"tab_diag", "DIAGNOSTICS", 6, kDiagSections},
};

// Where a control of the parameter pages stands: its page, the heading of its section, its row
// (the row's caption label is "lbl_" + row name), the heading of its table column when it has
// one, and the unit behind it.
struct ControlPlace {
  const ParameterPage* page = nullptr;
  const Heading* heading = nullptr;
  const Row* row = nullptr;
  const Control* control = nullptr;
  const Column* column = nullptr;  // nullptr outside a table
  const Control* unit = nullptr;   // nullptr when the row has no unit
};
std::optional<ControlPlace> PlaceOfControl(std::string_view name);

// The English text a label of the parameter pages is built with: a section heading, a row's
// caption (lbl_<row>), a table column's heading, or a unit, word or value label inside a row.
// nullptr for a name no label of these pages carries.
const char* PageTextOf(std::string_view labelName);

}  // namespace kvn::pages

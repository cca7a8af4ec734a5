#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

namespace {

using namespace pages;

constexpr int kValueColumn = 100;

constexpr Column kDataColumns[] = {
    {"lbl_dev_curr_val", "Current value", kValueColumn},
    {"lbl_dev_min_val", "Minimum", kValueColumn},
    {"lbl_dev_max_val", "Maximum", kValueColumn},
};

// Column 0 current value, 1 minimum, 2 maximum.
constexpr Row kDataRows[] = {
    {"cpu_vcc", "CPU Vcc", {At(Value("lbl_stat_mst_vcc"), 0), Unit("lbl_u_cpu_vcc", "V")}},
    {"cpu_temp", "CPU temperature", {At(Value("lbl_stat_temp"), 0), Unit("lbl_u_cpu_temp", "°C")}},
    {"rail_volt", "Rail supply voltage",
     {At(Value("lbl_stat_rail_v"), 0), Unit("lbl_u_rail_volt", "V")}},
    {"main_volt", "Main supply voltage",
     {At(Value("lbl_stat_main_v"), 0), Unit("lbl_u_main_volt", "V")}},
    {"slave_vcc", "Slave Vcc",
     {At(Value("lbl_stat_vcc_curr"), 0), At(Value("lbl_stat_vcc_min"), 1),
      At(Value("lbl_stat_vcc_max"), 2), Unit("lbl_u_slave_vcc", "V")}},
    {"sensor_suppl", "Sensor supply voltage",
     {At(Value("lbl_stat_suppl_min"), 1), At(Value("lbl_stat_suppl_max"), 2),
      Unit("lbl_u_sensor_suppl", "V")}},
    {"sens_volt_1", "Sensor voltage - chan. #1",
     {At(Value("lbl_stat_vsens_min_1"), 1), At(Value("lbl_stat_vsens_max_1"), 2),
      Unit("lbl_u_sens_volt_1", "V")}},
    {"sens_volt_2", "Sensor voltage - chan. #2",
     {At(Value("lbl_stat_vsens_min_2"), 1), At(Value("lbl_stat_vsens_max_2"), 2),
      Unit("lbl_u_sens_volt_2", "V")}},
    {"sens_curr_1", "Sensor current - chan. #1",
     {At(Value("lbl_stat_isens_min_1"), 1), At(Value("lbl_stat_isens_max_1"), 2),
      Unit("lbl_u_sens_curr_1", "mA")}},
    {"sens_curr_2", "Sensor current - chan. #2",
     {At(Value("lbl_stat_isens_min_2"), 1), At(Value("lbl_stat_isens_max_2"), 2),
      Unit("lbl_u_sens_curr_2", "mA")}},
    {"current_freq", "Frequency",
     {At(Value("lbl_stat_freq_speed"), 0), Unit("lbl_u_current_freq", "Hz")}},
    {"curr_f_acc", "Frequency acceleration",
     {At(Value("lbl_stat_freq_acc"), 0), Unit("lbl_u_curr_f_acc", "Hz/s")}},
    {"fw_version", "Firmware version", {At(Value("lbl_fw_ver"), 0)}},
    {"fw_crc", "ROM CRC", {At(Value("lbl_rom_crc"), 0)}},
    {"hw_version", "Hardware version", {At(Value("lbl_hw_ver"), 0, 0, 1, 2)}},
};

constexpr Column kErrorColumns[] = {
    {"lbl_err_code", "Error code", kValueColumn},
    {"lbl_err_desc", "Error description", 340},
};

// Four lines of the error list with a scroll bar for lists longer than four entries.
constexpr Row kErrorRows[] = {
    {"err_curr", "Current error",
     {At(Value("lbl_err_hex"), 0), At(Value("lbl_err_text_1"), 1, 0),
      At({"scr_err_lab", Kind::VScroll, "", kDisabled}, 2, 0, 4), At(Value("lbl_err_text_2"), 1, 1),
      At(Value("lbl_err_text_3"), 1, 2), At(Value("lbl_err_text_4"), 1, 3)},
     4},
    {"err_memory", "Error memory",
     {At(Value("lbl_emem_hex"), 0), At(Value("lbl_emem_text_1"), 1, 0),
      At({"scr_emem_lab", Kind::VScroll, "", kDisabled}, 2, 0, 4),
      At(Value("lbl_emem_text_2"), 1, 1), At(Value("lbl_emem_text_3"), 1, 2),
      At(Value("lbl_emem_text_4"), 1, 3)},
     4},
};

constexpr Control kErrorCommands[] = {Button("cmd_reset_err", "Reset error memory", kDisabled)};

}  // namespace

void BuildDeviceStatusPage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_diag_data", "Diagnostic data");
  b.Table("gpl_dev_data", kDataColumns, kDataRows);
  b.Heading("lbl_error_stat", "Error status");
  b.Table("gpl_dev_errors", kErrorColumns, kErrorRows);
  b.ButtonStack(kErrorCommands);
  b.Finish();
}

}  // namespace kvn

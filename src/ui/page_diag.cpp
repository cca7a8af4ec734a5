#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

namespace {

using namespace pages;

constexpr Row kDiagRows[] = {
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

}  // namespace

void BuildDiagPage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_diagnostics", "Diagnostics");
  b.Section("gpl_diag", kDiagRows);
  b.Finish();
}

}  // namespace kvn

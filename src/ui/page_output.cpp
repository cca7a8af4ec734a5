#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

namespace {

using namespace pages;

constexpr int kRelayColumn = 96;

// Relays 1..4 and the digital output; every row of the table has one control per column.
constexpr Column kOutputColumns[] = {
    {"lbl_relay_1", "Relay 1", kRelayColumn}, {"lbl_relay_2", "Relay 2", kRelayColumn},
    {"lbl_relay_3", "Relay 3", kRelayColumn}, {"lbl_relay_4", "Relay 4", kRelayColumn},
    {"lbl_pst_out", "Digital output", kRelayColumn},
};

// The safety relays 1 and 2 are always inverted and always switched by diagnostics.
constexpr Row kOutputRows[] = {
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

constexpr Row kAccelerationCutInRows[] = {
    {"acc_cutoff", "Acceleration cut-in speed",
     {Edit("txt_acc_cutoff"), Unit("lbl_u_acc_cutoff", "RPM")}},
};

constexpr Row kAnalogRows[] = {
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

}  // namespace

void BuildOutputPage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_digital_out", "Digital outputs");
  b.Table("gpl_dout", kOutputColumns, kOutputRows);
  b.Section("gpl_dout_acc", kAccelerationCutInRows);
  b.Heading("lbl_analog_out", "Analog output");
  b.Section("gpl_aout", kAnalogRows);
  b.Finish();
}

}  // namespace kvn

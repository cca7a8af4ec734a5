#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

namespace {

using namespace pages;

constexpr Row kMeasureRows[] = {
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

constexpr Row kAdvancedRows[] = {
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

}  // namespace

void BuildMeasurePage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_measurement", "Measurement");
  b.Section("gpl_measure", kMeasureRows);
  b.Heading("lbl_measure_adv", "Advanced settings");
  b.Section("gpl_measure_adv", kAdvancedRows);
  b.Finish();
}

}  // namespace kvn

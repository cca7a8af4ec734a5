#include "parameters/parameter_table.h"

#include "device_link/block_table.h"

namespace kvn {

namespace {
using T = FieldType;
using S = RangeSource;
using B = BlockId;
}  // namespace

// Columns: name, fieldType, rangeSource, detail, intMin, intMax, floatMin, floatMax, offset,
// minRegister, maxRegister, blockId. The trailing number is the row number.
const std::array<ParameterDescriptor, kParameterRows> ParameterTable = {{
    {"txt_usr_tag1", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::UserConfig},  // 1
    {"txt_usr_tag2", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 8, 0, 0, B::UserConfig},  // 2
    {"txt_usr_tag3", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 16, 0, 0, B::UserConfig},  // 3
    {"txt_usr_comment", T::Text, S::Static, 32, 0, 0, 0.0f, 0.0f, 24, 0, 0, B::UserConfig},  // 4
    {"txt_mod_addr", T::Int16, S::Static, 0, 1, 254, 0.0f, 0.0f, 40, 0, 0, B::UserConfig},  // 5
    {"cmb_baud_485", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 41, 0, 0, B::UserConfig},  // 6
    {"cmb_parity", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 43, 0, 0, B::UserConfig},  // 7
    {"cmb_term", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 44, 0, 0, B::UserConfig},  // 8
    {"lbl_val_crc_dev_usr", T::CrcLabel, S::Static, 0, 0, 1, 0.0f, 0.0f, 45, 0, 0, B::UserConfig},  // 9
    {"cmb_adm_vstr", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 40, 0, 0, B::AdminConfig},  // 10
    {"txt_adm_tag1", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::AdminConfig},  // 11
    {"txt_adm_tag2", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 8, 0, 0, B::AdminConfig},  // 12
    {"txt_adm_tag3", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 16, 0, 0, B::AdminConfig},  // 13
    {"txt_adm_comment", T::Text, S::Static, 32, 0, 0, 0.0f, 0.0f, 24, 0, 0, B::AdminConfig},  // 14
    {"lbl_val_crc_dev_adm", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 41, 0, 0, B::AdminConfig},  // 15
    {"txt_password", T::Password, S::Static, 16, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Password},  // 16
    {"lbl_val_pass_crc", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 9, 0, 0, B::Password},  // 17
    {"cmb_meas_type", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 7, 0, 0, B::Measurement},  // 18
    {"cmb_sens_srfc", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Measurement},  // 19
    {"txt_module", T::Int16, S::Static, 1, 0, 1000, 0.0f, 0.0f, 15, 0, 0, B::Measurement},  // 20
    {"txt_teeth", T::Int16, S::Static, 0, 1, 10000, 0.0f, 0.0f, 1, 0, 0, B::Measurement},  // 21
    {"txt_rated_sp", T::Float, S::Static, -1, 0, 0, 0.0f, 2100000.0f, 8, 0, 0, B::Measurement},  // 22
    {"cmb_sens_type", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Measurement},  // 23
    {"cmb_trig_edge", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 14, 0, 0, B::Measurement},  // 24
    {"txt_level_i", T::Float, S::Static, 2, 0, 0, 0.0f, 20.5f, 10, 0, 0, B::Measurement},  // 25
    {"txt_level_u", T::OffsetLevel, S::Static, 2, 0, 0, 0.0f, 24.0f, 12, 0, 0, B::Measurement},  // 26
    {"txt_sens_cut_in", T::Float, S::Static, 1, 0, 0, 0.0f, 35000.0f, 16, 0, 0, B::Measurement},  // 27
    {"txt_avg_speed", T::Int16, S::Static, 0, 1, 1000, 0.0f, 0.0f, 3, 0, 0, B::Measurement},  // 28
    {"txt_avg_acc", T::Int16, S::Static, 0, 1, 1000, 0.0f, 0.0f, 4, 0, 0, B::Measurement},  // 29
    {"txt_look_depth", T::Int16, S::Static, 0, 1, 5000, 0.0f, 0.0f, 5, 0, 0, B::Measurement},  // 30
    {"txt_look_fact", T::Int16, S::Static, 0, 0, 1000, 0.0f, 0.0f, 6, 0, 0, B::Measurement},  // 31
    {"lbl_val_resp_time", T::ResponseTime, S::Static, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Measurement},  // 32
    {"lbl_val_crc_measure", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 19, 0, 0, B::Measurement},  // 33
    {"chk_latch_1", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Output},  // 34
    {"chk_latch_2", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 1, 0, 0, B::Output},  // 35
    {"chk_latch_3", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Output},  // 36
    {"chk_latch_4", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 3, 0, 0, B::Output},  // 37
    {"chk_latch_5", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 4, 0, 0, B::Output},  // 38
    {"chk_invert_1", T::FixedOn, S::Static, 1, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Output},  // 39
    {"chk_invert_2", T::FixedOn, S::Static, 1, 0, 0, 0.0f, 0.0f, 1, 0, 0, B::Output},  // 40
    {"chk_invert_3", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Output},  // 41
    {"chk_invert_4", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 3, 0, 0, B::Output},  // 42
    {"chk_invert_5", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 4, 0, 0, B::Output},  // 43
    {"txt_oneshot_1", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 6, 0, 0, B::Output},  // 44
    {"txt_oneshot_2", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 8, 0, 0, B::Output},  // 45
    {"txt_oneshot_3", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 10, 0, 0, B::Output},  // 46
    {"txt_oneshot_4", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 12, 0, 0, B::Output},  // 47
    {"txt_oneshot_5", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 14, 0, 0, B::Output},  // 48
    {"chk_diag_active_1", T::FixedOn, S::Static, 6, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Output},  // 49
    {"chk_diag_active_2", T::FixedOn, S::Static, 6, 0, 0, 0.0f, 0.0f, 1, 0, 0, B::Output},  // 50
    {"chk_diag_active_3", T::Bit, S::Static, 6, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Output},  // 51
    {"chk_diag_active_4", T::Bit, S::Static, 6, 0, 0, 0.0f, 0.0f, 3, 0, 0, B::Output},  // 52
    {"chk_diag_active_5", T::Bit, S::Static, 6, 0, 0, 0.0f, 0.0f, 4, 0, 0, B::Output},  // 53
    {"chk_ppt_active_1", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Output},  // 54
    {"chk_ppt_active_2", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 1, 0, 0, B::Output},  // 55
    {"chk_ppt_active_3", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Output},  // 56
    {"chk_ppt_active_4", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 3, 0, 0, B::Output},  // 57
    {"chk_ppt_active_5", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 4, 0, 0, B::Output},  // 58
    {"chk_vmax_1", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Output},  // 59
    {"chk_vmax_2", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 1, 0, 0, B::Output},  // 60
    {"chk_vmax_3", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Output},  // 61
    {"chk_vmax_4", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 3, 0, 0, B::Output},  // 62
    {"chk_vmax_5", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 4, 0, 0, B::Output},  // 63
    {"chk_vmin_1", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Output},  // 64
    {"chk_vmin_2", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 1, 0, 0, B::Output},  // 65
    {"chk_vmin_3", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Output},  // 66
    {"chk_vmin_4", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 3, 0, 0, B::Output},  // 67
    {"chk_vmin_5", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 4, 0, 0, B::Output},  // 68
    {"chk_amax_1", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 0, 0, 0, B::Output},  // 69
    {"chk_amax_2", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 1, 0, 0, B::Output},  // 70
    {"chk_amax_3", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 2, 0, 0, B::Output},  // 71
    {"chk_amax_4", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 3, 0, 0, B::Output},  // 72
    {"chk_amax_5", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 4, 0, 0, B::Output},  // 73
    {"txt_vmax_lim_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 56, 6006, 6004, B::Output},  // 74
    {"txt_vmax_lim_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 58, 6006, 6004, B::Output},  // 75
    {"txt_vmax_lim_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 60, 6006, 6004, B::Output},  // 76
    {"txt_vmax_lim_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 62, 6006, 6004, B::Output},  // 77
    {"txt_vmax_lim_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 64, 6006, 6004, B::Output},  // 78
    {"txt_vmin_lim_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 66, 6006, 6004, B::Output},  // 79
    {"txt_vmin_lim_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 68, 6006, 6004, B::Output},  // 80
    {"txt_vmin_lim_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 70, 6006, 6004, B::Output},  // 81
    {"txt_vmin_lim_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 72, 6006, 6004, B::Output},  // 82
    {"txt_vmin_lim_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 74, 6006, 6004, B::Output},  // 83
    {"txt_amax_lim_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 76, 6010, 6008, B::Output},  // 84
    {"txt_amax_lim_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 78, 6010, 6008, B::Output},  // 85
    {"txt_amax_lim_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 80, 6010, 6008, B::Output},  // 86
    {"txt_amax_lim_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 82, 6010, 6008, B::Output},  // 87
    {"txt_amax_lim_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 84, 6010, 6008, B::Output},  // 88
    {"txt_vmax_hyst_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 96, 6006, 6004, B::Output},  // 89
    {"txt_vmax_hyst_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 98, 6006, 6004, B::Output},  // 90
    {"txt_vmax_hyst_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 100, 6006, 6004, B::Output},  // 91
    {"txt_vmax_hyst_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 102, 6006, 6004, B::Output},  // 92
    {"txt_vmax_hyst_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 104, 6006, 6004, B::Output},  // 93
    {"txt_vmin_hyst_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 106, 6006, 6004, B::Output},  // 94
    {"txt_vmin_hyst_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 108, 6006, 6004, B::Output},  // 95
    {"txt_vmin_hyst_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 110, 6006, 6004, B::Output},  // 96
    {"txt_vmin_hyst_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 112, 6006, 6004, B::Output},  // 97
    {"txt_vmin_hyst_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 114, 6006, 6004, B::Output},  // 98
    {"txt_amax_hyst_1", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 116, 6010, 6008, B::Output},  // 99
    {"txt_amax_hyst_2", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 118, 6010, 6008, B::Output},  // 100
    {"txt_amax_hyst_3", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 120, 6010, 6008, B::Output},  // 101
    {"txt_amax_hyst_4", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 122, 6010, 6008, B::Output},  // 102
    {"txt_amax_hyst_5", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 124, 6010, 6008, B::Output},  // 103
    {"txt_vmax_del_1", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 16, 0, 0, B::Output},  // 104
    {"txt_vmax_del_2", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 18, 0, 0, B::Output},  // 105
    {"txt_vmax_del_3", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 20, 0, 0, B::Output},  // 106
    {"txt_vmax_del_4", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 22, 0, 0, B::Output},  // 107
    {"txt_vmax_del_5", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 24, 0, 0, B::Output},  // 108
    {"txt_vmin_del_1", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 26, 0, 0, B::Output},  // 109
    {"txt_vmin_del_2", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 28, 0, 0, B::Output},  // 110
    {"txt_vmin_del_3", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 30, 0, 0, B::Output},  // 111
    {"txt_vmin_del_4", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 32, 0, 0, B::Output},  // 112
    {"txt_vmin_del_5", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 34, 0, 0, B::Output},  // 113
    {"txt_amax_del_1", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 36, 0, 0, B::Output},  // 114
    {"txt_amax_del_2", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 38, 0, 0, B::Output},  // 115
    {"txt_amax_del_3", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 40, 0, 0, B::Output},  // 116
    {"txt_amax_del_4", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 42, 0, 0, B::Output},  // 117
    {"txt_amax_del_5", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 44, 0, 0, B::Output},  // 118
    {"txt_acc_cutoff", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 136, 6006, 6004, B::Output},  // 119
    {"txt_aout_v4ma", T::Float, S::Static, -1, 0, 0, 0.0f, 2100000.0f, 138, 0, 0, B::Output},  // 120
    {"txt_aout_v20ma", T::Float, S::Static, -1, 0, 0, 0.0f, 2100000.0f, 140, 0, 0, B::Output},  // 121
    {"txt_aout_min", T::Float, S::Static, 2, 0, 0, 3.6f, 21.0f, 144, 0, 0, B::Output},  // 122
    {"txt_aout_max", T::Float, S::Static, 2, 0, 0, 3.6f, 21.0f, 142, 0, 0, B::Output},  // 123
    {"txt_aout_err_val", T::Float, S::Static, 2, 0, 0, 0.0f, 3.6f, 146, 0, 0, B::Output},  // 124
    {"lbl_val_crc_output", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 149, 0, 0, B::Output},  // 125
    {"txt_sens_lim_i_min", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 4, 5036, 5034, B::Diagnostics},  // 126
    {"txt_sens_lim_i_max", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 2, 5036, 5034, B::Diagnostics},  // 127
    {"txt_sens_lim_u_min", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 8, 5040, 5038, B::Diagnostics},  // 128
    {"txt_sens_lim_u_max", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 6, 5040, 5038, B::Diagnostics},  // 129
    {"txt_bad_pulse", T::Int32, S::DynamicOrZero, 3, 0, 0, 0.0f, 0.0f, 0, 5048, 5046, B::Diagnostics},  // 130
    {"txt_diag_aouterr", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 10, 5032, 5030, B::Diagnostics},  // 131
    {"chk_latch_nsf", T::Bit32, S::Static, 0, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 132
    {"chk_latch_sft", T::Bit32, S::Static, 1, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 133
    {"chk_latch_fact", T::Bit32, S::Static, 2, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 134
    {"chk_latch_sens_err", T::Bit32, S::Static, 7, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 135
    {"chk_latch_badp_err", T::Bit32, S::Static, 9, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 136
    {"chk_latch_slv_com_err", T::Bit32, S::Static, 10, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 137
    {"chk_latch_thrs_err", T::Bit32, S::Static, 11, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 138
    {"chk_latch_slv_suppl", T::Bit32, S::Static, 12, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 139
    {"chk_latch_out_err", T::Bit32, S::Static, 13, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 140
    {"chk_latch_rail_suppl", T::Bit32, S::Static, 14, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 141
    {"chk_latch_main_suppl", T::Bit32, S::Static, 15, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 142
    {"chk_latch_cpu_suppl", T::Bit32, S::Static, 16, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 143
    {"chk_latch_inv_param", T::Bit32, S::Static, 18, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 144
    {"chk_latch_cpu_temp", T::Bit32, S::Static, 19, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 145
    {"chk_latch_usb", T::Bit32, S::Static, 20, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 146
    {"chk_latch_uart_wdg", T::Bit32, S::Static, 22, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 147
    {"chk_latch_slv_wdtrg", T::Bit32, S::Static, 23, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 148
    {"chk_latch_slv_errwdg", T::Bit32, S::Static, 24, 0, 0, 0.0f, 0.0f, 12, 0, 0, B::Diagnostics},  // 149
    {"cmb_ppchk_act", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 14, 0, 0, B::Diagnostics},  // 150
    {"chk_usb_act", T::InvertedBit, S::Static, 0, 0, 0, 0.0f, 0.0f, 15, 0, 0, B::Diagnostics},  // 151
    {"chk_aout_chk_dis", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 16, 0, 0, B::Diagnostics},  // 152
    {"chk_aout_err_rise", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 16, 0, 0, B::Diagnostics},  // 153
    {"chk_dis_init_safe", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 16, 0, 0, B::Diagnostics},  // 154
    {"lbl_val_crc_diag", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 17, 0, 0, B::Diagnostics},  // 155
}};

const ParameterDescriptor* FindParameter(std::string_view name) {
  const int row = FindParameterRow(name);
  return row == 0 ? nullptr : &ParameterRow(row);
}

int FindParameterRow(std::string_view name) {
  for (int i = 0; i < kParameterRows; ++i)
    if (ParameterTable[static_cast<size_t>(i)].name == name) return i + 1;
  return 0;
}

int32_t RegisterOf(const ParameterDescriptor& row) {
  return Block(row.blockId).start + row.offset;
}

int32_t RegisterOfName(std::string_view name) {
  const ParameterDescriptor* row = FindParameter(name);
  return row ? RegisterOf(*row) : -1;
}

const ParameterRegisters& ParamRegs() {
  static const ParameterRegisters regs{
      RegisterOfName("txt_rated_sp"),    RegisterOfName("txt_teeth"),
      RegisterOfName("cmb_sens_type"),   RegisterOfName("txt_avg_speed"),
      RegisterOfName("txt_level_u"),     RegisterOfName("txt_sens_cut_in"),
      RegisterOfName("txt_bad_pulse"),   RegisterOfName("txt_vmax_lim_1"),
      RegisterOfName("txt_vmin_lim_1"),  RegisterOfName("cmb_ppchk_act"),
  };
  return regs;
}

int32_t RegisterCountOf(const ParameterDescriptor& row) {
  switch (row.fieldType) {
    case FieldType::Int16:
    case FieldType::Bit:
    case FieldType::InvertedBit:
    case FieldType::Choice:
    case FieldType::CrcLabel: return 1;
    case FieldType::Int32:
    case FieldType::Float:
    case FieldType::Bit32:
    case FieldType::OffsetLevel: return 2;
    case FieldType::Text:
    case FieldType::Password: return row.detail / 2;
    case FieldType::NotAssigned:
    case FieldType::ResponseTime:
    case FieldType::FixedOn: break;
  }
  return 0;
}

bool IsEditField(FieldType type) {
  switch (type) {
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::Text:
    case FieldType::Float:
    case FieldType::Password:
    case FieldType::OffsetLevel: return true;
    default: return false;
  }
}

}  // namespace kvn

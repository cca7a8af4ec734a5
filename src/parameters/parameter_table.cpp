#include "parameters/parameter_table.h"

#include "device_link/block_table.h"

namespace kvn {

namespace {
using T = FieldType;
using S = RangeSource;
}  // namespace

// Columns: name, fieldType, rangeSource, detail, intMin, intMax, floatMin, floatMax, offset,
// minRegister, maxRegister, blockId. The trailing number is the row number.
const std::array<ParameterDescriptor, kParameterRows> ParameterTable = {{
    {"txt_usr_tag1", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 0, 0, 0, 1},  // 1
    {"txt_usr_tag2", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 8, 0, 0, 1},  // 2
    {"txt_usr_tag3", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 16, 0, 0, 1},  // 3
    {"txt_usr_comment", T::Text, S::Static, 32, 0, 0, 0.0f, 0.0f, 24, 0, 0, 1},  // 4
    {"txt_mod_addr", T::Int16, S::Static, 0, 1, 254, 0.0f, 0.0f, 40, 0, 0, 1},  // 5
    {"cmb_baud_485", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 41, 0, 0, 1},  // 6
    {"cmb_parity", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 43, 0, 0, 1},  // 7
    {"cmb_term", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 44, 0, 0, 1},  // 8
    {"lbl_val_crc_dev_usr", T::CrcLabel, S::Static, 0, 0, 1, 0.0f, 0.0f, 45, 0, 0, 1},  // 9
    {"cmb_adm_vstr", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 40, 0, 0, 2},  // 10
    {"txt_adm_tag1", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 0, 0, 0, 2},  // 11
    {"txt_adm_tag2", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 8, 0, 0, 2},  // 12
    {"txt_adm_tag3", T::Text, S::Static, 16, 0, 0, 0.0f, 0.0f, 16, 0, 0, 2},  // 13
    {"txt_adm_comment", T::Text, S::Static, 32, 0, 0, 0.0f, 0.0f, 24, 0, 0, 2},  // 14
    {"lbl_val_crc_dev_adm", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 41, 0, 0, 2},  // 15
    {"txt_password", T::Password, S::Static, 16, 0, 0, 0.0f, 0.0f, 0, 0, 0, 0},  // 16
    {"lbl_val_pass_crc", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 9, 0, 0, 0},  // 17
    {"cmb_meas_type", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 7, 0, 0, 4},  // 18
    {"cmb_sens_srfc", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, 4},  // 19
    {"txt_module", T::Int16, S::Static, 1, 0, 1000, 0.0f, 0.0f, 15, 0, 0, 4},  // 20
    {"txt_teeth", T::Int16, S::Static, 0, 1, 10000, 0.0f, 0.0f, 1, 0, 0, 4},  // 21
    {"txt_rated_sp", T::Float, S::Static, -1, 0, 0, 0.0f, 2100000.0f, 8, 0, 0, 4},  // 22
    {"cmb_sens_type", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 2, 0, 0, 4},  // 23
    {"cmb_trig_edge", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 14, 0, 0, 4},  // 24
    {"txt_level_i", T::Float, S::Static, 2, 0, 0, 0.0f, 20.5f, 10, 0, 0, 4},  // 25
    {"txt_level_u", T::OffsetLevel, S::Static, 2, 0, 0, 0.0f, 24.0f, 12, 0, 0, 4},  // 26
    {"txt_sens_cut_in", T::Float, S::Static, 1, 0, 0, 0.0f, 35000.0f, 16, 0, 0, 4},  // 27
    {"txt_avg_speed", T::Int16, S::Static, 0, 1, 1000, 0.0f, 0.0f, 3, 0, 0, 4},  // 28
    {"txt_avg_acc", T::Int16, S::Static, 0, 1, 1000, 0.0f, 0.0f, 4, 0, 0, 4},  // 29
    {"txt_look_depth", T::Int16, S::Static, 0, 1, 5000, 0.0f, 0.0f, 5, 0, 0, 4},  // 30
    {"txt_look_fact", T::Int16, S::Static, 0, 0, 1000, 0.0f, 0.0f, 6, 0, 0, 4},  // 31
    {"lbl_val_resp_time", T::ResponseTime, S::Static, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, 4},  // 32
    {"lbl_val_crc_measure", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 19, 0, 0, 4},  // 33
    {"chk_latch_1", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, 7},  // 34
    {"chk_latch_2", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 1, 0, 0, 7},  // 35
    {"chk_latch_3", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 2, 0, 0, 7},  // 36
    {"chk_latch_4", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 3, 0, 0, 7},  // 37
    {"chk_latch_5", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 4, 0, 0, 7},  // 38
    {"chk_invert_1", T::FixedOn, S::Static, 1, 0, 0, 0.0f, 0.0f, 0, 0, 0, 7},  // 39
    {"chk_invert_2", T::FixedOn, S::Static, 1, 0, 0, 0.0f, 0.0f, 1, 0, 0, 7},  // 40
    {"chk_invert_3", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 2, 0, 0, 7},  // 41
    {"chk_invert_4", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 3, 0, 0, 7},  // 42
    {"chk_invert_5", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 4, 0, 0, 7},  // 43
    {"txt_oneshot_1", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 6, 0, 0, 7},  // 44
    {"txt_oneshot_2", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 8, 0, 0, 7},  // 45
    {"txt_oneshot_3", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 10, 0, 0, 7},  // 46
    {"txt_oneshot_4", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 12, 0, 0, 7},  // 47
    {"txt_oneshot_5", T::Int32, S::Static, 3, 1, 1000000, 0.0f, 0.0f, 14, 0, 0, 7},  // 48
    {"chk_diag_active_1", T::FixedOn, S::Static, 6, 0, 0, 0.0f, 0.0f, 0, 0, 0, 7},  // 49
    {"chk_diag_active_2", T::FixedOn, S::Static, 6, 0, 0, 0.0f, 0.0f, 1, 0, 0, 7},  // 50
    {"chk_diag_active_3", T::Bit, S::Static, 6, 0, 0, 0.0f, 0.0f, 2, 0, 0, 7},  // 51
    {"chk_diag_active_4", T::Bit, S::Static, 6, 0, 0, 0.0f, 0.0f, 3, 0, 0, 7},  // 52
    {"chk_diag_active_5", T::Bit, S::Static, 6, 0, 0, 0.0f, 0.0f, 4, 0, 0, 7},  // 53
    {"chk_ppt_active_1", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 0, 0, 0, 7},  // 54
    {"chk_ppt_active_2", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 1, 0, 0, 7},  // 55
    {"chk_ppt_active_3", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 2, 0, 0, 7},  // 56
    {"chk_ppt_active_4", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 3, 0, 0, 7},  // 57
    {"chk_ppt_active_5", T::Bit, S::Static, 7, 0, 0, 0.0f, 0.0f, 4, 0, 0, 7},  // 58
    {"chk_vmax_1", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 0, 0, 0, 7},  // 59
    {"chk_vmax_2", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 1, 0, 0, 7},  // 60
    {"chk_vmax_3", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 2, 0, 0, 7},  // 61
    {"chk_vmax_4", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 3, 0, 0, 7},  // 62
    {"chk_vmax_5", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 4, 0, 0, 7},  // 63
    {"chk_vmin_1", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 0, 0, 0, 7},  // 64
    {"chk_vmin_2", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 1, 0, 0, 7},  // 65
    {"chk_vmin_3", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 2, 0, 0, 7},  // 66
    {"chk_vmin_4", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 3, 0, 0, 7},  // 67
    {"chk_vmin_5", T::Bit, S::Static, 3, 0, 0, 0.0f, 0.0f, 4, 0, 0, 7},  // 68
    {"chk_amax_1", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 0, 0, 0, 7},  // 69
    {"chk_amax_2", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 1, 0, 0, 7},  // 70
    {"chk_amax_3", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 2, 0, 0, 7},  // 71
    {"chk_amax_4", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 3, 0, 0, 7},  // 72
    {"chk_amax_5", T::Bit, S::Static, 4, 0, 0, 0.0f, 0.0f, 4, 0, 0, 7},  // 73
    {"txt_vmax_lim_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 56, 6006, 6004, 7},  // 74
    {"txt_vmax_lim_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 58, 6006, 6004, 7},  // 75
    {"txt_vmax_lim_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 60, 6006, 6004, 7},  // 76
    {"txt_vmax_lim_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 62, 6006, 6004, 7},  // 77
    {"txt_vmax_lim_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 64, 6006, 6004, 7},  // 78
    {"txt_vmin_lim_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 66, 6006, 6004, 7},  // 79
    {"txt_vmin_lim_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 68, 6006, 6004, 7},  // 80
    {"txt_vmin_lim_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 70, 6006, 6004, 7},  // 81
    {"txt_vmin_lim_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 72, 6006, 6004, 7},  // 82
    {"txt_vmin_lim_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 74, 6006, 6004, 7},  // 83
    {"txt_amax_lim_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 76, 6010, 6008, 7},  // 84
    {"txt_amax_lim_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 78, 6010, 6008, 7},  // 85
    {"txt_amax_lim_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 80, 6010, 6008, 7},  // 86
    {"txt_amax_lim_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 82, 6010, 6008, 7},  // 87
    {"txt_amax_lim_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 84, 6010, 6008, 7},  // 88
    {"txt_vmax_hyst_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 96, 6006, 6004, 7},  // 89
    {"txt_vmax_hyst_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 98, 6006, 6004, 7},  // 90
    {"txt_vmax_hyst_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 100, 6006, 6004, 7},  // 91
    {"txt_vmax_hyst_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 102, 6006, 6004, 7},  // 92
    {"txt_vmax_hyst_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 104, 6006, 6004, 7},  // 93
    {"txt_vmin_hyst_1", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 106, 6006, 6004, 7},  // 94
    {"txt_vmin_hyst_2", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 108, 6006, 6004, 7},  // 95
    {"txt_vmin_hyst_3", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 110, 6006, 6004, 7},  // 96
    {"txt_vmin_hyst_4", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 112, 6006, 6004, 7},  // 97
    {"txt_vmin_hyst_5", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 114, 6006, 6004, 7},  // 98
    {"txt_amax_hyst_1", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 116, 6010, 6008, 7},  // 99
    {"txt_amax_hyst_2", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 118, 6010, 6008, 7},  // 100
    {"txt_amax_hyst_3", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 120, 6010, 6008, 7},  // 101
    {"txt_amax_hyst_4", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 122, 6010, 6008, 7},  // 102
    {"txt_amax_hyst_5", T::Float, S::DynamicMax, -1, 0, 0, 0.0f, 0.0f, 124, 6010, 6008, 7},  // 103
    {"txt_vmax_del_1", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 16, 0, 0, 7},  // 104
    {"txt_vmax_del_2", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 18, 0, 0, 7},  // 105
    {"txt_vmax_del_3", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 20, 0, 0, 7},  // 106
    {"txt_vmax_del_4", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 22, 0, 0, 7},  // 107
    {"txt_vmax_del_5", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 24, 0, 0, 7},  // 108
    {"txt_vmin_del_1", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 26, 0, 0, 7},  // 109
    {"txt_vmin_del_2", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 28, 0, 0, 7},  // 110
    {"txt_vmin_del_3", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 30, 0, 0, 7},  // 111
    {"txt_vmin_del_4", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 32, 0, 0, 7},  // 112
    {"txt_vmin_del_5", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 34, 0, 0, 7},  // 113
    {"txt_amax_del_1", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 36, 0, 0, 7},  // 114
    {"txt_amax_del_2", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 38, 0, 0, 7},  // 115
    {"txt_amax_del_3", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 40, 0, 0, 7},  // 116
    {"txt_amax_del_4", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 42, 0, 0, 7},  // 117
    {"txt_amax_del_5", T::Int32, S::Static, 3, 0, 1000000, 0.0f, 0.0f, 44, 0, 0, 7},  // 118
    {"txt_acc_cutoff", T::Float, S::Dynamic, -1, 0, 0, 0.0f, 0.0f, 136, 6006, 6004, 7},  // 119
    {"txt_aout_v4ma", T::Float, S::Static, -1, 0, 0, 0.0f, 2100000.0f, 138, 0, 0, 7},  // 120
    {"txt_aout_v20ma", T::Float, S::Static, -1, 0, 0, 0.0f, 2100000.0f, 140, 0, 0, 7},  // 121
    {"txt_aout_min", T::Float, S::Static, 2, 0, 0, 3.6f, 21.0f, 144, 0, 0, 7},  // 122
    {"txt_aout_max", T::Float, S::Static, 2, 0, 0, 3.6f, 21.0f, 142, 0, 0, 7},  // 123
    {"txt_aout_err_val", T::Float, S::Static, 2, 0, 0, 0.0f, 3.6f, 146, 0, 0, 7},  // 124
    {"lbl_val_crc_output", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 149, 0, 0, 7},  // 125
    {"txt_sens_lim_i_min", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 4, 5036, 5034, 5},  // 126
    {"txt_sens_lim_i_max", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 2, 5036, 5034, 5},  // 127
    {"txt_sens_lim_u_min", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 8, 5040, 5038, 5},  // 128
    {"txt_sens_lim_u_max", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 6, 5040, 5038, 5},  // 129
    {"txt_bad_pulse", T::Int32, S::DynamicOrZero, 3, 0, 0, 0.0f, 0.0f, 0, 5048, 5046, 5},  // 130
    {"txt_diag_aouterr", T::Float, S::Dynamic, 2, 0, 0, 0.0f, 0.0f, 10, 5032, 5030, 5},  // 131
    {"chk_latch_nsf", T::Bit32, S::Static, 0, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 132
    {"chk_latch_sft", T::Bit32, S::Static, 1, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 133
    {"chk_latch_fact", T::Bit32, S::Static, 2, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 134
    {"chk_latch_sens_err", T::Bit32, S::Static, 7, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 135
    {"chk_latch_badp_err", T::Bit32, S::Static, 9, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 136
    {"chk_latch_slv_com_err", T::Bit32, S::Static, 10, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 137
    {"chk_latch_thrs_err", T::Bit32, S::Static, 11, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 138
    {"chk_latch_slv_suppl", T::Bit32, S::Static, 12, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 139
    {"chk_latch_out_err", T::Bit32, S::Static, 13, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 140
    {"chk_latch_rail_suppl", T::Bit32, S::Static, 14, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 141
    {"chk_latch_main_suppl", T::Bit32, S::Static, 15, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 142
    {"chk_latch_cpu_suppl", T::Bit32, S::Static, 16, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 143
    {"chk_latch_inv_param", T::Bit32, S::Static, 18, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 144
    {"chk_latch_cpu_temp", T::Bit32, S::Static, 19, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 145
    {"chk_latch_usb", T::Bit32, S::Static, 20, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 146
    {"chk_latch_uart_wdg", T::Bit32, S::Static, 22, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 147
    {"chk_latch_slv_wdtrg", T::Bit32, S::Static, 23, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 148
    {"chk_latch_slv_errwdg", T::Bit32, S::Static, 24, 0, 0, 0.0f, 0.0f, 12, 0, 0, 5},  // 149
    {"cmb_ppchk_act", T::Choice, S::Static, 0, 0, 0, 0.0f, 0.0f, 14, 0, 0, 5},  // 150
    {"chk_usb_act", T::InvertedBit, S::Static, 0, 0, 0, 0.0f, 0.0f, 15, 0, 0, 5},  // 151
    {"chk_aout_chk_dis", T::Bit, S::Static, 0, 0, 0, 0.0f, 0.0f, 16, 0, 0, 5},  // 152
    {"chk_aout_err_rise", T::Bit, S::Static, 1, 0, 0, 0.0f, 0.0f, 16, 0, 0, 5},  // 153
    {"chk_dis_init_safe", T::Bit, S::Static, 2, 0, 0, 0.0f, 0.0f, 16, 0, 0, 5},  // 154
    {"lbl_val_crc_diag", T::CrcLabel, S::Static, 0, 0, 0, 0.0f, 0.0f, 17, 0, 0, 5},  // 155
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
  const BlockDescriptor* block = FindBlock(row.blockId);
  return (block ? block->start : 0) + row.offset;
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

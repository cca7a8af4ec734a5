#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "device_link/block_table.h"

namespace kvn {

// How a row's registers are encoded and which kind of control shows them.
enum class FieldType : int32_t {
  Int16 = 0,         // edit field, 1 register, `detail` implied decimals
  Int32 = 1,         // edit field, 2 registers (low word first), `detail` implied decimals
  Text = 2,          // edit field, `detail` characters in `detail` / 2 registers
  Bit = 3,           // check box: bit `detail` set
  NotAssigned = 4,   // no row uses it
  InvertedBit = 5,   // check box: bit `detail` clear
  Float = 6,         // edit field, IEEE single in 2 registers, `detail` display decimals
  Choice = 7,        // combo box, cell = item index
  CrcLabel = 8,      // label, the block CRC as four hex digits
  Password = 9,      // edit field, like Text
  ResponseTime = 10, // label, derived from several rows
  Bit32 = 11,        // check box: bit `detail` of a 32-bit word, forced by LatchForceMask
  FixedOn = 12,      // check box, always checked and disabled
  OffsetLevel = 13,  // edit field, float shown relative to OffsetVoltage for sensor type 2
};

// Where the limits of an entry come from.
enum class RangeSource : int32_t {
  Static = 0,         // intMin/intMax or floatMin/floatMax
  Dynamic = 1,        // EditImage at minRegister / maxRegister
  DynamicMax = 2,     // 0 / EditImage at maxRegister
  DynamicOrZero = 3,  // as Dynamic, and an entered 0 is always accepted
};

// One row of the parameter table: which control shows a value, where it lives and how it is
// encoded and limited.
struct ParameterDescriptor {
  std::string_view name;  // control name, also the TextTable key
  FieldType fieldType;
  RangeSource rangeSource;
  int32_t detail;       // decimals, display mode, text length or bit index, by field type
  int32_t intMin;       // Int16/Int32 limits in raw units
  int32_t intMax;
  float floatMin;       // Float/OffsetLevel limits
  float floatMax;
  int32_t offset;       // register offset inside the block
  int32_t minRegister;  // absolute address of the dynamic lower limit, 0 if none
  int32_t maxRegister;  // absolute address of the dynamic upper limit, 0 if none
  BlockId blockId;
};

inline constexpr int kParameterRows = 155;

// The constant table, in its fixed order (row number n is element n-1).
extern const std::array<ParameterDescriptor, kParameterRows> ParameterTable;

// Row 1..155 → descriptor.
inline const ParameterDescriptor& ParameterRow(int row) {
  return ParameterTable[static_cast<size_t>(row - 1)];
}

// The row with that control name, or nullptr.
const ParameterDescriptor* FindParameter(std::string_view name);

// Row number 1..155 of the row with that control name, or 0.
int FindParameterRow(std::string_view name);

// Absolute register address of a row: start of its block plus its offset.
int32_t RegisterOf(const ParameterDescriptor& row);

// The register of the row with that control name; -1 when the table has no such row.
int32_t RegisterOfName(std::string_view name);

// Registers the program reads by their parameter's role, taken from their rows once.
struct ParameterRegisters {
  int32_t ratedSpeed;       // txt_rated_sp, float: also what decimals follow
  int32_t teeth;            // txt_teeth
  int32_t sensorType;       // cmb_sens_type index
  int32_t averaging;        // txt_avg_speed
  int32_t triggerLevelU;    // txt_level_u, float
  int32_t cutInFrequency;   // txt_sens_cut_in, float
  int32_t badPulseTime;     // txt_bad_pulse, 32-bit
  int32_t overspeedLimit1;  // txt_vmax_lim_1, float; outputs 2..5 follow every 2 registers
  int32_t underspeedLimit1; // txt_vmin_lim_1, likewise
  int32_t testAction;       // cmb_ppchk_act: 0 test alone, otherwise with the diagnostics
};
const ParameterRegisters& ParamRegs();

// Number of registers the row occupies (0 for the derived and fixed rows).
int32_t RegisterCountOf(const ParameterDescriptor& row);

// Fields shown in edit fields, checked when they are left.
bool IsEditField(FieldType type);

}  // namespace kvn

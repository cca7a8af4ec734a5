#include "devsim/commit_check.h"

#include <cmath>

namespace kvn::devsim {

namespace {

struct ChoiceItems {
  int reg;
  int items;
};

// The lists the device knows for its choice parameters.
constexpr ChoiceItems kChoiceItems[] = {
    {2041, 6},  // baud rate
    {2043, 3},  // parity
    {2044, 2},  // termination
    {2540, 6},  // voting
    {4000, 4},  // target surface
    {4002, 3},  // sensor type
    {4007, 3},  // measurement type
    {4014, 2},  // trigger edge
    {4514, 2},  // test-and-reset action
};

struct Limits {
  double lower = 0;
  double upper = 0;
};

bool Within(double v, const Limits& l) {
  if (l.lower == 0 && l.upper == 0) return true;  // not limited
  return v >= l.lower && v <= l.upper;
}

int16_t Int16At(const Registers& regs, int r) { return static_cast<int16_t>(regs[static_cast<size_t>(r)]); }
int32_t Int32At(const Registers& regs, int r) { return static_cast<int32_t>(GetU32(regs, r)); }

Limits IntLimits(const Registers& regs, const ParameterDescriptor& row, bool wide) {
  if (row.rangeSource == RangeSource::Static) return {double(row.intMin), double(row.intMax)};
  auto at = [&](int r) { return wide ? double(Int32At(regs, r)) : double(Int16At(regs, r)); };
  const double upper = at(row.maxRegister);
  return {row.rangeSource == RangeSource::DynamicMax ? 0.0 : at(row.minRegister), upper};
}

Limits FloatLimits(const Registers& regs, const ParameterDescriptor& row) {
  if (row.rangeSource == RangeSource::Static) return {row.floatMin, row.floatMax};
  const double upper = GetFloat(regs, row.maxRegister);
  return {row.rangeSource == RangeSource::DynamicMax ? 0.0 : double(GetFloat(regs, row.minRegister)), upper};
}

bool ChoiceInRange(const Registers& regs, int r) {
  for (const auto& c : kChoiceItems)
    if (c.reg == r) return regs[static_cast<size_t>(r)] < c.items;
  return true;
}

}  // namespace

uint8_t GroupOfBlock(BlockId id) {
  switch (id) {
    case BlockId::Password: return kGroupAdmin;
    case BlockId::UserConfig: return kGroupUser;
    case BlockId::AdminConfig: return kGroupAdmin;
    case BlockId::Measurement: return kGroupMeasurement;
    case BlockId::Diagnostics: return kGroupDiagnostics;
    case BlockId::Output: return kGroupOutputs;
    default: return 0;
  }
}

bool ParameterInRange(const Registers& regs, const ParameterDescriptor& row) {
  const int r = RegisterOf(row);
  const bool zeroAllowed = row.rangeSource == RangeSource::DynamicOrZero;
  switch (row.fieldType) {
    case FieldType::Int16: {
      const int16_t v = Int16At(regs, r);
      return (zeroAllowed && v == 0) || Within(v, IntLimits(regs, row, false));
    }
    case FieldType::Int32: {
      const int32_t v = Int32At(regs, r);
      return (zeroAllowed && v == 0) || Within(v, IntLimits(regs, row, true));
    }
    case FieldType::Float: {
      const float v = GetFloat(regs, r);
      return std::isfinite(v) && Within(v, FloatLimits(regs, row));
    }
    case FieldType::OffsetLevel: {
      const float v = GetFloat(regs, r);
      return std::isfinite(v) && v >= row.floatMin && v <= row.floatMax;
    }
    case FieldType::Choice:
      return ChoiceInRange(regs, r);
    default:
      return true;
  }
}

bool BlockAcceptable(const Registers& regs, const BlockDescriptor& block) {
  if (!BlockCrcValid(regs, block)) return false;
  for (const auto& row : ParameterTable)
    if (row.blockId == block.id && !ParameterInRange(regs, row)) return false;
  return true;
}

}  // namespace kvn::devsim

#pragma once
#include <cstdint>

#include "devsim/registers.h"
#include "parameters/parameter_table.h"

namespace kvn::devsim {

// Rejected-group bits of register 15 after a commit, by parameter block.
inline constexpr uint8_t kGroupUser = 0x01;         // device configuration, user
inline constexpr uint8_t kGroupAdmin = 0x02;        // device configuration, admin (and password)
inline constexpr uint8_t kGroupMeasurement = 0x08;
inline constexpr uint8_t kGroupDiagnostics = 0x10;
inline constexpr uint8_t kGroupOutputs = 0x40;      // digital outputs and analog output

// The group a block is reported under; 0 for blocks that never take part in a commit.
uint8_t GroupOfBlock(BlockId id);

// The device's own check of one parameter against the limits of the parameter table (dynamic
// limits from its factory blocks) and, for list parameters, against its item count.
bool ParameterInRange(const Registers& regs, const ParameterDescriptor& row);

// A written block is accepted when its CRC matches and every parameter is in range.
bool BlockAcceptable(const Registers& regs, const BlockDescriptor& block);

}  // namespace kvn::devsim

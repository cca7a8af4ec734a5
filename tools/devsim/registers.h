#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "device_link/block_table.h"
#include "device_link/register_image.h"

namespace kvn::devsim {

// The device's holding registers as the device itself keeps them: plain 16-bit words.
using Registers = std::array<uint16_t, kRegisterCount>;

// 32-bit values and floats span two registers, low word at the lower address.
uint32_t GetU32(const Registers& regs, int r);
void SetU32(Registers& regs, int r, uint32_t value);
float GetFloat(const Registers& regs, int r);
void SetFloat(Registers& regs, int r, float value);

// Text: two characters per register, the first in the low byte, padded with blanks.
void SetText(Registers& regs, int r, int registerCount, std::string_view text);

// The block checksum: Modbus CRC-16 over start..start+count-2, low byte of each register
// first. Stored in the block's last register.
uint16_t ComputeBlockCrc(const Registers& regs, const BlockDescriptor& block);
void StoreBlockCrc(Registers& regs, const BlockDescriptor& block);
bool BlockCrcValid(const Registers& regs, const BlockDescriptor& block);

// The block (parameter or not) that holds register r, or nullptr.
const BlockDescriptor* BlockOfRegister(int r);

}  // namespace kvn::devsim

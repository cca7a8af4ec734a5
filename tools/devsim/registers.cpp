#include "devsim/registers.h"

#include <bit>

#include "device_link/crc16.h"

namespace kvn::devsim {

uint32_t GetU32(const Registers& regs, int r) {
  return static_cast<uint32_t>(regs[static_cast<size_t>(r + 1)]) << 16 | regs[static_cast<size_t>(r)];
}

void SetU32(Registers& regs, int r, uint32_t value) {
  regs[static_cast<size_t>(r)] = static_cast<uint16_t>(value & 0xFFFF);
  regs[static_cast<size_t>(r + 1)] = static_cast<uint16_t>(value >> 16);
}

float GetFloat(const Registers& regs, int r) { return std::bit_cast<float>(GetU32(regs, r)); }

void SetFloat(Registers& regs, int r, float value) { SetU32(regs, r, std::bit_cast<uint32_t>(value)); }

void SetText(Registers& regs, int r, int registerCount, std::string_view text) {
  for (int i = 0; i < registerCount; ++i) {
    auto at = [&](size_t k) -> uint16_t {
      return k < text.size() ? static_cast<uint8_t>(text[k]) : uint16_t{0x20};
    };
    regs[static_cast<size_t>(r + i)] =
        static_cast<uint16_t>(at(2 * static_cast<size_t>(i)) | at(2 * static_cast<size_t>(i) + 1) << 8);
  }
}

uint16_t ComputeBlockCrc(const Registers& regs, const BlockDescriptor& block) {
  Crc16 crc;
  for (int r = block.start; r < block.CrcRegister(); ++r) crc.AddRegister(regs[static_cast<size_t>(r)]);
  return crc.Value();
}

void StoreBlockCrc(Registers& regs, const BlockDescriptor& block) {
  regs[static_cast<size_t>(block.CrcRegister())] = ComputeBlockCrc(regs, block);
}

bool BlockCrcValid(const Registers& regs, const BlockDescriptor& block) {
  return regs[static_cast<size_t>(block.CrcRegister())] == ComputeBlockCrc(regs, block);
}

const BlockDescriptor* BlockOfRegister(int r) {
  for (const auto& b : BlockTable)
    if (r >= b.start && r < b.start + b.count) return &b;
  return nullptr;
}

}  // namespace kvn::devsim

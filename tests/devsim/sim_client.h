#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devsim/simulator.h"

namespace kvn::test {

// Talks to a Simulator in frames, the way a master on the line would: builds requests with
// the Modbus CRC, checks the answers' CRC and unpacks them. No serial line involved.
class SimClient {
 public:
  static constexpr int kNoAnswer = -1;

  explicit SimClient(devsim::Simulator& sim, uint8_t address = 1) : sim_(sim), address_(address) {}

  // The raw exchange: CRC appended to the request; the answer as it would go on the line.
  std::optional<std::vector<uint8_t>> Exchange(std::vector<uint8_t> request);

  // 0 on success (values filled), the exception code, or kNoAnswer.
  int Read(int start, int count, std::vector<uint16_t>& values, uint8_t function = 3);
  int Write(int start, const std::vector<uint16_t>& values);

  // Shortcuts that expect success (a failed expectation is reported, 0 returned).
  uint16_t Reg(int r);
  uint32_t U32(int r);
  float Float(int r);
  std::vector<uint16_t> Regs(int start, int count, uint8_t function = 3);

  int Command(int value) { return Write(108, {static_cast<uint16_t>(value)}); }
  int Login(const std::string& password);
  int Logout() { return Write(100, std::vector<uint16_t>(8, 0xFFFF)); }
  // Writes a whole block in pieces of at most 123 registers, its CRC computed first.
  int WriteBlock(int blockId, std::vector<uint16_t> contents);
  // The block's registers as the device reports them.
  std::vector<uint16_t> Block(int blockId);

  uint8_t Status15Low() { return static_cast<uint8_t>(Reg(15) & 0xFF); }
  uint8_t Status15High() { return static_cast<uint8_t>(Reg(15) >> 8); }

 private:
  devsim::Simulator& sim_;
  uint8_t address_;
};

// Helpers on plain register vectors (block contents).
void PutFloat(std::vector<uint16_t>& block, int offset, float value);
void PutText(std::vector<uint16_t>& block, int offset, int registers, const std::string& text);
uint16_t BlockCrcOf(const std::vector<uint16_t>& block);  // over all but the last register
std::vector<uint16_t> PasswordWords(const std::string& password);

}  // namespace kvn::test

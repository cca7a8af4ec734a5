#include "sim_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

#include "device_link/block_table.h"
#include "device_link/crc16.h"

namespace kvn::test {

namespace {
void PushWord(std::vector<uint8_t>& f, int w) {
  f.push_back(static_cast<uint8_t>(w >> 8 & 0xFF));
  f.push_back(static_cast<uint8_t>(w & 0xFF));
}
bool CrcOk(const std::vector<uint8_t>& f) {
  if (f.size() < 3) return false;
  const Crc16 crc = ComputeCrc16(f.data(), f.size() - 2);
  return f[f.size() - 2] == crc.low && f.back() == crc.high;
}
}  // namespace

std::optional<std::vector<uint8_t>> SimClient::Exchange(std::vector<uint8_t> request) {
  const Crc16 crc = ComputeCrc16(request.data(), request.size());
  request.push_back(crc.low);
  request.push_back(crc.high);
  auto reply = sim_.HandleFrame(request);
  if (!reply) return std::nullopt;
  return reply->bytes;
}

int SimClient::Read(int start, int count, std::vector<uint16_t>& values, uint8_t function) {
  std::vector<uint8_t> f{address_, function};
  PushWord(f, start);
  PushWord(f, count);
  const auto answer = Exchange(f);
  if (!answer) return kNoAnswer;
  const auto& a = *answer;
  EXPECT_TRUE(CrcOk(a));
  EXPECT_EQ(a[0], address_);
  if (a[1] == (function | 0x80)) return a[2];
  EXPECT_EQ(a[1], function);
  EXPECT_EQ(a.size(), 5u + 2u * static_cast<size_t>(count));
  if (a.size() != 5u + 2u * static_cast<size_t>(count)) return kNoAnswer;
  values.clear();
  for (int i = 0; i < count; ++i) values.push_back(static_cast<uint16_t>(a[3 + 2 * i] << 8 | a[4 + 2 * i]));
  return 0;
}

int SimClient::Write(int start, const std::vector<uint16_t>& values) {
  std::vector<uint8_t> f{address_, 16};
  PushWord(f, start);
  PushWord(f, static_cast<int>(values.size()));
  f.push_back(static_cast<uint8_t>(2 * values.size()));
  for (uint16_t v : values) PushWord(f, v);
  const auto answer = Exchange(f);
  if (!answer) return kNoAnswer;
  const auto& a = *answer;
  EXPECT_TRUE(CrcOk(a));
  if (a[1] == 0x90) return a[2];
  EXPECT_EQ(a.size(), 8u);
  EXPECT_TRUE(std::equal(a.begin(), a.begin() + 6, f.begin()));  // echoes address..count
  return 0;
}

std::vector<uint16_t> SimClient::Regs(int start, int count, uint8_t function) {
  std::vector<uint16_t> v;
  EXPECT_EQ(Read(start, count, v, function), 0) << "reading " << start << " x " << count;
  v.resize(static_cast<size_t>(count));
  return v;
}

uint16_t SimClient::Reg(int r) { return Regs(r, 1)[0]; }

uint32_t SimClient::U32(int r) {
  const auto v = Regs(r, 2);
  return static_cast<uint32_t>(v[1]) << 16 | v[0];
}

float SimClient::Float(int r) { return std::bit_cast<float>(U32(r)); }

int SimClient::Login(const std::string& password) { return Write(100, PasswordWords(password)); }

int SimClient::WriteBlock(int blockId, std::vector<uint16_t> contents) {
  contents.back() = BlockCrcOf(contents);
  const BlockDescriptor& b = *FindBlock(blockId);
  for (int at = 0; at < b.count;) {
    const int n = std::min(b.count - at, 123);
    const std::vector<uint16_t> piece(contents.begin() + at, contents.begin() + at + n);
    if (const int e = Write(b.start + at, piece); e != 0) return e;
    at += n;
  }
  return 0;
}

std::vector<uint16_t> SimClient::Block(int blockId) {
  const BlockDescriptor& b = *FindBlock(blockId);
  std::vector<uint16_t> all;
  for (int at = 0; at < b.count;) {
    const int n = std::min(b.count - at, 125);
    const auto piece = Regs(b.start + at, n);
    all.insert(all.end(), piece.begin(), piece.end());
    at += n;
  }
  return all;
}

void PutFloat(std::vector<uint16_t>& block, int offset, float value) {
  const auto bits = std::bit_cast<uint32_t>(value);
  block[static_cast<size_t>(offset)] = static_cast<uint16_t>(bits & 0xFFFF);
  block[static_cast<size_t>(offset + 1)] = static_cast<uint16_t>(bits >> 16);
}

void PutText(std::vector<uint16_t>& block, int offset, int registers, const std::string& text) {
  std::string padded = text;
  padded.resize(static_cast<size_t>(2 * registers), ' ');
  for (int i = 0; i < registers; ++i)
    block[static_cast<size_t>(offset + i)] = static_cast<uint16_t>(
        static_cast<uint8_t>(padded[2 * static_cast<size_t>(i)]) |
        static_cast<uint8_t>(padded[2 * static_cast<size_t>(i) + 1]) << 8);
}

uint16_t BlockCrcOf(const std::vector<uint16_t>& block) {
  Crc16 crc;
  for (size_t i = 0; i + 1 < block.size(); ++i) {
    crc.Add(static_cast<uint8_t>(block[i] & 0xFF));
    crc.Add(static_cast<uint8_t>(block[i] >> 8));
  }
  return crc.Value();
}

std::vector<uint16_t> PasswordWords(const std::string& password) {
  std::vector<uint16_t> words(8);
  PutText(words, 0, 8, password);
  return words;
}

}  // namespace kvn::test

#pragma once
// What the session campaigns share: the answer faults a run spoils its traffic with, the sets of
// registers they compare, and the test whether a device holds a mixed set.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

#include "device_link/block_table.h"
#include "devsim/faults.h"
#include "devsim/registers.h"
#include "parameters/parameter_table.h"

namespace kvn::bench {

using devsim::AnswerFault;

constexpr AnswerFault kOnceFaults[] = {
    AnswerFault::CorruptByte, AnswerFault::WrongFunction, AnswerFault::WrongByteCount, AnswerFault::WrongEcho,
    AnswerFault::WrongAddress, AnswerFault::Exception, AnswerFault::Late, AnswerFault::Noise,
    AnswerFault::Truncated, AnswerFault::Silence};
constexpr AnswerFault kDyingLine[] = {AnswerFault::Silence, AnswerFault::CorruptByte, AnswerFault::Exception};

inline const char* FaultName(AnswerFault fault) {
  switch (fault) {
    case AnswerFault::CorruptByte: return "corrupt byte";
    case AnswerFault::WrongFunction: return "wrong function";
    case AnswerFault::WrongByteCount: return "wrong byte count";
    case AnswerFault::WrongEcho: return "wrong echo";
    case AnswerFault::WrongAddress: return "wrong address";
    case AnswerFault::Exception: return "exception";
    case AnswerFault::Late: return "late";
    case AnswerFault::Noise: return "noise";
    case AnswerFault::Truncated: return "truncated";
    case AnswerFault::Silence: return "silence";
  }
  return "?";
}

// Run r spoils answer 1 + r mod N: once, in one of the answer faults at random, or (every third
// run) from that answer on, as a line that dies. True for the dying line.
inline bool Spoil(devsim::Faults& faults, int run, int answers, std::mt19937& random) {
  const int k = 1 + run % answers;
  if (run % 3 == 0) {
    faults.SpoilAnswersFrom(k, kDyingLine[random() % std::size(kDyingLine)]);
    return true;
  }
  constexpr int kLateMs[] = {350, 450, 600, 800, 1000, 1200};
  faults.SpoilAnswer(k, kOnceFaults[random() % std::size(kOnceFaults)], kLateMs[random() % std::size(kLateMs)]);
  return false;
}

using Set = std::vector<uint16_t>;  // the registers of the session's blocks, in table order

// The registers of the blocks, in table order.
inline Set RegistersOf(const devsim::Registers& regs, const std::vector<const BlockDescriptor*>& blocks) {
  Set set;
  for (const BlockDescriptor* b : blocks)
    for (int r = b->start; r < b->start + b->count; ++r) set.push_back(regs[static_cast<size_t>(r)]);
  return set;
}

// Parameters of a whole register that no range depends on: moved within their own limits, they
// change a set without making it one the device refuses.
inline std::vector<const ParameterDescriptor*> FreeParameters() {
  std::vector<const ParameterDescriptor*> free;
  for (const ParameterDescriptor& p : ParameterTable) {
    if (p.fieldType != FieldType::Int16 || p.rangeSource != RangeSource::Static || p.intMin >= p.intMax) continue;
    const int r = RegisterOf(p);
    bool limitOfAnother = false;
    for (const ParameterDescriptor& q : ParameterTable) limitOfAnother |= q.minRegister == r || q.maxRegister == r;
    if (!limitOfAnother) free.push_back(&p);
  }
  return free;
}

// Per block: the set holds the old contents, the new ones, or neither; mixed when some block
// holds neither, or some only the old and others only the new.
inline bool Mixed(const Set& now, const Set& before, const Set& after, const std::vector<const BlockDescriptor*>& blocks) {
  bool oldOnly = false, newOnly = false;
  size_t at = 0;
  for (const BlockDescriptor* b : blocks) {
    const auto n = static_cast<size_t>(b->count);
    auto same = [&](const Set& s) { return std::equal(now.begin() + at, now.begin() + at + n, s.begin() + at); };
    const bool isOld = same(before), isNew = same(after);
    if (!isOld && !isNew) return true;
    oldOnly |= isOld && !isNew;
    newOnly |= isNew && !isOld;
    at += n;
  }
  return oldOnly && newOnly;
}

}  // namespace kvn::bench

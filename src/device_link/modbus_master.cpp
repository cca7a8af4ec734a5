#include "device_link/modbus_master.h"

#include <algorithm>

#include "device_link/serial_link.h"
#include "texts/prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

constexpr int kMsgTimeout = 0;  // "No Connection! (Time-Out)-Function aborted."
constexpr int kMsgCrc = 1;      // "No Connection! (CRC)-Function aborted."

}  // namespace

ModbusMaster::ModbusMaster(SerialLink& link, const Texts& texts, Prompts& prompts)
    : link_(link), texts_(texts), prompts_(prompts) {
  clock_.start();
}

ModbusResult ModbusMaster::Transact(const std::vector<uint8_t>& request, int slave,
                                    int answerLength) {
  if (lateAnswerPossible_) DrainLateAnswers(request == failedRequest_);
  link_.Purge();
  if (!link_.Write(request.data(), static_cast<int>(request.size())))
    return ModbusResult::NoResponse;
  link_.DiscardWhileSending();
  return ReceiveFrame(slave, answerLength, static_cast<int>(request.size()));
}

// Every transaction ends here with its final result.
ModbusResult ModbusMaster::Settle(ModbusResult result, const std::vector<uint8_t>& request) {
  lastTransactionEnd_ = Tick();
  if (result != ModbusResult::Ok) {
    lateAnswerPossible_ = true;
    failedRequest_ = request;
    failedOnce_ = true;
    lastFailureTick_ = lastTransactionEnd_;
  }
  return result;
}

// Shortly after a failure, a complete frame with more bytes right behind it was one of several
// answers on the line: only the last of them can be the answer to this request.
bool ModbusMaster::AnotherAnswerFollows() {
  if (!failedOnce_ || Tick() - lastFailureTick_ >= kSuspectWindowMs) return false;
  return link_.AwaitInput(static_cast<int>(kQuietSpanMs));
}

// Lets a late answer arrive where it is thrown away, the way careful RTU masters flush after
// an error. Bytes found waiting came at an unknown time, so the quiet span starts now. A
// repeat of the failed request only waits for quiet: a late answer to it answers the repeat.
void ModbusMaster::DrainLateAnswers(bool sameRequest) {
  const uint32_t begin = Tick();
  if (link_.Purge() > 0) lastByteTick_ = begin;
  const uint32_t horizon = sameRequest ? 0 : limits_.lateAnswerHorizonMs;
  for (;;) {
    const uint32_t now = Tick();
    const uint32_t sinceEnd = now - lastTransactionEnd_;
    const uint32_t sinceByte = now - lastByteTick_;
    if ((sinceEnd >= horizon && sinceByte >= kQuietSpanMs) || now - begin >= kDrainLimitMs ||
        !link_.IsOpen())
      break;
    const uint32_t wait = std::max(sinceEnd < horizon ? horizon - sinceEnd : 0u,
                                   sinceByte < kQuietSpanMs ? kQuietSpanMs - sinceByte : 0u);
    if (link_.AwaitInput(static_cast<int>(wait))) {
      link_.Purge();
      lastByteTick_ = Tick();
    }
  }
  if (!sameRequest) lateAnswerPossible_ = false;
}

ModbusResult ModbusMaster::ReadRegisters(int function, int slave, int start,
                                         std::span<int32_t> dest) {
  const int count = static_cast<int>(dest.size());
  if (!link_.IsOpen() || start < 0) return ModbusResult::NoResponse;
  const int length = ReadAnswerLength(count);
  const std::vector<uint8_t> request = BuildReadRequest(function, slave, start, count);
  ModbusResult r = Transact(request, slave, length);
  if (r == ModbusResult::Ok && !AnswerAccepted(rx_.data(), function, start, count)) r = ModbusResult::BadCrc;
  if (Settle(r, request) != ModbusResult::Ok) return r;
  for (int i = 0; i < count; ++i) dest[static_cast<size_t>(i)] = AnswerWord(rx_.data(), i);
  return ModbusResult::Ok;
}

ModbusResult ModbusMaster::WriteRegisters(int slave, int start,
                                          std::span<const int32_t> source) {
  const int count = static_cast<int>(source.size());
  if (!link_.IsOpen() || start < 0) return ModbusResult::NoResponse;
  const std::vector<uint8_t> request = BuildWriteRequest(slave, start, count, source.data());
  ModbusResult r = Transact(request, slave, kWriteAnswerLength);
  if (r == ModbusResult::Ok && !AnswerAccepted(rx_.data(), kFnWriteMultiple, start, count)) r = ModbusResult::BadCrc;
  return Settle(r, request);
}

ModbusResult ModbusMaster::ReceiveFrame(int slave, int length, int requestBytes) {
  if (!link_.IsOpen()) return ModbusResult::NoResponse;
  const int baud = link_.AppliedBaud();
  const int bits = link_.BitsPerCharacter();
  const uint32_t requestTime = static_cast<uint32_t>(WireTimeMs(requestBytes, baud, bits));
  const uint32_t answerTime = static_cast<uint32_t>(WireTimeMs(length + 2, baud, bits));
  // A serial server's answer also crosses the network and back.
  const auto network = static_cast<uint32_t>(link_.NetworkAllowanceMs());
  const uint32_t firstByteLimit = limits_.firstByteMs + requestTime + network;
  const uint32_t wholeLimit = limits_.wholeFrameMs + requestTime + answerTime + network;

  uint32_t start = Tick();
  uint32_t last = start;
  int received = 0;
  int frames = 0;  // complete frames with more bytes right behind them
  // Bytes are taken as they came in, a batch at a time, and the clock is read once per batch:
  // at line speed a frame of 255 bytes would otherwise read it some 500 times.
  std::array<uint8_t, 256> batch{};
  for (;;) {
    const uint32_t now = Tick();
    const uint32_t gapLimit = received == 0 ? firstByteLimit : limits_.firstByteMs;
    if (now - start > wholeLimit || now - last > gapLimit) return ModbusResult::NoResponse;
    // Wait for bytes until the nearer limit runs out (plus the millisecond the checks above
    // need to see it passed), never more than the frame still lacks: bytes behind it are the
    // next frame's.
    const uint32_t waitMs = std::min(wholeLimit - (now - start), gapLimit - (now - last)) + 1;
    const int wanted = length + 2 - received;
    const int n = link_.NextBytes(batch.data(), std::min<int>(wanted, batch.size()), wanted,
                                  static_cast<int>(waitMs));
    if (n == 0) {
      if (!link_.IsOpen()) return ModbusResult::NoResponse;  // adapter lost mid-frame
      continue;
    }
    last = Tick();
    lastByteTick_ = last;
    for (int i = 0; i < n; ++i) {
      const uint8_t b = batch[static_cast<size_t>(i)];
      if (received > 0 || b == slave) rx_[static_cast<size_t>(received++)] = b;
      else if (frames > 0) return ModbusResult::BadCrc;  // not a frame behind a frame
    }
    if (received == length + 2) {
      if (!FrameCrcMatches(rx_.data(), length)) return ModbusResult::BadCrc;
      if (!AnotherAnswerFollows()) return ModbusResult::Ok;
      // Answers back to back (a late one, then ours): the device answers in order, so of
      // whole frames following one another the last answers the last request.
      if (++frames > kBackToBackFrames) return ModbusResult::BadCrc;
      received = 0;
      start = last;
    }
  }
}

void ModbusMaster::ShowFailure(ModbusResult last) {
  prompts_.ShowError(texts_.GetMessageText(last == ModbusResult::BadCrc ? kMsgCrc : kMsgTimeout));
}

bool ModbusMaster::ReadWithRetry(int function, int slave, int start, bool showMessage,
                                 std::span<int32_t> dest) {
  ModbusResult r = ModbusResult::NoResponse;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    r = ReadRegisters(function, slave, start, dest);
    if (r == ModbusResult::Ok) return true;
  }
  if (showMessage) ShowFailure(r);
  return false;
}

bool ModbusMaster::WriteWithRetry(int slave, int start, std::span<const int32_t> source) {
  ModbusResult r = ModbusResult::NoResponse;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    r = WriteRegisters(slave, start, source);
    if (r == ModbusResult::Ok) return true;
  }
  ShowFailure(r);
  return false;
}

}  // namespace kvn

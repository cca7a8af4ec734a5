#pragma once
#include <QElapsedTimer>
#include <array>
#include <cstdint>
#include <span>

#include "device_link/modbus_frames.h"

namespace kvn {

class SerialLink;
class Texts;
class Prompts;

// Modbus RTU master on the serial link: one synchronous transaction at a time on the GUI
// thread. Purge, send, collect the answer under the time limits, check it.
class ModbusMaster {
 public:
  // Time limits of the answer at fast lines. At slow lines each grows by the frame's own
  // wire time, so every block can be read and written at 4800 baud with parity.
  static constexpr uint32_t kFirstByteMs = 300;  // also the longest gap between two bytes
  static constexpr uint32_t kWholeFrameMs = 400;
  static constexpr int kAttempts = 3;
  // RTU answers carry no transaction number. After a failed transaction the rest of a bad
  // frame or a late answer may still come. Before the next request the line must have been
  // quiet for kQuietSpanMs; before a different request also kLateAnswerHorizonMs must have
  // passed since the failed transaction ended. What arrives meanwhile is thrown away.
  static constexpr uint32_t kLateAnswerHorizonMs = 500;
  static constexpr uint32_t kQuietSpanMs = 20;
  static constexpr uint32_t kDrainLimitMs = 1500;  // a line that never falls quiet
  // For this long after a failure an answer may be one of several on the line (a late one,
  // then the ones asked for since, back to back): a frame then counts only when the line stays
  // quiet after it. Whole frames of the expected length right behind one another are read on,
  // up to this many, and the last one counts; anything else behind a frame refuses it.
  static constexpr uint32_t kSuspectWindowMs = 2000;
  static constexpr int kBackToBackFrames = 2 * kAttempts;

  ModbusMaster(SerialLink& link, const Texts& texts, Prompts& prompts);

  // The answer's time limits and how long a late answer is waited out. A bus scan asks every
  // address once and most stay silent: it shortens them for the scan and puts them back.
  struct Limits {
    uint32_t firstByteMs = kFirstByteMs;
    uint32_t wholeFrameMs = kWholeFrameMs;
    uint32_t lateAnswerHorizonMs = kLateAnswerHorizonMs;
  };
  void SetLimits(const Limits& limits) { limits_ = limits; }
  const Limits& CurrentLimits() const { return limits_; }

  // Reads dest.size() registers; fills dest on success and leaves it untouched otherwise.
  ModbusResult ReadRegisters(int function, int slave, int start, std::span<int32_t> dest);
  // Writes the low 16 bits of each source cell.
  ModbusResult WriteRegisters(int slave, int start, std::span<const int32_t> source);
  // Three attempts; on failure message 0 (time-out) or 1 (CRC), when asked.
  bool ReadWithRetry(int function, int slave, int start, bool showMessage, std::span<int32_t> dest);
  // Three attempts; the message is always shown on failure.
  bool WriteWithRetry(int slave, int start, std::span<const int32_t> source);

  // Collects a frame of length + 2 bytes from the slave. Bytes before the first byte equal
  // to the slave address are dropped. requestBytes is what was just sent (for the wire-time
  // allowance).
  ModbusResult ReceiveFrame(int slave, int length, int requestBytes = 0);

  // The frame ReceiveFrame collected last (length + 2 bytes valid).
  const uint8_t* Frame() const { return rx_.data(); }

  // Millisecond tick the time limits are measured on (32-bit, wraps after 49 days; the
  // comparisons are made on differences so a wrap does not end a wait early or late).
  uint32_t Tick() const { return static_cast<uint32_t>(clock_.elapsed()); }

 private:
  ModbusResult Transact(const std::vector<uint8_t>& request, int slave, int answerLength);
  ModbusResult Settle(ModbusResult result, const std::vector<uint8_t>& request);
  void DrainLateAnswers(bool sameRequest);
  bool AnotherAnswerFollows();
  void ShowFailure(ModbusResult last);

  SerialLink& link_;
  Limits limits_;
  const Texts& texts_;
  Prompts& prompts_;
  std::array<uint8_t, 1024> rx_{};
  QElapsedTimer clock_;
  // Set by a failed transaction, cleared by the drain before the next different request. A
  // repeat of the failed request needs no drain: a late answer to it answers the repeat.
  bool lateAnswerPossible_ = false;
  std::vector<uint8_t> failedRequest_;
  uint32_t lastTransactionEnd_ = 0;
  uint32_t lastByteTick_ = 0;  // when the line last carried a byte we saw
  bool failedOnce_ = false;
  uint32_t lastFailureTick_ = 0;
};

}  // namespace kvn

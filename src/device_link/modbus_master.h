#pragma once
#include <QElapsedTimer>
#include <array>
#include <cstdint>

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

  ModbusMaster(SerialLink& link, const Texts& texts, Prompts& prompts);

  // Fills count cells on success and leaves them untouched otherwise.
  ModbusResult ReadRegisters(int function, int slave, int start, int32_t* dest, int count);
  ModbusResult WriteRegisters(int slave, int start, int count, const int32_t* source);
  // Three attempts; on failure message 0 (time-out) or 1 (CRC), when asked.
  bool ReadWithRetry(int function, int slave, int start, bool showMessage, int32_t* dest,
                     int count);
  // Three attempts; the message is always shown on failure.
  bool WriteWithRetry(int slave, int start, int count, const int32_t* source);

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
  void ShowFailure(ModbusResult last);

  SerialLink& link_;
  const Texts& texts_;
  Prompts& prompts_;
  std::array<uint8_t, 1024> rx_{};
  QElapsedTimer clock_;
};

}  // namespace kvn

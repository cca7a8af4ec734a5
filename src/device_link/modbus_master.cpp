#include "device_link/modbus_master.h"

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
  link_.Purge();
  if (!link_.Write(request.data(), static_cast<int>(request.size())))
    return ModbusResult::NoResponse;
  return ReceiveFrame(slave, answerLength, static_cast<int>(request.size()));
}

ModbusResult ModbusMaster::ReadRegisters(int function, int slave, int start, int32_t* dest,
                                         int count) {
  if (!link_.IsOpen() || start < 0) return ModbusResult::NoResponse;
  const int length = ReadAnswerLength(count);
  ModbusResult r = Transact(BuildReadRequest(function, slave, start, count), slave, length);
  if (r != ModbusResult::Ok) return r;
  if (!ReadAnswerMatches(rx_.data(), function, count)) return ModbusResult::BadCrc;
  for (int i = 0; i < count; ++i) dest[i] = AnswerWord(rx_.data(), i);
  return ModbusResult::Ok;
}

ModbusResult ModbusMaster::WriteRegisters(int slave, int start, int count,
                                          const int32_t* source) {
  if (!link_.IsOpen() || start < 0) return ModbusResult::NoResponse;
  ModbusResult r =
      Transact(BuildWriteRequest(slave, start, count, source), slave, kWriteAnswerLength);
  if (r != ModbusResult::Ok) return r;
  if (!WriteAnswerMatches(rx_.data(), start, count)) return ModbusResult::BadCrc;
  return ModbusResult::Ok;
}

ModbusResult ModbusMaster::ReceiveFrame(int slave, int length, int requestBytes) {
  if (!link_.IsOpen()) return ModbusResult::NoResponse;
  const int baud = link_.AppliedBaud();
  const int bits = link_.BitsPerCharacter();
  const uint32_t requestTime = static_cast<uint32_t>(WireTimeMs(requestBytes, baud, bits));
  const uint32_t answerTime = static_cast<uint32_t>(WireTimeMs(length + 2, baud, bits));
  const uint32_t firstByteLimit = kFirstByteMs + requestTime;
  const uint32_t wholeLimit = kWholeFrameMs + requestTime + answerTime;

  const uint32_t start = Tick();
  uint32_t last = start;
  int received = 0;
  for (;;) {
    const uint32_t now = Tick();
    if (now - start > wholeLimit) return ModbusResult::NoResponse;
    if (now - last > (received == 0 ? firstByteLimit : kFirstByteMs))
      return ModbusResult::NoResponse;
    const int b = link_.NextByte(length + 2 - received);
    if (b < 0) {
      if (!link_.IsOpen()) return ModbusResult::NoResponse;  // adapter lost mid-frame
      continue;
    }
    last = Tick();
    if (received > 0 || b == slave) rx_[static_cast<size_t>(received++)] = static_cast<uint8_t>(b);
    if (received == length + 2)
      return FrameCrcMatches(rx_.data(), length) ? ModbusResult::Ok : ModbusResult::BadCrc;
  }
}

void ModbusMaster::ShowFailure(ModbusResult last) {
  prompts_.ShowError(texts_.GetMessageText(last == ModbusResult::BadCrc ? kMsgCrc : kMsgTimeout));
}

bool ModbusMaster::ReadWithRetry(int function, int slave, int start, bool showMessage,
                                 int32_t* dest, int count) {
  ModbusResult r = ModbusResult::NoResponse;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    r = ReadRegisters(function, slave, start, dest, count);
    if (r == ModbusResult::Ok) return true;
  }
  if (showMessage) ShowFailure(r);
  return false;
}

bool ModbusMaster::WriteWithRetry(int slave, int start, int count, const int32_t* source) {
  ModbusResult r = ModbusResult::NoResponse;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    r = WriteRegisters(slave, start, count, source);
    if (r == ModbusResult::Ok) return true;
  }
  ShowFailure(r);
  return false;
}

}  // namespace kvn

#include "devsim/simulator.h"

#include "device_link/modbus_frames.h"

namespace kvn::devsim {

namespace {

constexpr uint8_t kDeviceBusy = 6;
constexpr int kMaxNoiseBytes = 8;

bool IsReadAnswer(const std::vector<uint8_t>& answer) {
  return answer.size() >= 5 && (answer[1] == rtu::kReadHolding || answer[1] == rtu::kReadInput) &&
         answer.size() == 5u + answer[2];
}

void RenewCrc(std::vector<uint8_t>& answer) {
  answer.resize(answer.size() - 2);
  AppendCrc(answer);
}

// Every register a wrong answer returns reads kPoison.
void Poison(std::vector<uint8_t>& answer) {
  if (!IsReadAnswer(answer)) return;
  for (size_t i = 3; i + 1 < answer.size() - 2; i += 2) {
    answer[i] = kPoison >> 8;
    answer[i + 1] = kPoison & 0xFF;
  }
  RenewCrc(answer);
}

}  // namespace

Simulator::Simulator(const ModelOptions& options) : model_(options, &faults_), spoilRandom_(options.seed + 7) {}

std::optional<Reply> Simulator::HandleFrame(std::span<const uint8_t> frame) {
  if (frame.size() < 4 || !rtu::CrcMatches(frame)) return std::nullopt;
  const rtu::Request request = rtu::ParseRequest(frame);
  requests_.push_back({request.address, request.function, request.start, request.count});
  const auto own = static_cast<uint8_t>(model_.SlaveAddress());
  if (request.address != own && request.address != rtu::kBroadcast) return std::nullopt;
  if (request.function == rtu::kWriteMultiple && faults_.TakeWriteFailure()) StartWriteFailure();
  if (const int left = faults_.disconnectAtRequest; left > 0 && (faults_.disconnectAtRequest = left - 1) == 0)
    faults_.disconnect = true;
  if (faults_.silent || faults_.disconnect) return std::nullopt;
  if (const int from = faults_.silentLogFrom; from >= 0 && request.function == rtu::kReadInput &&
                                              request.start >= from)
    return std::nullopt;
  std::vector<uint8_t> answer = Execute(request);
  if (request.function == rtu::kWriteMultiple && WritesProgCommand(request)) {
    if (faults_.silentAfterProgCommand.exchange(false)) faults_.silent = true;  // this answer still goes out
    if (faults_.silentAfterCommit && IsCommit(request)) {
      faults_.silent = true;  // carried out, and nothing answers from now on
      return std::nullopt;
    }
    if (faults_.TakeProgAnswerLoss()) return std::nullopt;
  }
  if (request.address == rtu::kBroadcast) return std::nullopt;  // carried out, never answered
  if (faults_.TakeSpoiledAnswer()) return SpoiledReply(faults_.spoilAnswerKind, std::move(answer), own);
  if (const int share = faults_.corruptPerMille; share > 0 && Pick(1000) < share)
    return SpoiledReply(AnswerFault::CorruptByte, std::move(answer), own);
  if (faults_.TakeCrcCorruption()) answer[answer.size() - 2] ^= 0xFF;
  Reply reply;
  reply.bytes = NoiseBytes(faults_.noiseBytes, own);
  // A burst that starts like a frame: the master takes it for the answer's beginning.
  if (const int zeros = faults_.addressBurstNext.exchange(0); zeros > 0) {
    reply.bytes.push_back(own);
    reply.bytes.insert(reply.bytes.end(), static_cast<size_t>(zeros), uint8_t{0});
  }
  reply.bytes.insert(reply.bytes.end(), answer.begin(), answer.end());
  reply.firstByteDelayMs = faults_.late ? faults_.lateDelayMs.load() : faults_.firstByteDelayMs.load();
  reply.interByteGapMs = faults_.interByteGapMs;
  return reply;
}

std::vector<uint8_t> Simulator::Execute(const rtu::Request& request) {
  const auto exception = [&](Exception e) {
    return rtu::ExceptionResponse(request.address, request.function, static_cast<uint8_t>(e));
  };
  const bool read = request.function == rtu::kReadHolding || request.function == rtu::kReadInput;
  if (!read && request.function != rtu::kWriteMultiple) return exception(Exception::IllegalFunction);
  if (!request.wellFormed) return exception(Exception::IllegalDataValue);
  Exception e = Exception::None;
  if (read) {
    std::vector<uint16_t> values;
    e = request.function == rtu::kReadHolding ? model_.ReadHolding(request.start, request.count, values)
                                              : model_.ReadInput(request.start, request.count, values);
    if (e == Exception::None) return rtu::ReadResponse(request.address, request.function, values);
  } else {
    e = model_.WriteHolding(request.start, request.values);
    if (e == Exception::None) return rtu::WriteResponse(request.address, request.start, request.count);
  }
  return exception(e);
}

int Simulator::Pick(int n) { return static_cast<int>(spoilRandom_() % static_cast<unsigned>(n)); }

std::optional<Reply> Simulator::SpoiledReply(AnswerFault how, std::vector<uint8_t> answer, uint8_t own) {
  Reply reply;
  reply.interByteGapMs = faults_.interByteGapMs;
  const bool read = IsReadAnswer(answer);
  if (how != AnswerFault::Noise) Poison(answer);
  switch (how) {
    case AnswerFault::Silence: return std::nullopt;
    case AnswerFault::CorruptByte:
      answer[static_cast<size_t>(Pick(static_cast<int>(answer.size())))] ^= static_cast<uint8_t>(1 << Pick(8));
      break;
    case AnswerFault::WrongFunction:
      answer[1] = answer[1] == rtu::kReadHolding ? rtu::kReadInput : read ? rtu::kReadHolding : 6;
      RenewCrc(answer);
      break;
    case AnswerFault::WrongByteCount:
    case AnswerFault::WrongEcho:
      // A read answer echoes nothing but its byte count; a write answer has none to spoil.
      if (read) answer[2] = static_cast<uint8_t>(answer[2] - 2);
      else answer[how == AnswerFault::WrongEcho ? 3 : 5] ^= 1;
      RenewCrc(answer);
      break;
    case AnswerFault::WrongAddress:
      answer[0] = static_cast<uint8_t>(own < 247 ? own + 1 : own - 1);
      RenewCrc(answer);
      break;
    case AnswerFault::Exception:
      answer = rtu::ExceptionResponse(own, answer[1] & 0x7F, kDeviceBusy);
      break;
    case AnswerFault::Late: reply.firstByteDelayMs = faults_.spoilDelayMs; break;
    case AnswerFault::Noise:
      for (int i = 1 + Pick(kMaxNoiseBytes); i > 0; --i) reply.bytes.push_back(static_cast<uint8_t>(Pick(256)));
      break;
    case AnswerFault::Truncated: answer.resize(static_cast<size_t>(1 + Pick(static_cast<int>(answer.size()) - 1))); break;
  }
  reply.bytes.insert(reply.bytes.end(), answer.begin(), answer.end());
  return reply;
}

void Simulator::StartWriteFailure() {
  switch (faults_.failAtWriteKind.load()) {
    case WriteFailure::Silent: faults_.silent = true; break;
    case WriteFailure::CorruptCrc: faults_.corruptCrc = true; break;
    case WriteFailure::Disconnect: faults_.disconnect = true; break;
  }
}

bool Simulator::IsCommit(const rtu::Request& request) {
  const size_t at = static_cast<size_t>(reg::ProgCommand - request.start);
  if (at >= request.values.size()) return false;
  return request.values[at] == cmd::Commit || request.values[at] == cmd::SaveDefault;
}

bool Simulator::WritesProgCommand(const rtu::Request& request) {
  return request.start <= reg::ProgCommand && reg::ProgCommand < request.start + request.count;
}

std::vector<uint8_t> Simulator::NoiseBytes(int count, uint8_t address) const {
  // Line noise as it shows on a bus: idle-high bits and short glitches, never a byte the
  // master could take for the start of the answer.
  static constexpr uint8_t kPattern[] = {0xFF, 0x00, 0xFE, 0x80, 0x7F, 0xF0};
  std::vector<uint8_t> noise;
  for (size_t i = 0; static_cast<int>(noise.size()) < count; ++i) {
    const uint8_t b = kPattern[i % sizeof kPattern];
    if (b != address) noise.push_back(b);
  }
  return noise;
}

}  // namespace kvn::devsim

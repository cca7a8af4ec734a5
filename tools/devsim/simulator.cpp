#include "devsim/simulator.h"

namespace kvn::devsim {

Simulator::Simulator(const ModelOptions& options) : model_(options, &faults_) {}

std::optional<Reply> Simulator::HandleFrame(std::span<const uint8_t> frame) {
  if (frame.size() < 4 || !rtu::CrcMatches(frame)) return std::nullopt;
  const rtu::Request request = rtu::ParseRequest(frame);
  requests_.push_back({request.address, request.function, request.start, request.count});
  const auto own = static_cast<uint8_t>(model_.SlaveAddress());
  if (request.address != own && request.address != rtu::kBroadcast) return std::nullopt;
  if (request.function == rtu::kWriteMultiple && faults_.TakeWriteFailure()) StartWriteFailure();
  if (faults_.silent || faults_.disconnect) return std::nullopt;
  if (const int from = faults_.silentLogFrom; from >= 0 && request.function == rtu::kReadInput &&
                                              request.start >= from)
    return std::nullopt;
  std::vector<uint8_t> answer = Execute(request);
  if (request.function == rtu::kWriteMultiple && WritesProgCommand(request)) {
    if (faults_.silentAfterProgCommand.exchange(false)) faults_.silent = true;  // this answer still goes out
    if (faults_.TakeProgAnswerLoss()) return std::nullopt;
  }
  if (request.address == rtu::kBroadcast) return std::nullopt;  // carried out, never answered
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

void Simulator::StartWriteFailure() {
  switch (faults_.failAtWriteKind.load()) {
    case WriteFailure::Silent: faults_.silent = true; break;
    case WriteFailure::CorruptCrc: faults_.corruptCrc = true; break;
    case WriteFailure::Disconnect: faults_.disconnect = true; break;
  }
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

// The simulator's side of the line: a byte stream from a master, cut into requests by the
// frame assembler, decoded and answered.
#include <span>
#include <vector>

#include "device_link/modbus_frames.h"
#include "devsim/frame_assembler.h"
#include "devsim/simulator.h"
#include "fuzz/targets/fuzz_property.h"

using namespace kvn;
namespace rtu = kvn::devsim::rtu;

namespace {

// A request the decoder calls well formed is exactly what the program's master sends for it.
void RequireRebuilt(const std::vector<uint8_t>& frame, const rtu::Request& r) {
  if (!r.wellFormed) return;
  std::vector<uint8_t> rebuilt;
  if (r.function == rtu::kWriteMultiple) {
    const std::vector<int32_t> cells(r.values.begin(), r.values.end());
    rebuilt = BuildWriteRequest(r.address, r.start, r.count, cells.data());
  } else {
    rebuilt = BuildReadRequest(r.function, r.address, r.start, r.count);
  }
  FUZZ_REQUIRE(rebuilt == frame);
}

// An answer is a whole frame for the address asked; one that is no exception is one the
// master takes as the answer to this very request.
void RequireAnswer(const std::vector<uint8_t>& frame, const rtu::Request& r, const std::vector<uint8_t>& answer) {
  FUZZ_REQUIRE(answer.size() >= 5 && rtu::CrcMatches(answer));
  FUZZ_REQUIRE(answer[0] == frame[0]);
  const int length = static_cast<int>(answer.size()) - 2;
  if (answer[1] == (r.function | rtu::kExceptionFlag)) {
    FUZZ_REQUIRE(length == 3);
    return;
  }
  FUZZ_REQUIRE(answer[1] == r.function && r.wellFormed);
  if (r.function == rtu::kWriteMultiple) {
    FUZZ_REQUIRE(r.count >= 1 && r.count <= kMaxWriteCount);
    FUZZ_REQUIRE(length == kWriteAnswerLength && AnswerAccepted(answer.data(), r.function, r.start, r.count));
  } else {
    FUZZ_REQUIRE(r.count >= 1 && r.count <= kMaxReadCount);
    FUZZ_REQUIRE(length == ReadAnswerLength(r.count) && AnswerAccepted(answer.data(), r.function, r.start, r.count));
  }
}

void Handle(devsim::Simulator& sim, const std::vector<uint8_t>& frame) {
  const rtu::Request r = rtu::ParseRequest(frame);
  RequireRebuilt(frame, r);
  const auto reply = sim.HandleFrame(frame);
  if (!reply) return;
  FUZZ_REQUIRE(rtu::CrcMatches(frame) && frame[0] != rtu::kBroadcast);
  RequireAnswer(frame, r, reply->bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  // The master's bytes arrive in pieces of any size; the line falls silent only at the end.
  const size_t piece = 1 + in.Byte() % 16;
  const QByteArray stream = in.Rest();
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(stream.constData()), static_cast<size_t>(stream.size()));
  devsim::Simulator sim;
  devsim::FrameAssembler assembler;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    assembler.Feed(bytes.subspan(at, std::min(piece, bytes.size() - at)));
    while (auto frame = assembler.NextFrame()) {
      FUZZ_REQUIRE(rtu::CrcMatches(*frame));
      Handle(sim, *frame);
    }
  }
  if (auto rest = assembler.OnSilence()) Handle(sim, *rest);
  return 0;
}

// The master's own acceptance of an answer from the line (the function its reads and writes
// take a collected frame by): the bytes collected from the slave address on, for a read
// (functions 3, 4) or a block write (16) the input chooses.
#include <array>
#include <vector>

#include "device_link/modbus_frames.h"
#include "devsim/rtu_frames.h"
#include "fuzz/targets/fuzz_property.h"

using namespace kvn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const int function = std::array{kFnReadHolding, kFnReadInput, kFnWriteMultiple}[in.Byte() % 3];
  const auto slave = static_cast<uint8_t>(1 + in.Byte() % 254);
  const int start = in.Word();
  const int count = 1 + in.Byte() % (function == kFnWriteMultiple ? kMaxWriteCount : kMaxReadCount);
  const int length = function == kFnWriteMultiple ? kWriteAnswerLength : ReadAnswerLength(count);

  // What arrived: the collector starts a frame at the slave address and stops at its length.
  const QByteArray rest = in.Rest();
  std::vector<uint8_t> frame(static_cast<size_t>(length + 2), 0);
  frame[0] = slave;
  for (size_t i = 1; i < frame.size() && i < static_cast<size_t>(rest.size()); ++i)
    frame[i] = static_cast<uint8_t>(rest[static_cast<qsizetype>(i)]);

  // The slave's own answer to this request, built by the simulator, with the data words the
  // input carries. It is always taken, and nothing else ever is.
  std::vector<uint8_t> genuine;
  if (function == kFnWriteMultiple) {
    genuine = devsim::rtu::WriteResponse(slave, static_cast<uint16_t>(start), static_cast<uint16_t>(count));
  } else {
    std::vector<uint16_t> words(static_cast<size_t>(count));
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(frame[3 + 2 * i] << 8 | frame[4 + 2 * i]);
    genuine = devsim::rtu::ReadResponse(slave, static_cast<uint8_t>(function), words);
    for (int i = 0; i < count; ++i)
      FUZZ_REQUIRE(AnswerWord(genuine.data(), i) == static_cast<int16_t>(words[static_cast<size_t>(i)]));
  }
  FUZZ_REQUIRE(AnswerAccepted(genuine.data(), function, start, count));
  FUZZ_REQUIRE(AnswerAccepted(frame.data(), function, start, count) == (frame == genuine));
  return 0;
}

#pragma once
// Shared by the fuzz targets: libFuzzer drives them in the fuzz build, the corpus replay in
// the normal one. A property that fails stops the run at once with a message, so that
// libFuzzer keeps the input as a crash and the replay fails its ctest case.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                          \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace kvn::fuzz {

// Reads the input front to back: fixed-size fields first, the rest as the parser's bytes.
// Past the end every field reads as zero, so any input, even an empty one, is usable.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() << 8 | Byte()); }
  uint32_t Long() { return static_cast<uint32_t>(Word()) << 16 | Word(); }
  QByteArray Rest() {
    const size_t from = at_ < size_ ? at_ : size_;
    at_ = size_;
    return QByteArray(reinterpret_cast<const char*>(data_ + from), static_cast<qsizetype>(size_ - from));
  }
  size_t Remaining() const { return at_ < size_ ? size_ - at_ : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace kvn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

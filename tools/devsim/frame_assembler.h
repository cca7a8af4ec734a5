#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kvn::devsim {

// Cuts the byte stream from the master into request frames. A frame ends when the length its
// function code announces has arrived, or, for other function codes, at the first silence on
// the line. A frame that fails its CRC spoils everything up to the next silence, as on a real
// line where the slave cannot know where the next frame begins.
class FrameAssembler {
 public:
  void Feed(std::span<const uint8_t> bytes);
  // The next frame whose length and CRC are complete, if any.
  std::optional<std::vector<uint8_t>> NextFrame();
  // The line has gone quiet: whatever is pending is one frame (its CRC decides).
  std::optional<std::vector<uint8_t>> OnSilence();
  bool Pending() const { return !buffer_.empty() || discarding_; }

 private:
  std::vector<uint8_t> buffer_;
  bool discarding_ = false;
};

}  // namespace kvn::devsim

#include "devsim/frame_assembler.h"

#include "devsim/rtu_frames.h"

namespace kvn::devsim {

void FrameAssembler::Feed(std::span<const uint8_t> bytes) {
  if (discarding_) return;
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<std::vector<uint8_t>> FrameAssembler::NextFrame() {
  if (discarding_) return std::nullopt;
  const int length = rtu::RequestLength(buffer_);
  if (length > 0 && buffer_.size() >= static_cast<size_t>(length)) {
    std::vector<uint8_t> frame(buffer_.begin(), buffer_.begin() + length);
    if (rtu::CrcMatches(frame)) {
      buffer_.erase(buffer_.begin(), buffer_.begin() + length);
      return frame;
    }
  } else if (buffer_.size() <= static_cast<size_t>(rtu::kMaxFrame)) {
    return std::nullopt;  // wait for more bytes or for the silence
  }
  buffer_.clear();
  discarding_ = true;
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> FrameAssembler::OnSilence() {
  discarding_ = false;
  if (buffer_.empty()) return std::nullopt;
  std::vector<uint8_t> frame;
  frame.swap(buffer_);
  return frame;
}

}  // namespace kvn::devsim

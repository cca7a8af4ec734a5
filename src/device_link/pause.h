#pragma once

namespace kvn {

// Fixed waits the device protocol prescribes (after a write, after a commit, the test pulse,
// the port-scan settle time). Tests may shorten them; receive time-outs never go through here.
class Pause {
 public:
  virtual ~Pause() = default;
  virtual void Wait(int milliseconds);
};

}  // namespace kvn

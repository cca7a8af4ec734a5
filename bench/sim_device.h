#pragma once
// The simulated device on a pseudo-terminal as the campaigns and session benchmarks use it,
// and the admin password as its block holds it.
#include <cstdint>
#include <string_view>
#include <vector>

#include "devsim/pty_device.h"
#include "devsim/registers.h"

namespace kvn::bench {

// The USB line, its answers paced at 115200 baud.
inline devsim::SimOptions UsbDevice() {
  devsim::SimOptions options;
  options.model.usb = true;
  options.pacing = {115200, 10};
  return options;
}

// The eight registers of a password as the device takes it at its login registers: two
// characters a register, low byte first, space-padded (the device's own text encoding).
inline std::vector<int32_t> PasswordCells(std::string_view password) {
  constexpr int kCells = 8;
  devsim::Registers regs{};
  devsim::SetText(regs, 0, kCells, password);
  return {regs.begin(), regs.begin() + kCells};
}

}  // namespace kvn::bench

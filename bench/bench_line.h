#pragma once
// The pieces every link benchmark puts together: the simulated device on a pseudo-terminal
// as COM1, and our master on it.
#include <time.h>

#include <memory>
#include <string>

#include "devsim/pty_device.h"
#include "support/master_stack.h"
#include "texts/console_prompts.h"

namespace kvn::bench {

inline double Now(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

struct OurLine : test::MasterStack<ConsolePrompts> {
  OurLine(devsim::PtyDevice& device, int baudIndex) {
    folder.Link(1, QString::fromStdString(device.SlavePath()));
    setup.com_num = "COM1";
    setup.baud = baudIndex;
    setup.addr = device.WithModel([](auto& m) { return m.SlaveAddress(); });
  }
};

}  // namespace kvn::bench

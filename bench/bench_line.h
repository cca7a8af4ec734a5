#pragma once
// The pieces every link benchmark puts together: the simulated device on a pseudo-terminal
// as COM1, and our master on it.
#include <time.h>

#include <memory>
#include <string>

#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "devsim/pty_device.h"
#include "support/pty_pair.h"
#include "texts/console_prompts.h"
#include "texts/texts.h"

namespace kvn::bench {

inline double Now(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

struct OurLine {
  OurLine(devsim::PtyDevice& device, int baudIndex) {
    folder.Link(1, QString::fromStdString(device.SlavePath()));
    setup.com_num = "COM1";
    setup.baud = baudIndex;
    setup.addr = device.WithModel([](auto& m) { return m.SlaveAddress(); });
    texts.FillFromDefaults();
  }
  test::PortsFolder folder;
  LocSetupRec setup;
  Texts texts;
  ConsolePrompts prompts;
  Pause pause;
  PortMap ports{folder.Path()};
  SerialLink link{setup, ports, pause};
  ModbusMaster master{link, texts, prompts};
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  BlockTransfer blocks{master, *images, setup};
};

}  // namespace kvn::bench

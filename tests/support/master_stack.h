#pragma once
// The program's link stack as tests and benchmarks put it together: a ports folder, the
// settings, texts, prompts, link, master, images and block transfers. Link a COM name to a
// device and set setup.com_num before opening.
#include <memory>

#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "support/pty_pair.h"
#include "texts/texts.h"

namespace kvn::test {

template <class PromptsType>
struct MasterStack {
  MasterStack() { texts.FillFromDefaults(); }
  PortsFolder folder;
  LocSetupRec setup;
  Texts texts;
  PromptsType prompts;
  Pause pause;
  PortMap ports{folder.Path()};
  SerialLink link{setup, ports, pause};
  ModbusMaster master{link, texts, prompts};
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  BlockTransfer blocks{master, *images, setup};
};

}  // namespace kvn::test

#pragma once
#include <QString>

namespace kvn {

// The five fields that say how the device is reached. The serial link and the Modbus master
// read them through a reference, so a change made by the interface dialog applies to the next
// Open without copying.
struct InterfaceSettings {
  QString com_num;     // "COM" + number, as the port scan lists it
  int baud = 0;        // index 0..5 into kBaudRates
  int parity = 0;      // 0 none, 1 odd, 2 even
  bool usb = false;    // device's own USB port: 115200, no parity, address 1
  int addr = 0;        // Modbus slave address 1..254
};

inline constexpr int kBaudRates[6] = {4800, 9600, 19200, 38400, 57600, 115200};

// The one program settings record. Interface fields are inherited so that they read as
// loc_setup_rec.com_num etc. The plot appearance fields and the file format belong to the
// program settings module.
struct LocSetupRec : InterfaceSettings {
  int offline_mode = 0;
  bool setup_loaded = false;  // EditImage holds a complete parameter set
  int last_acc_lvl = -2;      // access level last shown; -2 forces a redraw
};

}  // namespace kvn

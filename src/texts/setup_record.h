#pragma once
#include <QString>
#include <cstdint>

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
inline constexpr int kUsbBaudIndex = 5;  // the device's USB port always runs at 115200

// The baud rate a settings index stands for; an index out of range is taken as the nearest.
inline constexpr int BaudOfIndex(int index) { return kBaudRates[index < 0 ? 0 : index > 5 ? 5 : index]; }

// The one program settings record. Interface fields are inherited so that they read as
// loc_setup_rec.com_num etc. The plot appearance fields and the file format belong to the
// program settings module.
struct LocSetupRec : InterfaceSettings {
  // Plot appearance, index 0..4 for outputs 1..5. Colours are 0x00BBGGRR (red in the low
  // byte); thickness values are indexes 0..3, pen width = index + 1.
  bool diag_min_act[5] = {};
  bool diag_max_act[5] = {};
  int diag_max_thk[5] = {};
  int diag_min_thk[5] = {};
  int32_t diag_min_col[5] = {};
  int32_t diag_max_col[5] = {};
  int32_t diag_speed_col = 0;
  int32_t diag_rated_col = 0;
  int diag_speed_thk = 0;
  int diag_rated_thk = 0;

  int offline_mode = 0;
  bool setup_loaded = false;  // EditImage holds a complete parameter set
  int last_acc_lvl = -2;      // access level last shown; -2 forces a redraw
};

}  // namespace kvn

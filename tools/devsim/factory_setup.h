#pragma once
#include <cstdint>
#include <string>

#include "devsim/registers.h"

namespace kvn::devsim {

// What the device says about itself in the identification and factory blocks.
struct DeviceIdentity {
  int deviceType = 2300;
  int firmware = 120;  // version x 100: 1.20
  uint16_t romCrc = 0x5A3C;
  std::string serialNumber = "KV2300-0017-0417";
  std::string hardwareVersion = "HW 2.1 rev C";
  int deviceMode = 3;  // register 3024, bits 0 and 1: the mode the program accepts
};

// The RS-485 settings the device user block starts with.
struct LineDefaults {
  int address = 1;        // 1..254
  int baudIndex = 2;      // 4800, 9600, 19200, 38400, 57600, 115200
  int parityChoice = 0;   // register 2043: 0 none, 1 even, 2 odd
};

inline constexpr const char* kDefaultAdminPassword = "admin";
inline constexpr float kDefaultRatedSpeed = 3000.0f;

// Fills every parameter block with the setup the device leaves the factory with (all values
// inside the ranges the configuration program checks), the factory limits of blocks 6 and 8,
// the identity, and stores every block CRC.
void FillFactorySetup(Registers& regs, const DeviceIdentity& identity, const LineDefaults& line,
                      const std::string& adminPassword);

// Writes the identity into the identification block and the factory device block.
void WriteIdentity(Registers& regs, const DeviceIdentity& identity);

}  // namespace kvn::devsim

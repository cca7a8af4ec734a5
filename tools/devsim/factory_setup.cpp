#include "devsim/factory_setup.h"

#include <array>

namespace kvn::devsim {

namespace {

struct WordValue {
  int reg;
  uint16_t value;
};
struct LongValue {
  int reg;
  uint32_t value;
};
struct FloatValue {
  int reg;
  float value;
};
struct TextValue {
  int reg;
  int registers;
  const char* text;
};

constexpr int kOutputs = 5;

// Output function bits of the relay words 5500..5504.
constexpr uint16_t kLatch = 0x01, kInvert = 0x02, kOverspeed = 0x04, kUnderspeed = 0x08,
                   kOveracceleration = 0x10, kDiagnostics = 0x40, kTestReset = 0x80;

// Relays 1 and 2 are the fail-safe pair (energised while healthy, tripped by diagnostics
// and by test-and-reset); relay 3 watches acceleration, relay 4 is a latched overspeed trip
// and the digital output an early overspeed warning.
constexpr std::array<uint16_t, kOutputs> kRelayWords = {
    kInvert | kDiagnostics | kOverspeed | kTestReset,
    kInvert | kDiagnostics | kUnderspeed | kTestReset,
    kOveracceleration,
    kLatch | kOverspeed,
    kOverspeed,
};
constexpr std::array<float, kOutputs> kOverspeedLimit = {3300, 3300, 3300, 3450, 3150};
constexpr std::array<float, kOutputs> kUnderspeedLimit = {300, 300, 300, 300, 300};
constexpr std::array<float, kOutputs> kAccelerationLimit = {500, 500, 400, 500, 500};
constexpr std::array<float, kOutputs> kOverspeedHysteresis = {30, 30, 30, 30, 20};
constexpr std::array<float, kOutputs> kUnderspeedHysteresis = {30, 30, 30, 30, 30};
constexpr std::array<float, kOutputs> kAccelerationHysteresis = {20, 20, 20, 20, 20};
// Raw values with three implied decimals (seconds).
constexpr std::array<uint32_t, kOutputs> kOneShot = {500, 500, 500, 500, 500};
constexpr std::array<uint32_t, kOutputs> kOverspeedDelay = {0, 0, 0, 0, 200};
constexpr std::array<uint32_t, kOutputs> kUnderspeedDelay = {100, 100, 100, 100, 100};
constexpr std::array<uint32_t, kOutputs> kAccelerationDelay = {50, 50, 50, 50, 50};

constexpr TextValue kTexts[] = {
    {2000, 8, "Turbine T1"},        {2008, 8, "Shaft north"},
    {2016, 8, "SPM-0417"},          {2024, 16, "Overspeed guard, demo setup"},
    {2500, 8, "Plant unit 3"},      {2508, 8, "Loop 17"},
    {2516, 8, "SIL 2"},             {2524, 16, "Commissioned by admin"},
};

constexpr WordValue kWords[] = {
    {2044, 0},     // termination inactive
    {2540, 0},     // voting 1oo1
    {4000, 0},     // target surface: involuted
    {4001, 60},    // teeth
    {4002, 0},     // sensor: 2-wire current
    {4003, 1},     // speed averaging
    {4004, 4},     // acceleration averaging
    {4005, 10},    // look-ahead depth
    {4006, 100},   // look-ahead factor
    {4007, 1},     // measurement: radial
    {4014, 0},     // rising edge
    {4015, 20},    // module 2.0
    {4514, 0},     // test-and-reset action: test and reset only
    {4515, 0},     // USB interface allowed
    {4516, 0},     // analog output check on, initial safe state on
    {6000, 1},     // factory output block: hardware option word
};

constexpr LongValue kLongs[] = {
    {4500, 2000},        // bad-pulse time 2.000
    {4512, 0x00000086},  // latched errors: safety CRC, factory CRC, sensor
    {5026, 0x00000006},  // latches the factory forces: safety CRC, factory CRC
    {5046, 100000},      // bad-pulse time: upper limit 100.000
    {5048, 10},          // bad-pulse time: lower limit 0.010
};

constexpr FloatValue kFloats[] = {
    {4008, kDefaultRatedSpeed},  // rated speed
    {4010, 12.0f},               // current trigger level, mA
    {4012, 6.0f},                // voltage trigger level, V
    {4016, 1.0f},                // cut-in frequency, Hz
    {4502, 22.0f},               // sensor current limits, mA
    {4504, 2.0f},
    {4506, 22.0f},               // sensor voltage limits, V
    {4508, 2.0f},
    {4510, 0.5f},                // analog output error tolerance, mA
    {5030, 2.0f},                // factory: analog output tolerance upper / lower limit
    {5032, 0.1f},
    {5034, 25.0f},               // factory: sensor current upper / lower limit
    {5036, 0.0f},
    {5038, 30.0f},               // factory: sensor voltage upper / lower limit
    {5040, 0.0f},
    {5052, 1.2f},                // factory: offset of the 2-wire voltage input
    {5636, 50.0f},               // acceleration evaluated above 50 RPM
    {5638, 0.0f},                // analog output: 4 mA at 0 RPM
    {5640, 3600.0f},             //                20 mA at 3600 RPM
    {5642, 20.5f},               // analog output clamped to 3.8..20.5 mA
    {5644, 3.8f},
    {5646, 3.2f},                // analog output on error
    {6002, 35000.0f},            // factory: highest input frequency
    {6004, 5000.0f},             // factory: speed limits upper / lower
    {6006, 0.0f},
    {6008, 10000.0f},            // factory: acceleration limits upper / lower
    {6010, 0.0f},
};

void FillOutputs(Registers& regs) {
  for (int i = 0; i < kOutputs; ++i) {
    const auto k = static_cast<size_t>(i);
    regs[static_cast<size_t>(5500 + i)] = kRelayWords[k];
    SetU32(regs, 5506 + 2 * i, kOneShot[k]);
    SetU32(regs, 5516 + 2 * i, kOverspeedDelay[k]);
    SetU32(regs, 5526 + 2 * i, kUnderspeedDelay[k]);
    SetU32(regs, 5536 + 2 * i, kAccelerationDelay[k]);
    SetFloat(regs, 5556 + 2 * i, kOverspeedLimit[k]);
    SetFloat(regs, 5566 + 2 * i, kUnderspeedLimit[k]);
    SetFloat(regs, 5576 + 2 * i, kAccelerationLimit[k]);
    SetFloat(regs, 5596 + 2 * i, kOverspeedHysteresis[k]);
    SetFloat(regs, 5606 + 2 * i, kUnderspeedHysteresis[k]);
    SetFloat(regs, 5616 + 2 * i, kAccelerationHysteresis[k]);
  }
}

}  // namespace

void WriteIdentity(Registers& regs, const DeviceIdentity& identity) {
  regs[reg::DeviceType] = static_cast<uint16_t>(identity.deviceType);
  regs[reg::Firmware] = static_cast<uint16_t>(identity.firmware);
  regs[reg::FirmwareCrc] = identity.romCrc;
  SetText(regs, reg::SerialNumber, 8, identity.serialNumber);
  SetText(regs, reg::HardwareVersion, 8, identity.hardwareVersion);
  SetText(regs, 3000, 8, "KV2300-SPM");  // factory: model code
  SetU32(regs, 3016, 20230614);          // factory: calibration date
  regs[reg::DeviceMode] = static_cast<uint16_t>(identity.deviceMode);
  StoreBlockCrc(regs, Block(BlockId::FactoryDevice));
}

void FillFactorySetup(Registers& regs, const DeviceIdentity& identity, const LineDefaults& line,
                      const std::string& adminPassword) {
  SetText(regs, 1000, 8, adminPassword);
  for (const auto& t : kTexts) SetText(regs, t.reg, t.registers, t.text);
  for (const auto& w : kWords) regs[static_cast<size_t>(w.reg)] = w.value;
  for (const auto& l : kLongs) SetU32(regs, l.reg, l.value);
  for (const auto& f : kFloats) SetFloat(regs, f.reg, f.value);
  regs[2040] = static_cast<uint16_t>(line.address);
  regs[2041] = static_cast<uint16_t>(line.baudIndex);
  regs[2043] = static_cast<uint16_t>(line.parityChoice);
  FillOutputs(regs);
  WriteIdentity(regs, identity);
  for (const auto& b : BlockTable)
    if (b.is_parameter) StoreBlockCrc(regs, b);
}

}  // namespace kvn::devsim

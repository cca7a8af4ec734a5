#include "operations/bus_scan.h"

#include <array>
#include <memory>
#include <span>

#include "device_link/block_table.h"
#include "device_link/modbus_frames.h"
#include "device_link/modbus_master.h"
#include "device_link/register_image.h"
#include "operations/device_backup.h"
#include "parameters/value_codec.h"

namespace kvn {
namespace {

// A unit answers an identification request within a few characters' time; the wire time of
// the frames comes on top of these in the master. A late answer is long over when the next
// address is asked, since no unit answers anything but its own address.
constexpr ModbusMaster::Limits kScanLimits{40, 80, 0};
constexpr int kIdentificationCount = 26;
constexpr int kTagRegisters = 8;

// The limits the scan sets, given back on every way out.
class ScanLimits {
 public:
  explicit ScanLimits(ModbusMaster& master) : master_(master), saved_(master.CurrentLimits()) {
    master_.SetLimits(kScanLimits);
  }
  ~ScanLimits() { master_.SetLimits(saved_); }
  ScanLimits(const ScanLimits&) = delete;
  ScanLimits& operator=(const ScanLimits&) = delete;

 private:
  ModbusMaster& master_;
  ModbusMaster::Limits saved_;
};

}  // namespace

std::optional<BusFinding> BusScan::Ask(int address) {
  auto image = std::make_unique<RegisterImage>();
  const std::span<int32_t> identification(image->data(), kIdentificationCount);
  ModbusResult r = master_.ReadRegisters(kFnReadHolding, address, 0, identification);
  // One garbled answer may be noise; a second one at the same address is two transmitters.
  if (r == ModbusResult::BadCrc) r = master_.ReadRegisters(kFnReadHolding, address, 0, identification);
  if (r == ModbusResult::BadCrc) return BusFinding{BusFinding::Kind::Conflict, address, 0, 0, {}, {}, false};
  if (r != ModbusResult::Ok) return std::nullopt;
  BusFinding unit;
  unit.address = address;
  unit.deviceType = Cell(*image, reg::DeviceType);
  unit.firmware = Cell(*image, reg::Firmware);
  unit.serialNumber = SerialNumberIn(*image);
  unit.accepted = unit.deviceType == kAcceptedDeviceType && unit.firmware >= kFirmwareMin && unit.firmware <= kFirmwareMax;
  const std::span<int32_t> tag(image->data() + reg::TagNumber, kTagRegisters);
  if (master_.ReadRegisters(kFnReadHolding, address, reg::TagNumber, tag) == ModbusResult::Ok)
    unit.tag = ReadText(*image, reg::TagNumber, kTagRegisters).trimmed();
  return unit;
}

std::vector<BusFinding> BusScan::Run(Range range, const Progress& progress) {
  const ScanLimits limits(master_);
  std::vector<BusFinding> found;
  const int total = range.last - range.first + 1;
  for (int address = range.first; address <= range.last; ++address) {
    if (std::optional<BusFinding> finding = Ask(address)) found.push_back(*finding);
    if (progress && !progress(address - range.first + 1, total)) break;
  }
  return found;
}

}  // namespace kvn

#include "operations/admin_login.h"

#include <algorithm>
#include <span>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "parameters/value_codec.h"
#include "texts/setup_record.h"

namespace kvn {
namespace {

constexpr int kEntryCharacters = 16;
constexpr int kEntryRegisters = kEntryCharacters / 2;
// Eight registers of all ones tell the device to drop back to user level.
constexpr int32_t kLogoutWord = 0xFFFF;

bool WriteLoginRegisters(ModbusMaster& master, const RegisterImage& edit, const InterfaceSettings& settings) {
  return master.WriteWithRetry(settings.addr, reg::Password,
                               std::span<const int32_t>(edit.data() + reg::Password, kEntryRegisters));
}

}  // namespace

QString LoginEntry(const QString& typed) {
  return (typed + QString(kEntryCharacters + 1, QLatin1Char(' '))).left(kEntryCharacters);
}

bool LogIn(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images, const InterfaceSettings& settings,
           const QString& typed) {
  WriteText(images.EditImage, reg::Password, kEntryRegisters, LoginEntry(typed));
  if (!WriteLoginRegisters(master, images.EditImage, settings)) return false;
  return blocks.ReadBlock(BlockId::Identification, true, ImageSelector::Device);
}

bool LogOut(ModbusMaster& master, RegisterImages& images, const InterfaceSettings& settings) {
  std::fill_n(images.EditImage.begin() + reg::Password, kEntryRegisters, kLogoutWord);
  return WriteLoginRegisters(master, images.EditImage, settings);
}

}  // namespace kvn

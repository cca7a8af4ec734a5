#pragma once
#include <QString>

namespace kvn {

class BlockTransfer;
class ModbusMaster;
struct InterfaceSettings;
struct RegisterImages;

// What the device gets for a login entry: the first 16 characters, padded with blanks.
QString LoginEntry(const QString& typed);

// Sends the login entry of what was typed and reads the identification block into DeviceImage,
// whose register 14 then holds the level the device granted: the device alone judges the
// password. False when the link failed (its message has been shown).
bool LogIn(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images,
           const InterfaceSettings& settings, const QString& typed);
// Tells the device to drop back to user level; false when it did not hear it.
bool LogOut(ModbusMaster& master, RegisterImages& images, const InterfaceSettings& settings);

}  // namespace kvn

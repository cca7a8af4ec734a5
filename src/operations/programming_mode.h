#pragma once
#include <QStringList>
#include <memory>
#include <vector>

#include "device_link/block_table.h"
#include "device_link/register_image.h"

namespace kvn {

class BlockTransfer;
class ModbusMaster;
class NumberFormat;
class Texts;
struct InterfaceSettings;

// Entering and leaving programming mode, and ending an admin login, each told by reading the
// device afterwards: a command's answer says the device heard it, not what it did. Both front
// ends go through these.

// What a read of the identification block found after a command.
enum class ModeRead { Out, In, NoAnswer };
enum class LevelRead { User, Admin, NoAnswer };

// The programming command value goes to EditImage cell 108 and from there to the device.
bool SendProgCommand(ModbusMaster& master, RegisterImages& images, const InterfaceSettings& settings, int value);
// Reads the identification block into DeviceImage and tells the mode it reports.
ModeRead ReadMode(BlockTransfer& blocks, const RegisterImages& images);
// Sends "enter programming mode" and reads whether the device is in it.
ModeRead EnterProgrammingMode(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images,
                              const InterfaceSettings& settings);
// Sends "leave programming mode" (what was written and not committed is dropped) and reads
// whether the device has left it. The command is sent again once when the first did not take.
ModeRead LeaveProgrammingMode(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images,
                              const InterfaceSettings& settings);
// Tells the device to drop back to user level and reads the level it reports.
LevelRead EndAdminLogin(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images,
                        const InterfaceSettings& settings);

// Which set a device runs after a session, judged on its registers read back out of
// programming mode: the new set only when they equal what was written, the previous set only
// when they equal the backup taken before the session; anything else is not known. The bits the
// device owns count in no comparison.
enum class SetVerdict { New, Previous, NotKnown };
struct SetJudgement {
  SetVerdict verdict = SetVerdict::NotKnown;
  bool alsoPrevious = false;  // New: the written set was the previous one
  QStringList differing;      // NotKnown: the parameters that match neither set
};
SetJudgement JudgeSetInForce(const RegisterImage& readBack, const RegisterImage& written, const RegisterImage* backup,
                             const std::vector<BlockDescriptor>& blocks, const Texts& texts, const NumberFormat& format);

}  // namespace kvn

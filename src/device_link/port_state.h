#pragma once
#include <QString>

namespace kvn {

// Why a serial port that the numbering knows can or cannot be opened now. The operating
// system's calls behind it live in the platform file (platform/platform.h).
enum class PortState {
  Free,          // opens, nobody holds it
  NoPermission,  // the device exists, this user may not open it (not in its group)
  InUse,         // another program holds it
  Absent,        // nothing behind the name
  Unusable,      // opens with another error, or is no terminal
};

// What an error number from opening or locking a port means for the engineer.
PortState PortStateOfError(int error);

// Opens the port the way the link does (read and write, exclusive lock) without keeping it,
// and tells what stood in the way.
PortState ProbePortState(const QString& path);

}  // namespace kvn

#include "device_link/port_state.h"

#include <cerrno>

#include "platform/platform.h"

namespace kvn {

PortState PortStateOfError(int error) {
  switch (error) {
    case 0: return PortState::Free;
    case EACCES:
    case EPERM: return PortState::NoPermission;
    case EBUSY:  // another program set TIOCEXCL
    case EWOULDBLOCK: return PortState::InUse;  // another program holds the lock
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
    case ELOOP: return PortState::Absent;
    default: return PortState::Unusable;
  }
}

PortState ProbePortState(const QString& path) { return PortStateOfError(platform::ProbePortError(path)); }

}  // namespace kvn

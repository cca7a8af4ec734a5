#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// Everything the program asks of the operating system beyond Qt, in one place. The POSIX
// answers live in platform_posix.cpp; another system is one more file answering the same
// calls, picked by CMake. Nothing else in src/ includes a system header.
namespace kvn::platform {

// --- An open serial port, by the handle QSerialPort::handle() gives --------------------------

// Takes the open device for this process alone, so that a second open of it is refused, also
// under another name for the same device and also for root. False: someone else holds it.
bool LockPortExclusive(qintptr handle);
// Bytes the driver still has to send; 0 when it cannot tell.
int DriverOutputQueue(qintptr handle);
// Bytes the driver has received that nobody has read yet; 0 when it cannot tell.
int DriverInputQueue(qintptr handle);
// True when the far end has gone (adapter unplugged, the other side of a pseudo-terminal
// closed): the handle then reports readable without ever having data.
bool PortHungUp(qintptr handle);
// Waits up to the given time until the port has bytes to read or the far end has gone; true
// when either happened. Unlike a wait for bytes alone, a hang-up ends it at once.
bool AwaitPortEvent(qintptr handle, int milliseconds);

// Opens the port as the link does (read and write, a terminal, the exclusive lock) without
// keeping it: 0 when nothing stood in the way, else the error number, by the names of <cerrno>,
// of the first step refused (EACCES no permission, EBUSY or EWOULDBLOCK held by another
// program, ENOENT nothing there, ...).
int ProbePortError(const QString& path);

// --- What a port name stands for ------------------------------------------------------------

// Changes when a link is removed and made again or pointed elsewhere, though its target may
// read the same; empty when there is no such link.
QString LinkStamp(const QString& link);
// For a device node whose name the system hands to the next comer as soon as it is closed (a
// pseudo-terminal), what tells this instance from a later one at the same path (empty when it
// has gone); nothing for other devices, whose path is identity enough.
std::optional<QString> ReusedNodeInstance(const QString& canonicalPath);

// --- Guarded file reading -------------------------------------------------------------------

struct RegularFile {
  enum class Status { Read, Missing, Directory, NotRegular, TooLarge, Failed };
  Status status = Status::Missing;
  QByteArray bytes;    // the whole file when Read
  QString systemError;  // the system's words for Failed
};

// Reads the file only when it is a regular file (after following links) of at most maxBytes,
// checked on the name and again on the open file; a pipe or device is never read, and one put
// in place of the checked name is not waited on. A file that grows past the cap while being
// read is refused too.
RegularFile ReadRegularFile(const QString& path, qint64 maxBytes);

}  // namespace kvn::platform

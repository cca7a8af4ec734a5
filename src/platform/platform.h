#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

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

// --- The program's own terminal and signals (the command line) -----------------------------

enum class Stream { Input, Output, Error };
// The stream is a terminal a person looks at or types on.
bool IsTerminal(Stream stream);

// Turns the echo of typed characters on the input terminal off (a password) or back on;
// whatever was typed before it went off is dropped (it was no answer to a prompt not yet
// shown). False when the input is no terminal.
bool SetInputEcho(bool on);

// One byte of standard input, waiting at most `milliseconds`: the byte, kNoInputYet when
// nothing came in that time (the caller looks whether it was interrupted and waits again), or
// kInputEnded at end of input or on an error.
inline constexpr int kNoInputYet = -1;
inline constexpr int kInputEnded = -2;
int ReadInputByte(int milliseconds);

// Every way a person or a job runner asks a program to stop (interrupt key, termination, a
// closed terminal, quit key) calls `handler` with the signal's number; nothing ends the process
// by itself, and a call under way is not restarted for it. A closed pipe never ends the process
// either: the write fails instead.
void CatchStopRequests(void (*handler)(int));
// Writes to standard error from inside such a handler (nothing there may allocate or lock).
void WriteErrorFromHandler(const char* text, int length);
// Asks another process of ours to stop, as an interrupt key would.
void RequestStop(qint64 processId);

// What stands at a path that should be a serial port.
enum class NodeKind { Missing, CharacterDevice, RegularFile, Directory, Fifo, Other };
NodeKind KindOfNode(const QString& path);

// --- The records ---

// The account this process runs as, by its login name; empty when none can be told.
QString LoginName();

// What git keeps of a file in its index, as the system tells it of the path itself (a link is
// not followed).
struct FileStatus {
  qint64 changedSeconds = 0, changedNanoseconds = 0;
  qint64 modifiedSeconds = 0, modifiedNanoseconds = 0;
  quint64 device = 0, inode = 0;
  bool executable = false;
  quint32 owner = 0, group = 0;
  qint64 size = 0;
};
// False when path is no regular file.
bool StatusOfFile(const QString& path, FileStatus* status);

// The network sockets (IPv4 and IPv6) this process holds; empty where the system does not tell.
std::vector<qintptr> NetworkSockets();
// Shuts a socket down both ways: a connect or a read blocked on it returns at once.
void ShutDownSocket(qintptr socket);

}  // namespace kvn::platform

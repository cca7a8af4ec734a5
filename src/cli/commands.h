#pragma once
#include <QString>

#include "cli/device.h"
#include "cli/exit_codes.h"
#include "cli/options.h"
#include "device_link/register_image.h"
#include "texts/setup_record.h"

namespace kvn::cli {

class Output;

// What every command works with: the command line, where it reports, the work directory the
// window shares (settings, ports, backups) and the interface settings to reach the device.
struct Context {
  const Options& options;
  Output& out;
  QString workDirectory;
  LocSetupRec setup;
};

// --- Steps the commands share ---

using Failure = Device::Failure;

// The failure's message, then the result line; the exit status.
int Fail(Context& c, const Failure& failure);
// Ended by SIGINT or SIGTERM.
Failure Stopped();
// Opens the port and accepts the device as the window's poll does.
Failure Reach(Device& d);
// Opens the port, accepts the device and refuses a unit in programming mode (exit 4): its
// answers are writes not committed, never the set it runs.
Failure ReachOutOfProgramming(Device& d);
// The window's "Read device settings": the identification into EditImage, the parameter
// blocks into DeviceImage, then adopted into EditImage. Outside a session an interrupt stops
// it; inside one it runs to its end.
enum class OnInterrupt { Stop, GoOn };
Failure ReadSet(Device& d, Output& out, OnInterrupt interrupt = OnInterrupt::Stop);
// A configuration file's set, read through the guarded reader and checked as a load checks it;
// its checksum as the file carries it when asked for.
Failure ReadConfigurationFile(const QString& path, const Device& d, RegisterImage& image, QString* checksum = nullptr);
// Why fleet's --report file cannot be written (checked before any unit is read); empty when it can.
QString ReportPathProblem(const Options& o);
// The checksum of a configuration record as the file carries it: the digits after its end mark.
QString ChecksumOf(const QByteArray& record);

// One function per command; each returns the exit status after its result line.
int RunIdentify(Context& c);
int RunRead(Context& c);
int RunCompare(Context& c);
int RunBackup(Context& c);
int RunLog(Context& c);
int RunReport(Context& c);
int RunProgram(Context& c);
int RunRestoreDefault(Context& c);
int RunSaveDefault(Context& c);
int RunAbort(Context& c);
int RunPorts(Context& c);
int RunScan(Context& c);
int RunFleet(Context& c);

// The whole program after QCoreApplication: the arguments after the program's name.
int Run(const QStringList& arguments);

}  // namespace kvn::cli

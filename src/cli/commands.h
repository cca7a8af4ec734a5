#pragma once
#include <QString>

#include "cli/exit_codes.h"
#include "cli/options.h"
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

// One function per command; each returns the exit status after its result line.
int RunIdentify(Context& c);
int RunRead(Context& c);
int RunCompare(Context& c);
int RunBackup(Context& c);
int RunLog(Context& c);
int RunReport(Context& c);

// The whole program after QCoreApplication: the arguments after the program's name.
int Run(const QStringList& arguments);

}  // namespace kvn::cli

#pragma once
#include <QStringList>

namespace kvn::cli {

class Output;
struct Options;

// The command on every device of several --port at once: one process per port (the link is
// synchronous per port, and one device's silence or unplugging holds up no other), one result
// line per port in the order given (port, serial number, outcome, exit status), and the highest
// exit status of all.
int RunOnEveryPort(const Options& options, const QStringList& arguments, Output& out);

}  // namespace kvn::cli

#pragma once

namespace kvn::cli {

// SIGINT and SIGTERM only set a flag: the command stops between two transactions, closes the
// port and writes no output file.
void CatchInterrupts();
bool Interrupted();

}  // namespace kvn::cli

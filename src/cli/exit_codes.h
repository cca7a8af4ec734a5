#pragma once
#include <QCoreApplication>
#include <QString>
#include <array>

namespace kvn::cli {

// What korvane-cli's exit status tells a script, the same for every command. The writing
// commands add what a production line must know of each unit: refused, failed with the old set
// in force, or the set in force not known.
enum class ExitCode : int {
  Done = 0,         // done; for compare: identical
  Differ = 1,       // compare or records diff found differences
  Usage = 2,        // usage error or a bad file; nothing was sent to the device
  NoDevice = 3,     // no device: port missing, refused, in use, or no answer
  WrongDevice = 4,  // wrong device: type, firmware or mode; or a unit in programming mode
  Refused = 5,      // refused before anything was written
  OldSet = 6,       // failed: nothing new committed, the previous set is in force
  SetUnknown = 7,   // the set in force is not known: the unit must be checked
  NotSynced = 8,    // records sync: the server does not hold every record yet
  Interrupted = 130,  // ended by a stop signal; a unit in programming mode was taken out first
};

struct ExitCodeRow {
  ExitCode code;
  const char* meaning;  // as --help, the man page and the README give it
};

inline constexpr std::array<ExitCodeRow, 10> kExitCodes{{
    {ExitCode::Done, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "done (for compare: identical)")},
    {ExitCode::Differ, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "compare or records diff found differences")},
    {ExitCode::Usage, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "usage error or a bad file (nothing sent to the device)")},
    {ExitCode::NoDevice, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "no device: the port is missing, refused, in use, or the device does not answer")},
    {ExitCode::WrongDevice, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "wrong device (type, firmware, mode), or a unit in programming mode (run abort)")},
    {ExitCode::Refused, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "refused before anything was written (entry check, access level, a declined question, checksum mismatch, rejected login)")},
    {ExitCode::OldSet, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "failed: nothing new was committed, the previous set is in force (rejected groups are named)")},
    {ExitCode::SetUnknown, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "the set in force is not known, or the unit is still in programming mode: check the unit")},
    {ExitCode::NotSynced, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "records sync: the server could not be reached or refused; nothing is lost, the next sync sends it")},
    {ExitCode::Interrupted, QT_TRANSLATE_NOOP("kvn::cli::ExitCode", "interrupted (SIGINT, SIGTERM, SIGHUP, SIGQUIT): a unit in programming mode is taken out of it first; no output file written")},
}};

inline constexpr int Status(ExitCode code) { return static_cast<int>(code); }

// The table as --help prints it: one "  N  meaning" line per code.
QString ExitCodeTable();

}  // namespace kvn::cli

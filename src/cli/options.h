#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "texts/setup_record.h"

namespace kvn::cli {

enum class Command { None, Identify, Read, Compare, Backup, Log, Report, Program, RestoreDefault, SaveDefault, Abort, Ports, Records, Scan, Fleet };

// The commands that change what the device runs: each a guarded programming session.
inline bool WritesDevice(Command c) {
  return c == Command::Program || c == Command::RestoreDefault || c == Command::SaveDefault;
}
// The commands that need the device's USB interface (its commands are refused over RS-485).
inline bool NeedsUsb(Command c) { return WritesDevice(c) || c == Command::Abort; }

// The command line as given; options may stand before or after the command. What is not
// given comes from the window's settings file (ApplyTo leaves it alone).
struct Options {
  Command command = Command::None;
  QString commandName;
  QString output;  // read -o FILE.kvn, log -o FILE.csv, report -o FILE.pdf
  QString file;    // compare FILE, program FILE, save-default [FILE], report --file FILE
  QStringList words;  // ports: list | add COMn tcp://HOST:PORT
  QString reportFile;  // fleet --report FILE.pdf; records: log|show|diff and their words
  std::optional<QString> port;  // the first --port
  QStringList ports;            // every --port, in order: several run in parallel
  std::optional<bool> usb;
  std::optional<int> baudIndex;  // into kBaudRates
  std::optional<int> parity;     // 0 none, 1 odd, 2 even
  std::optional<int> address;
  int firstAddress = 1;  // scan --addresses FIRST-LAST
  int lastAddress = 247;
  QString workDir;  // empty: the window's own
  int recordsTimeout = 10;  // seconds a command's push of the records may take; 0: none
  // The writing commands.
  bool yes = false;                    // the command's questions answered OK
  std::optional<qint64> expectChecksum;   // program: the released file's checksum
  bool admin = false;                  // log in as admin (the password from the file or the terminal)
  QString passwordFile;                // "-": standard input
  QString newPasswordFile;
  bool userLevelOk = false;            // a set written at user level only may end as done
  bool withLog = false;  // fleet: each unit's event log into its records folder
  bool csv = false;  // records log: the change history as history.csv holds it
  bool json = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
};

struct ParseResult {
  Options options;
  QString error;  // empty when the line is sound
};

// The arguments after the program's name.
ParseResult ParseArguments(const QStringList& arguments);

// The interface options given on the command line over what the settings file holds.
void ApplyTo(const Options& options, InterfaceSettings& settings);

QString UsageText();

// Whether an option (by its long name, "--port") takes a value; false for unknown names.
bool TakesValue(const QString& name);

}  // namespace kvn::cli

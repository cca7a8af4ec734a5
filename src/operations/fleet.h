#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "device_link/register_image.h"
#include "parameters/difference_list.h"

namespace kvn {

class NumberFormat;
class Texts;

// One unit of a plant's list: where it stands and, optionally, the set it was signed off with.
struct FleetUnit {
  int line = 0;  // in the list, counted from 1 (the header is line 1)
  QString name;
  QString port;  // a device path, a COM name or tcp://HOST:PORT
  int address = 1;
  bool usb = false;
  int baudIndex = 2;  // into the program's baud rates
  int parity = 0;     // 0 none, 1 odd, 2 even
  QString released;   // the signed-off configuration file; empty: none
  std::optional<qint64> checksum;  // the released file's, as it carries it
};

// The list "name,port,address,interface,baud,parity,released[,checksum]" under a header line;
// the first line and column that cannot be taken is named in error, and nothing is taken then.
struct FleetList {
  std::vector<FleetUnit> units;
  QString error;
};
FleetList ReadFleetList(const QByteArray& bytes);

// What a fleet run found of one unit, worst last: the exit status of a run is the highest.
enum class FleetVerdict {
  AsReleased,      // holds its released set
  Unchanged,       // no released set; the same as its last record
  FirstRecord,     // no released set; recorded for the first time
  Differs,         // differs from its released set
  Changed,         // no released set; changed since its last record
  ReleasedRefused, // its released file cannot be taken (missing, damaged, another checksum)
  NoAnswer,
  WrongDevice,     // another type or firmware, or in programming mode
};

struct FleetFinding {
  FleetVerdict verdict = FleetVerdict::NoAnswer;
  QString serialNumber;
  bool changedSinceRecord = false;  // said beside a judgement against the released set
  std::vector<ParameterDifference> differences;  // from the released set
  QString why;          // what kept the unit from being read or judged
  QString notRecorded;  // why its set was not recorded; empty when it was (or was the same)
  QDateTime time;       // when it was read (or given up on)
  QString eventLog;     // with the event log: its events and how many are new, or why not
};

// The verdict as the result line says it.
QString VerdictText(const FleetFinding& finding);
// The exit status a verdict gives a run: 0 as released or unchanged (or a first record), 1 it
// differs or changed, 2 its released file refused, 3 no answer, 4 a wrong device.
int VerdictStatus(const FleetFinding& finding);

// A unit's event log as read (the CSV of a fixed format, so that stations write the same bytes)
// in its records folder: committed when it holds more events than the last record's, or fewer
// (a cleared log). A log of as many events is not committed again: the times its rows show
// follow the PC's clock. The note the unit's line ends in: its events and how many are new.
QString RecordEventLog(const QString& workDirectory, const QString& unit, const QString& serial, const QByteArray& csv,
                       int events, const QDateTime& time);

// A unit's whole set as read: recorded in the records repository (a commit only when it
// changed), and judged against its released set when it has one.
FleetFinding JudgeReadSet(const QString& workDirectory, const RegisterImage& set, const RegisterImage* released,
                          const Texts& texts, const NumberFormat& format, const QDateTime& time);

}  // namespace kvn

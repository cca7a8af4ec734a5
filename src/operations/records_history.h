#pragma once
#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace kvn {

class Records;
class Texts;

// One commit of a unit's records as the change history tells it.
struct RecordedOperation {
  enum class Kind {
    Write,         // a write's outcome: the program changed (or tried to change) the unit
    FirstRecord,   // the unit's set seen for the first time
    FoundChanged,  // the unit's set differed from its last record: changed outside this program
    Unchanged,     // the set as recorded already: another station's record of it, put after ours
  };
  Kind kind = Kind::Write;
  QString commit;  // id, hex
  QDateTime time;
  QString engineer;  // the commit's author
  QString station;   // the message's "Station:" line
  QString serialNumber;
  QString accessLevel;  // as the history writes it; "-" for an observation
  QString operation;
  QString result;
  QString backupFile;
  QStringList changes;  // one parameter a line, or the history's one "no change" text
};

// The unit's commits (Records::Log of one unit, newest first) read back into operations, newest
// first. A write's fields come from its message, which holds the history's own texts; the
// changes found by an observation are the differences between the unit's set before and after
// it, named as a comparison names them. error: why the records could not be read.
std::vector<RecordedOperation> RecordedOperations(Records& records, const QString& unit, const Texts& texts,
                                                  QChar decimal, QString* error);

// The units the records hold a commit of, sorted.
QStringList RecordedUnits(Records& records, QString* error);

// The operations as history.csv holds them, oldest first, in its columns and bytes: its header,
// the list separator given, CR LF, no field a spreadsheet would run. An auditor reads the
// history for what changed the unit: the writes, and the changes found made outside the
// program; a unit's first record changed nothing and has no line.
QByteArray HistoryCsv(const std::vector<RecordedOperation>& operations, QChar decimal, QChar separator);

}  // namespace kvn

#pragma once
#include <QDateTime>
#include <QString>

#include "device_link/register_image.h"

namespace kvn {

// The folder a unit's records go to, named as its backup folder is: by its serial number, and
// a unit whose serial number reads blank or erased by its tag and the time it was read, so
// that it never shares a folder with another.
QString RecordsUnitName(const QString& workDirectory, const RegisterImage& set, const QDateTime& time);

// A unit's whole set as read from it out of programming mode (identification and stored
// blocks): its files in the records, committed when they changed since its last record. Empty
// when recorded (or nothing changed), otherwise why it was not.
QString RecordReadSet(const QString& workDirectory, const QString& unit, const RegisterImage& set,
                      const QDateTime& time);
QString RecordReadSet(const QString& workDirectory, const RegisterImage& set, const QDateTime& time);

struct HistoryEntry;

// The file a write took its set from, as the command line names it, and its checksum.
struct ReleasedFile {
  QString file;
  QString checksum;
};

// A write's outcome in the records, always a commit: the first line the serial number, the
// operation and its result, then the changes as the history names them, one a line, the access
// level, the backup it was told against and the released file. after: the set the unit runs afterwards, or
// nullptr when its files are to stay as they are. Empty when recorded, otherwise why not.
QString RecordWriteOutcome(const QString& workDirectory, const QString& unit, const HistoryEntry& entry,
                           const RegisterImage* after, QChar decimal, const ReleasedFile& released = {});

}  // namespace kvn

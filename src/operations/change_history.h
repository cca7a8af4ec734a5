#pragma once
#include <QChar>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "parameters/difference_list.h"

namespace kvn {

// How long an append waits for another instance that is writing the same history, and after
// how long a lock whose owner neither finishes nor dies is taken as left behind. An append
// reads, extends and writes at most kHistoryCap bytes: far below either.
inline constexpr int kHistoryLockWaitMs = 5000;
inline constexpr int kHistoryStaleLockMs = 30000;

// history.csv grows by a line per write; beyond this size it is set aside and begun anew, so
// that reading it back before each append stays bounded.
inline constexpr qint64 kHistoryCap = 2 * 1024 * 1024;

// One write operation on a device, as the change history records it.
struct HistoryEntry {
  QDateTime time;
  QString serialNumber;
  int accessLevel = -1;  // 0 user, 1 admin, as the device reported it
  QString operation;     // "Program device settings", "Save as default", "Restore default"
  QString result;        // the text the operation's dialog ended with
  QString backupFile;    // name of the backup taken before it; empty when there was none
  std::vector<ParameterDifference> changes;  // backup → what was written
  // False when what the device holds afterwards could not be read: no list, and "no change"
  // would be a claim.
  bool changesKnown = true;
  // False when the changes are told against the set last read, for want of a backup.
  bool backedUp = true;
};

// The line's fields, in the order of the header.
QStringList HistoryFields(const HistoryEntry& entry, QChar decimal);
QStringList HistoryHeader();
// The first field: the time as the history writes it.
QString HistoryTime(const QDateTime& time, QChar decimal);

// A field a spreadsheet would run as a formula (it begins with =, +, -, @, a tab or a CR) with
// an apostrophe before it, as spreadsheet applications advise; any other field as it is.
QString SpreadsheetText(const QString& field);

// Appends one line to history.csv in the device's folder (the header first when the file is
// new), written the way the event log is exported: the locale's list separator, CR LF; a last
// line left without its line end gets one first, and no field can run as a formula. The file
// is read, extended and written whole through the atomic writer, so a failed write leaves the
// previous history as it was; all of it under a lock file (history.csv.lock) in that folder,
// so that two instances writing one device's history lose no line. Empty on success,
// otherwise the reason.
QString AppendHistory(const QString& folder, const HistoryEntry& entry, QChar decimal, QChar separator,
                      int lockWaitMs = kHistoryLockWaitMs);

}  // namespace kvn

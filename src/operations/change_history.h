#pragma once
#include <QChar>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "parameters/difference_list.h"

namespace kvn {

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
};

// The line's fields, in the order of the header.
QStringList HistoryFields(const HistoryEntry& entry, QChar decimal);
QStringList HistoryHeader();

// Appends one line to history.csv in the device's folder (the header first when the file is
// new), written the way the event log is exported: the locale's list separator, CR LF. The file
// is read, extended and written whole through the atomic writer, so a failed write leaves the
// previous history as it was. Empty on success, otherwise the reason.
QString AppendHistory(const QString& folder, const HistoryEntry& entry, QChar decimal, QChar separator);

}  // namespace kvn

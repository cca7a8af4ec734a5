#pragma once
#include <QString>
#include <QStringList>

namespace kvn {

// What an import of earlier versions' backups brought into the records.
struct ImportOutcome {
  int backups = 0;       // backup files committed
  int lines = 0;         // history lines committed
  int alreadyThere = 0;  // items an earlier import committed already
  QStringList skipped;   // files and lines that could not be read, each with its reason
  QString error;         // why the import stopped; empty when it ran to its end
};

// Brings the backups and history.csv lines that earlier versions kept in folder
// (backups/<unit>/) into the records, each a commit dated as it was, oldest first; the
// files are left where they are. A backup is a commit of the unit's files; a history line an
// outcome commit with the line's operation, result, level, backup and changes. An item already
// imported (its "Imported from:" line is in the records) is not committed again.
ImportOutcome ImportBackups(const QString& workDirectory, const QString& folder);

// The work directory's own backups/, imported the first time the records are written; later
// calls cost one look at a marker in the repository's git folder. Empty, or why not.
QString ImportBackupsOnce(const QString& workDirectory);

}  // namespace kvn

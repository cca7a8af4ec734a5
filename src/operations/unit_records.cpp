#include "operations/unit_records.h"

#include <QFileInfo>

#include "operations/change_history.h"
#include "operations/device_backup.h"
#include "operations/records_import.h"
#include "records/records.h"

namespace kvn {

QString RecordsUnitName(const QString& workDirectory, const RegisterImage& set, const QDateTime& time) {
  return QFileInfo(BackupFolder(workDirectory, SerialNumberIn(set), TagIn(set), time)).fileName();
}

QString RecordReadSet(const QString& workDirectory, const QString& unit, const RegisterImage& set,
                      const QDateTime& time) {
  ImportBackupsOnce(workDirectory);
  Records records(workDirectory);
  return records.Observe(unit, SerialNumberIn(set), UnitFilesOf(set), time).error;
}

QString RecordReadSet(const QString& workDirectory, const RegisterImage& set, const QDateTime& time) {
  return RecordReadSet(workDirectory, RecordsUnitName(workDirectory, set, time), set, time);
}

namespace {

QString OneLine(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.trimmed();
}

// The history's own texts: its level, and its changes field where it names no change.
QString OutcomeMessage(const HistoryEntry& e, QChar decimal, const ReleasedFile& released) {
  enum Field { kLevel = 2, kChanges = 6 };
  const QStringList fields = HistoryFields(e, decimal);
  QStringList lines{e.serialNumber + QStringLiteral(": ") + OneLine(e.operation) + QStringLiteral(": ") + OneLine(e.result),
                    QString()};
  if (e.changesKnown && !e.changes.empty()) {
    for (const ParameterDifference& d : e.changes) lines << DifferenceLine(d);
  } else if (!fields.value(kChanges).isEmpty()) {
    lines << fields.value(kChanges);
  }
  lines << QString() << QStringLiteral("Access level: ") + fields.value(kLevel);
  if (!e.backupFile.isEmpty()) lines << QStringLiteral("Backup: ") + e.backupFile;
  if (!released.file.isEmpty())
    lines << QStringLiteral("Released file: %1 (checksum %2)").arg(released.file, released.checksum);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString RecordWriteOutcome(const QString& workDirectory, const QString& unit, const HistoryEntry& entry,
                           const RegisterImage* after, QChar decimal, const ReleasedFile& released) {
  ImportBackupsOnce(workDirectory);
  Records records(workDirectory);
  const QString message = OutcomeMessage(entry, decimal, released);
  if (!after) return records.Outcome(unit, nullptr, message, entry.time).error;
  const UnitFiles files = UnitFilesOf(*after);
  return records.Outcome(unit, &files, message, entry.time).error;
}

}  // namespace kvn

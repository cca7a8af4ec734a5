#include "operations/change_history.h"

#include <QRegularExpression>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>

#include "operations/event_log.h"
#include "texts/atomic_file.h"
#include "texts/guarded_file.h"
#include "texts/tr_context.h"

namespace kvn {

namespace {

const QString kHistoryFile = QStringLiteral("history.csv");

KVN_TR_CONTEXT(kvn::ChangeHistory)

QString LevelText(int level) {
  switch (level) {
    case 0: return Tr("user");
    case 1: return Tr("admin");
    default: return QStringLiteral("-");
  }
}

// What an empty list means: with a "before" to compare with, the blocks written equal it, and
// the line says so rather than staying blank like a line that had nothing to compare with.
QString NoChangeText(const HistoryEntry& e) {
  if (e.backupFile.isEmpty()) return {};
  return e.backedUp ? Tr("none: the settings equal the backup") : Tr("none: the settings equal those last read");
}

// Each change under its own name, with the raw values where the shown texts do not tell it.
QString ChangesText(const std::vector<ParameterDifference>& changes, const QString& noChange) {
  if (changes.empty()) return noChange;
  QStringList parts;
  for (const ParameterDifference& d : changes) parts << DifferenceLine(d);
  return parts.join(QStringLiteral("; "));
}

// One operation is one line of the file, whatever line breaks a dialog's text holds.
QString OneLine(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

}  // namespace

QStringList HistoryHeader() {
  return {Tr("Date and time"), Tr("Serial number"), Tr("Access level"), Tr("Operation"),
          Tr("Result"),        Tr("Backup file"),   Tr("Changed parameters")};
}

namespace {

// The event log's separators, with the full year: the history outlives a century's turn.
QString TimeIn(const QDateTime& time, const EventFormats& f) {
  return time.toString(QStringLiteral("yyyy%1MM%1dd HH%2mm%2ss").arg(f.date, f.time));
}

QStringList FieldsIn(const HistoryEntry& e, const EventFormats& f) {
  return {TimeIn(e.time, f), e.serialNumber, LevelText(e.accessLevel),
          OneLine(e.operation), OneLine(e.result), e.backupFile,
          e.changesKnown ? ChangesText(e.changes, NoChangeText(e))
                         : Tr("Not known: the device's settings could not be read afterwards.")};
}

// A history keeps the format its first lines were written in, whoever appends to it later (a
// desktop in one locale, a script in another): the header's separator, and the date and time
// separators of its first record. What cannot be told keeps the writer's own.
EventFormats FormatOf(const QByteArray& bytes, EventFormats writer) {
  const QList<QByteArray> lines = bytes.left(4096).split('\n');
  const QString header = QString::fromUtf8(lines.value(0));
  const qsizetype afterFirst = header.startsWith(QLatin1Char('"')) ? header.indexOf(QLatin1Char('"'), 1) + 1
                                                                   : header.indexOf(QRegularExpression(QStringLiteral("[,;\t|]")));
  if (afterFirst > 0 && afterFirst < header.size()) writer.list = header.at(afterFirst);
  // "yyyy?MM?dd HH?mm?ss": the separators stand at fixed places.
  const QString time = QString::fromUtf8(lines.value(1)).section(writer.list, 0, 0).remove(QLatin1Char('"'));
  if (time.size() >= 19 && time.at(10) == QLatin1Char(' ') && time.at(4) == time.at(7) && time.at(13) == time.at(16)) {
    writer.date = time.at(4);
    writer.time = time.at(13);
  }
  return writer;
}

}  // namespace

QStringList HistoryFields(const HistoryEntry& e, QChar decimal) { return FieldsIn(e, LocaleEventFormats(decimal)); }

QString HistoryTime(const QDateTime& time, QChar decimal) { return TimeIn(time, LocaleEventFormats(decimal)); }

QString SpreadsheetText(const QString& field) {
  // A lone "-" is the history's own "not known", and no formula.
  if (field.isEmpty() || field == QStringLiteral("-")) return field;
  static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
  return kFormulaStarts.contains(field.front()) ? QLatin1Char('\'') + field : field;
}

namespace {

// Reads history.csv and writes it back one line longer. The caller holds the lock.
QString AppendLocked(const QDir& folder, const HistoryEntry& entry, QChar decimal, QChar separator) {
  const QString path = folder.filePath(kHistoryFile);
  FileRead old = ReadGuardedFile(path, kHistoryCap);
  if (old.outcome == FileRead::Outcome::TooLarge) {
    // Set aside whole under its last time, never cut: the history is a record.
    const QString aside = folder.filePath(QStringLiteral("history_") +
                                          entry.time.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss")) +
                                          QStringLiteral(".csv"));
    if (!QFile::rename(path, aside)) return Tr("%1 is full and cannot be set aside.").arg(path);
    old = FileRead{};
  } else if (!old.Ok() && !old.Missing()) {
    return old.error;
  }
  std::vector<QStringList> rows;
  if (old.Missing() || old.bytes.isEmpty()) rows.push_back(HistoryHeader());
  EventFormats format = LocaleEventFormats(decimal);
  format.list = separator;
  if (!old.Missing() && !old.bytes.isEmpty()) format = FormatOf(old.bytes, format);
  separator = format.list;
  QStringList fields = FieldsIn(entry, format);
  for (QString& field : fields) field = SpreadsheetText(field);
  rows.push_back(fields);
  // A line cut short (an editor, a copy that ended early) stays a line of its own.
  if (!old.bytes.isEmpty() && !old.bytes.endsWith('\n') && !old.bytes.endsWith('\r')) old.bytes += "\r\n";
  QString error;
  if (!WriteFileAtomically(path, old.bytes + CsvLines(rows, separator, static_cast<int>(fields.size()), true), &error))
    return error;
  return QString();
}

QString LockError(const QLockFile& lock, const QString& lockPath) {
  switch (lock.error()) {
    case QLockFile::LockFailedError:
      return Tr("The change history is being written by another program; its lock file %1 is still held.")
          .arg(QDir::toNativeSeparators(lockPath));
    case QLockFile::PermissionError:
      return Tr("The lock file %1 of the change history cannot be created.").arg(QDir::toNativeSeparators(lockPath));
    default:
      return Tr("The change history cannot be locked (%1).").arg(QDir::toNativeSeparators(lockPath));
  }
}

}  // namespace

QString AppendHistory(const QString& folderPath, const HistoryEntry& entry, QChar decimal, QChar separator,
                      int lockWaitMs) {
  QDir folder(folderPath);
  if (!folder.mkpath(QStringLiteral(".")))
    return Tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folderPath));
  // Another instance may append to the same device's history at the same time: without the
  // lock, each would write back what it read and one line would be lost.
  const QString lockPath = folder.filePath(kHistoryFile + QStringLiteral(".lock"));
  QLockFile lock(lockPath);
  lock.setStaleLockTime(kHistoryStaleLockMs);
  if (!lock.tryLock(lockWaitMs)) return LockError(lock, lockPath);
  return AppendLocked(folder, entry, decimal, separator);
}

}  // namespace kvn

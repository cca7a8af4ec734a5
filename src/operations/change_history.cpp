#include "operations/change_history.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "operations/event_log.h"
#include "texts/atomic_file.h"
#include "texts/guarded_file.h"

namespace kvn {

namespace {

const QString kHistoryFile = QStringLiteral("history.csv");

QString Tr(const char* text) { return QCoreApplication::translate("kvn::ChangeHistory", text); }

QString LevelText(int level) {
  switch (level) {
    case 0: return Tr("user");
    case 1: return Tr("admin");
    default: return QStringLiteral("-");
  }
}

// Each change under its own name, with the raw values where the shown texts do not tell it.
// With a backup to compare with, no change means its blocks equal what was written: said so,
// not left blank like a line without a backup.
QString ChangesText(const std::vector<ParameterDifference>& changes, bool compared) {
  if (changes.empty() && compared) return Tr("none: the settings equal the backup");
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

QStringList HistoryFields(const HistoryEntry& e, QChar decimal) {
  // The event log's separators, with the full year: the history outlives a century's turn.
  const EventFormats f = LocaleEventFormats(decimal);
  const QString time = e.time.toString(QStringLiteral("yyyy%1MM%1dd HH%2mm%2ss").arg(f.date, f.time));
  return {time, e.serialNumber, LevelText(e.accessLevel),
          OneLine(e.operation), OneLine(e.result), e.backupFile,
          ChangesText(e.changes, !e.backupFile.isEmpty())};
}

QString AppendHistory(const QString& folderPath, const HistoryEntry& entry, QChar decimal,
                      QChar separator) {
  QDir folder(folderPath);
  if (!folder.mkpath(QStringLiteral(".")))
    return Tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folderPath));
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
  rows.push_back(HistoryFields(entry, decimal));
  QString error;
  if (!WriteFileAtomically(path, old.bytes + CsvLines(rows, separator, static_cast<int>(rows.back().size()), true), &error))
    return error;
  return QString();
}

}  // namespace kvn

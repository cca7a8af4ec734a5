#include "operations/records_import.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "device_link/register_image.h"
#include "operations/change_history.h"
#include "operations/device_backup.h"
#include "parameters/config_file.h"
#include "records/records.h"
#include "texts/atomic_file.h"
#include "texts/guarded_file.h"
#include "texts/text_record.h"
#include "texts/tr_context.h"

namespace kvn {

namespace {

KVN_TR_CONTEXT(kvn::RecordsImport)

const QString kImportedFrom = QStringLiteral("Imported from: ");
const QString kMarker = QStringLiteral(".git/korvane-backups-imported");
constexpr int kImportLockWaitMs = 60000;  // another process importing the same folder

// One thing to commit: a backup file's set or a history line's outcome.
struct Item {
  QDateTime time;
  bool isBackup = false;
  QString unit;
  QString source;  // "backups/<unit>/<file>[, line N]": its "Imported from:" line
  QString path;    // the backup file
  QStringList fields;  // the history line's
};

// The fields of one CSV record at text[pos]; pos moves past its line end. Quotes as the event
// log and the history write them ("" inside a quoted field).
QStringList CsvRecord(const QString& text, qsizetype& pos, QChar separator) {
  QStringList fields;
  QString field;
  bool quoted = false;
  for (; pos < text.size(); ++pos) {
    const QChar c = text.at(pos);
    if (quoted) {
      if (c != QLatin1Char('"')) field += c;
      else if (pos + 1 < text.size() && text.at(pos + 1) == QLatin1Char('"')) field += text.at(++pos);
      else quoted = false;
    } else if (c == QLatin1Char('"')) {
      quoted = true;
    } else if (c == separator) {
      fields << field;
      field.clear();
    } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
      if (c == QLatin1Char('\r') && pos + 1 < text.size() && text.at(pos + 1) == QLatin1Char('\n')) ++pos;
      ++pos;
      break;
    } else {
      field += c;
    }
  }
  fields << field;
  return fields;
}

// The apostrophe the history put before a field a spreadsheet would run as a formula.
QString Unescaped(const QString& field) {
  return field.size() > 1 && field.front() == QLatin1Char('\'') && SpreadsheetText(field.mid(1)) == field ? field.mid(1)
                                                                                                         : field;
}

// "yyyy?MM?dd HH?mm?ss" with the separators of the file's locale at their fixed places.
QDateTime HistoryTime(const QString& field) {
  if (field.size() < 19) return {};
  const QString digits = QStringList{field.mid(0, 4), field.mid(5, 2), field.mid(8, 2), field.mid(11, 2),
                                     field.mid(14, 2), field.mid(17, 2)}.join(QString());
  return QDateTime::fromString(digits, QStringLiteral("yyyyMMddHHmmss"));
}

QChar SeparatorOf(const QString& header) {
  for (const QChar c : header)
    if (c == QLatin1Char(',') || c == QLatin1Char(';') || c == QLatin1Char('\t') || c == QLatin1Char('|')) return c;
  return QLatin1Char(',');
}

constexpr int kHistoryColumns = 7;  // time, serial, level, operation, result, backup, changes

void AddHistoryItems(const QString& path, const QString& unit, const QString& source, std::vector<Item>& items,
                     QStringList& skipped) {
  const FileRead read = ReadGuardedFile(path, kHistoryCap + kHistoryCap);
  if (!read.Ok()) {
    skipped << QStringLiteral("%1: %2").arg(source, read.error);
    return;
  }
  const QString text = QString::fromUtf8(read.bytes);
  qsizetype pos = 0;
  const QChar separator = SeparatorOf(text.section(QLatin1Char('\n'), 0, 0));
  CsvRecord(text, pos, separator);  // the header
  for (int line = 2; pos < text.size(); ++line) {
    QStringList fields = CsvRecord(text, pos, separator);
    if (fields.size() == 1 && fields[0].trimmed().isEmpty()) continue;
    for (QString& f : fields) f = Unescaped(f);
    const QString where = Tr("%1, line %2").arg(source).arg(line);
    const QDateTime time = HistoryTime(fields.value(0));
    if (fields.size() < kHistoryColumns || !time.isValid()) {
      skipped << Tr("%1: not a line of the change history").arg(where);
      continue;
    }
    items.push_back({time, false, unit, where, {}, fields});
  }
}

std::vector<Item> ItemsIn(const QDir& folder, QStringList& skipped) {
  std::vector<Item> items;
  for (const QFileInfo& unitDir : folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)) {
    const QString unit = unitDir.fileName();
    const QDir dir(unitDir.filePath());
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name)) {
      const QString source = folder.dirName() + QLatin1Char('/') + unit + QLatin1Char('/') + file.fileName();
      if (const QDateTime time = BackupNameTime(file.fileName()); time.isValid())
        items.push_back({time, true, unit, source, file.filePath(), {}});
      else if (file.fileName().startsWith(QLatin1String("history")) && file.suffix() == QLatin1String("csv"))
        AddHistoryItems(file.filePath(), unit, source, items, skipped);
    }
  }
  // A backup was taken before the write its history line tells of, within the same second.
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    return a.time != b.time ? a.time < b.time : a.isBackup > b.isBackup;
  });
  return items;
}

// The "Imported from:" lines already in the records.
QSet<QString> ImportedSources(Records& records, QString* error) {
  QSet<QString> sources;
  for (const RecordEntry& e : records.Log({}, error))
    for (const QString& line : e.message.split(QLatin1Char('\n')))
      if (line.startsWith(kImportedFrom)) sources.insert(line.mid(kImportedFrom.size()));
  return sources;
}

// The unit's identity as the records know it: an old backup file does not hold it.
QByteArray KnownIdentity(Records& records, const QString& unit) {
  QString error;
  const std::optional<QByteArray> known = records.FileAt(unit, kIdentityFile, QStringLiteral("HEAD"), &error);
  return known ? *known : QByteArrayLiteral("Serial number: ") + unit.toUtf8() + '\n';
}

// What one item became: committed, skipped (its file cannot be read), or refused by the records.
struct Committed {
  QString skipped;
  QString error;
};

Committed CommitBackup(Records& records, const Item& item) {
  const FileRead read = ReadGuardedFile(item.path, file_cap::kConfiguration);
  auto set = std::make_unique<RegisterImage>();
  if (!read.Ok()) return {read.error, {}};
  if (!ReadConfigurationText(DecodeTextRecord(read.bytes), *set)) return {Tr("not a configuration file"), {}};
  UnitFiles files = UnitFilesOf(*set);
  files.identity = KnownIdentity(records, item.unit);
  const QString message = Tr("%1: backup taken before a write by an earlier version").arg(item.unit) +
                          QStringLiteral("\n\n") + kImportedFrom + item.source;
  return {{}, records.Outcome(item.unit, &files, message, item.time).error};
}

Committed CommitHistoryLine(Records& records, const Item& item) {
  const QStringList& f = item.fields;
  // The message an outcome commit carries, so that the records read the same either way.
  const QString message = QStringList{f[1] + QStringLiteral(": ") + f[3] + QStringLiteral(": ") + f[4], QString(), f[6],
                                      QString(), QStringLiteral("Access level: ") + f[2],
                                      QStringLiteral("Backup: ") + f[5], kImportedFrom + item.source}
                              .join(QLatin1Char('\n'));
  return {{}, records.Outcome(item.unit, nullptr, message, item.time).error};
}

}  // namespace

ImportOutcome ImportBackups(const QString& workDirectory, const QString& folder) {
  ImportOutcome outcome;
  const QDir dir(folder);
  if (!QFileInfo(folder).isDir()) {
    outcome.error = Tr("%1 is not a folder.").arg(QDir::toNativeSeparators(folder));
    return outcome;
  }
  const std::vector<Item> items = ItemsIn(dir, outcome.skipped);
  if (items.empty()) return outcome;
  Records records(workDirectory);
  QString logError;
  const QSet<QString> done = ImportedSources(records, &logError);
  for (const Item& item : items) {
    if (done.contains(item.source)) {
      ++outcome.alreadyThere;
      continue;
    }
    const Committed c = item.isBackup ? CommitBackup(records, item) : CommitHistoryLine(records, item);
    if (!c.error.isEmpty()) {
      // The records refused: what follows would land out of its order.
      outcome.error = c.error;
      return outcome;
    }
    if (!c.skipped.isEmpty()) outcome.skipped << QStringLiteral("%1: %2").arg(item.source, c.skipped);
    else ++(item.isBackup ? outcome.backups : outcome.lines);
  }
  return outcome;
}

QString ImportBackupsOnce(const QString& workDirectory) {
  const QString folder = workDirectory + QStringLiteral("/backups");
  const QString marker = QDir(Records::PathIn(workDirectory)).filePath(kMarker);
  if (!QFileInfo(folder).isDir() || QFileInfo::exists(marker)) return {};
  QLockFile lock(folder + QStringLiteral("/.korvane-import.lock"));
  if (!lock.tryLock(kImportLockWaitMs)) return Tr("The backups of earlier versions are being imported by another program.");
  if (QFileInfo::exists(marker)) return {};
  const ImportOutcome outcome = ImportBackups(workDirectory, folder);
  if (!outcome.error.isEmpty()) return outcome.error;
  const QString summary = QStringLiteral("%1 backups, %2 history lines imported from %3\n")
                              .arg(outcome.backups).arg(outcome.lines).arg(folder) +
                          outcome.skipped.join(QLatin1Char('\n'));
  QString error;
  if (QFileInfo(QFileInfo(marker).path()).isDir()) WriteFileAtomically(marker, summary.toUtf8(), &error);
  return {};
}

}  // namespace kvn

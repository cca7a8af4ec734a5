#include "operations/records_history.h"

#include <memory>
#include <optional>

#include "operations/change_history.h"
#include "operations/event_log.h"
#include "operations/set_comparison.h"
#include "parameters/config_file.h"
#include "parameters/difference_list.h"
#include "parameters/value_codec.h"
#include "records/records.h"
#include "texts/text_record.h"

namespace kvn {
namespace {

const QString kFieldSeparator = QStringLiteral(": ");
const QString kLevelLine = QStringLiteral("Access level: ");
const QString kBackupLine = QStringLiteral("Backup: ");
const QString kStationLine = QStringLiteral("Station: ");

// The message's blocks: its first line, the lines up to the next blank one, the rest.
struct MessageParts {
  QString summary;
  QStringList body;
  QStringList rest;
};

MessageParts PartsOf(const QString& message) {
  const QStringList lines = message.split(QLatin1Char('\n'));
  MessageParts parts{lines.value(0), {}, {}};
  qsizetype i = 2;  // a blank line follows the first
  for (; i < lines.size() && !lines[i].isEmpty(); ++i) parts.body << lines[i];
  parts.rest = lines.mid(i);
  return parts;
}

QString ValueOf(const QStringList& lines, const QString& key) {
  for (const QString& line : lines)
    if (line.startsWith(key)) return line.mid(key.size());
  return {};
}

// A write's message holds "Access level:" among its own lines; an observation's does not.
bool IsWrite(const MessageParts& parts) {
  return !ValueOf(parts.rest, kLevelLine).isEmpty() || !ValueOf(parts.body, kLevelLine).isEmpty();
}

std::unique_ptr<RegisterImage> SetAt(Records& records, const QString& unit, const QString& revision) {
  QString error;
  const std::optional<QByteArray> bytes = records.FileAt(unit, kSettingsFile, revision, &error);
  if (!bytes) return nullptr;
  auto set = std::make_unique<RegisterImage>();
  if (!ReadConfigurationText(DecodeTextRecord(*bytes), *set)) return nullptr;
  return set;
}

// An observation: the unit's set before the commit (none: its first record) against its set
// after it.
void ReadObservation(Records& records, const QString& unit, const Texts& texts, QChar decimal,
                     RecordedOperation& op) {
  op.accessLevel = QStringLiteral("-");
  const std::unique_ptr<RegisterImage> before = SetAt(records, unit, op.commit + QLatin1Char('^'));
  const std::unique_ptr<RegisterImage> after = before ? SetAt(records, unit, op.commit) : nullptr;
  op.kind = before ? RecordedOperation::Kind::FoundChanged : RecordedOperation::Kind::FirstRecord;
  if (!after) return;
  for (const ParameterDifference& d : SetDifferences(*before, *after, texts, NumberFormat(decimal)))
    op.changes << DifferenceLine(d);
  // Two stations that each read the unit first: the later record holds the set already there.
  if (before && *before == *after) op.kind = RecordedOperation::Kind::Unchanged;
}

RecordedOperation OperationOf(Records& records, const RecordEntry& e, const Texts& texts, QChar decimal) {
  const MessageParts parts = PartsOf(e.message);
  RecordedOperation op;
  op.commit = e.commit;
  op.time = e.time;
  op.engineer = e.author;
  // The trailers are the message's last lines: an observation's follow its first line at once.
  op.station = ValueOf(parts.body + parts.rest, kStationLine);
  // "<serial>: <operation>: <result>", or "<serial>: <what the observation found>"
  const qsizetype afterSerial = parts.summary.indexOf(kFieldSeparator);
  op.serialNumber = parts.summary.left(afterSerial);
  const QString tail = afterSerial < 0 ? QString() : parts.summary.mid(afterSerial + kFieldSeparator.size());
  if (!IsWrite(parts)) {
    op.operation = tail;
    ReadObservation(records, e.unit, texts, decimal, op);
    return op;
  }
  const qsizetype afterOperation = tail.indexOf(kFieldSeparator);
  op.operation = tail.left(afterOperation);
  op.result = afterOperation < 0 ? QString() : tail.mid(afterOperation + kFieldSeparator.size());
  op.accessLevel = ValueOf(parts.rest, kLevelLine);
  op.backupFile = ValueOf(parts.rest, kBackupLine);
  op.changes = parts.body;
  return op;
}

}  // namespace

std::vector<RecordedOperation> RecordedOperations(Records& records, const QString& unit, const Texts& texts,
                                                  QChar decimal, QString* error) {
  std::vector<RecordedOperation> operations;
  for (const RecordEntry& e : records.Log(unit, error))
    operations.push_back(OperationOf(records, e, texts, decimal));
  return operations;
}

QStringList RecordedUnits(Records& records, QString* error) {
  QStringList units;
  for (const RecordEntry& e : records.Log(QString(), error))
    if (!e.unit.isEmpty()) units << e.unit;
  units.removeDuplicates();
  units.sort();
  return units;
}

QByteArray HistoryCsv(const std::vector<RecordedOperation>& operations, QChar decimal, QChar separator) {
  std::vector<QStringList> rows{HistoryHeader()};
  for (auto op = operations.crbegin(); op != operations.crend(); ++op) {
    if (op->kind == RecordedOperation::Kind::FirstRecord || op->kind == RecordedOperation::Kind::Unchanged) continue;
    QStringList fields{HistoryTime(op->time, decimal), op->serialNumber, op->accessLevel, op->operation,
                       op->result, op->backupFile, op->changes.join(QStringLiteral("; "))};
    for (QString& field : fields) field = SpreadsheetText(field);
    rows.push_back(fields);
  }
  return CsvLines(rows, separator, static_cast<int>(rows.front().size()), true);
}

}  // namespace kvn

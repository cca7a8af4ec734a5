#include "operations/device_backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <algorithm>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "parameters/config_file.h"
#include "operations/records_import.h"
#include "operations/unit_records.h"
#include "records/records.h"
#include "parameters/value_codec.h"
#include "texts/tr_context.h"

namespace kvn {

namespace {

const QString kBackupsFolder = QStringLiteral("backups");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_hh-mm-ss");
constexpr int kSerialCharacters = 16;
constexpr int kTagCharacters = 16;

KVN_TR_CONTEXT(kvn::DeviceBackup)

QString SafeName(const QString& text) {
  QString name;
  for (const QChar c : text.trimmed())
    name += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ? c : QLatin1Char('_');
  return name;
}

// Padding blanks, zero bytes and erased cells (0xFF) are all a text field can hold before
// anything is written into it.
bool Unwritten(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x20 || c.unicode() == 0xFF; });
}

// yyyy-MM-dd_hh-mm-ss, then _N from 2 on: the stamp and the counter of a backup name.
const QRegularExpression& BackupNamePattern() {
  static const QRegularExpression pattern(
      QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(?:_([1-9]\\d{0,8}))?\\.kvn$"));
  return pattern;
}

// Padding blanks and zero bytes are no part of the number.
QString TrimmedText(const RegisterImage& image, int r, int words) {
  QString text = ReadText(image, r, words);
  while (!text.isEmpty() && text.back().unicode() <= 0x20) text.chop(1);
  while (!text.isEmpty() && text.front().unicode() <= 0x20) text.remove(0, 1);
  return text;
}

}  // namespace

QString SerialNumberIn(const RegisterImage& image) {
  return TrimmedText(image, reg::SerialNumber, kSerialCharacters / 2);
}

QString TagIn(const RegisterImage& image) { return TrimmedText(image, reg::TagNumber, kTagCharacters / 2); }

bool ReadStoredBlocks(BlockTransfer& blocks, RegisterImage& image, bool withPassword) {
  for (const BlockDescriptor& b : BlockTable) {
    const bool wanted = IsStoredBlock(b) || (withPassword && b.id == BlockId::Password);
    if (wanted && !blocks.ReadBlockInto(b.id, false, image)) return false;
  }
  return true;
}

QDateTime BackupNameTime(const QString& fileName) {
  const QRegularExpressionMatch m = BackupNamePattern().match(fileName);
  return m.hasMatch() ? QDateTime::fromString(m.captured(1), kStampFormat) : QDateTime();
}

QString BackupFolder(const QString& workDirectory, const QString& serialNumber, const QString& tag,
                     const QDateTime& firstBackup) {
  QString name;
  if (!Unwritten(serialNumber)) {
    name = SafeName(serialNumber);  // as always: the folders already kept rely on it
  } else {
    // Tags repeat (a factory default, a copied setup): only the time keeps two units apart.
    name = QStringLiteral("unknown");
    if (!Unwritten(tag)) name += QStringLiteral("-tag-") + SafeName(tag);
    if (firstBackup.isValid()) name += QLatin1Char('-') + firstBackup.toString(kStampFormat);
  }
  return workDirectory + QLatin1Char('/') + kBackupsFolder + QLatin1Char('/') + name;
}

BackupOutcome DeviceBackup::Take(const QDateTime& now, RegisterImage& image, bool record) {
  BackupOutcome outcome;
  const bool read = blocks_.ReadBlockInto(BlockId::Identification, false, image);
  if (read) {
    outcome.serialNumber = SerialNumberIn(image);
    outcome.accessLevel = Cell(image, reg::AccessLevel);
  }
  outcome.unit = RecordsUnitName(workDirectory_, image, now);
  if (!read || !ReadStoredBlocks(blocks_, image, outcome.accessLevel >= 1)) {
    outcome.error = Tr("The device's current settings could not be read.");
    return outcome;
  }
  if (!record) {
    // Not recorded, but the outcome will be: records that cannot take it are said now, before
    // anything is written.
    outcome.error = Records(workDirectory_).Check();
    outcome.ok = outcome.error.isEmpty();
    return outcome;
  }
  // The backups an earlier version kept come first, so that this one lands after them.
  ImportBackupsOnce(workDirectory_);
  const RecordOutcome recorded = Records(workDirectory_).Observe(outcome.unit, outcome.serialNumber, UnitFilesOf(image), now);
  outcome.ok = recorded.error.isEmpty();
  outcome.record = recorded.commit;
  outcome.error = recorded.error;
  return outcome;
}

}  // namespace kvn

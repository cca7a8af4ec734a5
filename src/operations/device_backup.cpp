#include "operations/device_backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "parameters/config_file.h"
#include "parameters/value_codec.h"
#include "texts/atomic_file.h"
#include "texts/text_record.h"

namespace kvn {

namespace {

const QString kBackupsFolder = QStringLiteral("backups");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_hh-mm-ss");
const QString kExtension = QStringLiteral(".kvn");
constexpr int kSerialCharacters = 16;

QString Tr(const char* text) { return QCoreApplication::translate("kvn::DeviceBackup", text); }

QString SafeName(const QString& serial) {
  QString name;
  for (const QChar c : serial.trimmed())
    name += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ? c : QLatin1Char('_');
  return name.isEmpty() ? QStringLiteral("unknown") : name;
}

// A second backup within the same second gets a counter rather than replacing the first.
QString FreeName(const QDir& folder, const QString& stamp) {
  QString name = stamp + kExtension;
  for (int n = 2; folder.exists(name); ++n) name = stamp + QLatin1Char('_') + QString::number(n) + kExtension;
  return name;
}

}  // namespace

// Padding blanks and zero bytes are no part of the number.
QString SerialNumberIn(const RegisterImage& image) {
  QString serial = ReadText(image, reg::SerialNumber, kSerialCharacters / 2);
  while (!serial.isEmpty() && serial.back().unicode() <= 0x20) serial.chop(1);
  while (!serial.isEmpty() && serial.front().unicode() <= 0x20) serial.remove(0, 1);
  return serial;
}

bool ReadStoredBlocks(BlockTransfer& blocks, RegisterImage& image, bool withPassword) {
  for (const BlockDescriptor& b : BlockTable) {
    const bool wanted = IsStoredBlock(b) || (withPassword && b.id == BlockId::Password);
    if (wanted && !blocks.ReadBlockInto(b.id, false, image)) return false;
  }
  return true;
}

QString BackupFolder(const QString& workDirectory, const QString& serialNumber) {
  return workDirectory + QLatin1Char('/') + kBackupsFolder + QLatin1Char('/') + SafeName(serialNumber);
}

BackupOutcome DeviceBackup::Take(const QDateTime& now, RegisterImage& image) {
  BackupOutcome outcome;
  if (blocks_.ReadBlockInto(BlockId::Identification, false, image)) {
    outcome.serialNumber = SerialNumberIn(image);
    outcome.accessLevel = Cell(image, reg::AccessLevel);
    if (ReadStoredBlocks(blocks_, image, outcome.accessLevel >= 1)) {
      BackupOutcome written = Write(BackupFolder(workDirectory_, outcome.serialNumber), now, image);
      written.serialNumber = outcome.serialNumber;
      written.accessLevel = outcome.accessLevel;
      return written;
    }
  }
  outcome.error = Tr("The device's current settings could not be read.");
  return outcome;
}

BackupOutcome DeviceBackup::Write(const QString& folderPath, const QDateTime& now,
                                  const RegisterImage& image) {
  BackupOutcome outcome;
  QDir folder(folderPath);
  if (!folder.mkpath(QStringLiteral("."))) {
    outcome.error = Tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folderPath));
    return outcome;
  }
  const QString name = FreeName(folder, now.toString(kStampFormat));
  QString error;
  if (!WriteFileAtomically(folder.filePath(name), EncodeTextRecord(ConfigurationText(image)), &error)) {
    outcome.error = error;
    return outcome;
  }
  Prune(folderPath);
  outcome.ok = true;
  outcome.fileName = name;
  return outcome;
}

void DeviceBackup::Prune(const QString& folderPath) {
  QDir folder(folderPath);
  // The names are time stamps: name order is age order.
  const QStringList names = folder.entryList({QStringLiteral("*") + kExtension}, QDir::Files, QDir::Name);
  for (qsizetype i = 0; i + kBackupsKept < names.size(); ++i) folder.remove(names[i]);
}

}  // namespace kvn

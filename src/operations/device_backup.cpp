#include "operations/device_backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <tuple>
#include <vector>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "parameters/config_file.h"
#include "parameters/value_codec.h"
#include "texts/atomic_file.h"
#include "texts/text_record.h"
#include "texts/tr_context.h"

namespace kvn {

namespace {

const QString kBackupsFolder = QStringLiteral("backups");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_hh-mm-ss");
const QString kExtension = QStringLiteral(".kvn");
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

// Age order of the backups in a folder; a file's own name is what the program wrote, the time
// of its last change breaks ties of an equal name (never expected, but never undefined).
struct BackupAge {
  QString stamp;
  int counter = 1;
  QDateTime modified;
  QString name;
  bool operator<(const BackupAge& o) const {
    return std::tie(stamp, counter, modified, name) < std::tie(o.stamp, o.counter, o.modified, o.name);
  }
};

std::vector<BackupAge> BackupsIn(const QDir& folder) {
  std::vector<BackupAge> backups;
  for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*") + kExtension}, QDir::Files | QDir::Hidden)) {
    if (!IsBackupName(file.fileName())) continue;
    const QRegularExpressionMatch m = BackupNamePattern().match(file.fileName());
    const int counter = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
    backups.push_back({m.captured(1), counter, file.lastModified(), file.fileName()});
  }
  std::sort(backups.begin(), backups.end());
  return backups;
}

QString CandidateName(const QString& stamp, int n) {
  return n == 1 ? stamp + kExtension : stamp + QLatin1Char('_') + QString::number(n) + kExtension;
}

// Takes the first free name of that second by creating it exclusively: a second backup within
// the same second (of this program or another instance) gets a counter, and nothing that is
// already there, a file or a link, is written through. Empty with the reason when none can be
// created.
QString ReserveName(const QDir& folder, const QString& stamp, QString* error) {
  constexpr int kMaxPerSecond = 1000;
  for (int n = 1; n <= kMaxPerSecond; ++n) {
    const QString name = CandidateName(stamp, n);
    QFile file(folder.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return name;
    const QFileInfo taken(file.fileName());
    if (!taken.exists() && !taken.isSymLink()) {
      *error = file.errorString();
      return {};
    }
  }
  *error = Tr("No free backup name is left for %1.").arg(stamp);
  return {};
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

bool IsBackupName(const QString& fileName) {
  const QRegularExpressionMatch m = BackupNamePattern().match(fileName);
  return m.hasMatch() && QDateTime::fromString(m.captured(1), kStampFormat).isValid();
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

BackupOutcome DeviceBackup::Take(const QDateTime& now, RegisterImage& image) {
  BackupOutcome outcome;
  if (blocks_.ReadBlockInto(BlockId::Identification, false, image)) {
    outcome.serialNumber = SerialNumberIn(image);
    outcome.accessLevel = Cell(image, reg::AccessLevel);
    if (ReadStoredBlocks(blocks_, image, outcome.accessLevel >= 1)) {
      BackupOutcome written = Write(BackupFolder(workDirectory_, outcome.serialNumber, TagIn(image), now), now, image);
      written.serialNumber = outcome.serialNumber;
      written.accessLevel = outcome.accessLevel;
      return written;
    }
  }
  outcome.folder = BackupFolder(workDirectory_, outcome.serialNumber);
  outcome.error = Tr("The device's current settings could not be read.");
  return outcome;
}

BackupOutcome DeviceBackup::Write(const QString& folderPath, const QDateTime& now,
                                  const RegisterImage& image) {
  BackupOutcome outcome;
  outcome.folder = folderPath;
  QDir folder(folderPath);
  if (!folder.mkpath(QStringLiteral("."))) {
    outcome.error = Tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folderPath));
    return outcome;
  }
  const QString name = ReserveName(folder, now.toString(kStampFormat), &outcome.error);
  if (name.isEmpty()) return outcome;
  // The reserved empty file is replaced whole once the backup is complete.
  if (!WriteFileAtomically(folder.filePath(name), EncodeTextRecord(ConfigurationText(image)), &outcome.error)) {
    folder.remove(name);
    return outcome;
  }
  Prune(folderPath, name);
  outcome.ok = true;
  outcome.fileName = name;
  return outcome;
}

void DeviceBackup::Prune(const QString& folderPath, const QString& keep) {
  QDir folder(folderPath);
  std::vector<BackupAge> backups = BackupsIn(folder);
  // The one just written counts among the kept, whatever a clock set back made its name.
  const auto kept = std::find_if(backups.begin(), backups.end(), [&](const BackupAge& b) { return b.name == keep; });
  const size_t room = kept == backups.end() ? kBackupsKept : kBackupsKept - 1;
  if (kept != backups.end()) backups.erase(kept);
  for (size_t i = 0; i + room < backups.size(); ++i) folder.remove(backups[i].name);
}

}  // namespace kvn

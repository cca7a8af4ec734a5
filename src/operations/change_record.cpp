#include "operations/change_record.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

#include "operations/change_history.h"
#include "operations/device_reading.h"
#include "operations/unit_records.h"
#include "parameters/value_codec.h"
#include "texts/prompts.h"
#include "texts/tr_context.h"

namespace kvn {

namespace {
KVN_TR_CONTEXT(kvn::ChangeRecord)
}  // namespace

ChangeRecord::ChangeRecord(Services services)
    : s_(std::move(services)), backupSet_(std::make_unique<RegisterImage>()) {}

ChangeRecord::~ChangeRecord() = default;

// --- The held backup ----------------------------------------------------------------------------

bool ChangeRecord::KeepBeforeProgramming() {
  Release();
  return Hold(false);
}

void ChangeRecord::Release() {
  held_ = Held::Nothing;
  takenInProgrammingMode_ = false;
  heldSerial_.clear();
}

void ChangeRecord::DevicePolled(bool linkOk, const RegisterImage& device) {
  if (held_ == Held::Nothing) return;
  if (!linkOk || !InProgrammingMode(device) || SerialNumberIn(device) != heldSerial_) Release();
}

const RegisterImage* ChangeRecord::HeldSet() const { return held_ == Held::Backup ? backupSet_.get() : nullptr; }

bool ChangeRecord::Hold(bool inProgrammingMode) {
  *backupSet_ = RegisterImage{};
  backup_ = DeviceBackup(s_.blocks, s_.workDirectory).Take(s_.now(), *backupSet_);
  takenInProgrammingMode_ = inProgrammingMode;
  // A backup that could not be read has no serial number of its own: the device's as polled.
  heldSerial_ = backup_.serialNumber.isEmpty() && s_.lastRead ? SerialNumberIn(*s_.lastRead) : backup_.serialNumber;
  // A set read in programming mode holds writes never committed: never the set the unit runs.
  observeError_ = backup_.ok && !inProgrammingMode
                      ? RecordReadSet(s_.workDirectory, QFileInfo(backup_.folder).fileName(), *backupSet_, s_.now())
                      : QString();
  if (backup_.ok) {
    held_ = Held::Backup;
    return true;
  }
  if (!GoOnWithoutBackup()) {
    Release();
    return false;
  }
  held_ = Held::WithoutBackup;
  return true;
}

bool ChangeRecord::GoOnWithoutBackup() {
  return s_.prompts.ConfirmOkCancel(
      Tr("The device's current settings could not be kept as a backup before writing:\r\n%1\r\n\r\n"
         "Press [OK] to write without a backup or [Cancel] to write nothing.")
          .arg(backup_.error),
      Prompts::DefaultButton::Cancel);
}

// --- One operation ------------------------------------------------------------------------------

void ChangeRecord::Begin(const QString& operation) {
  operation_ = operation;
  attempted_ = false;
}

bool ChangeRecord::BeforeWrite() {
  if (attempted_) return true;
  if (held_ == Held::Nothing && !Hold(true)) return false;
  attempted_ = true;
  return true;
}

const RegisterImage* ChangeRecord::Before() const {
  return held_ == Held::Backup ? backupSet_.get() : s_.lastRead;
}

QString ChangeRecord::BackupNote() const {
  if (held_ != Held::Backup) return Tr("none: not backed up; changes against the settings last read");
  if (!takenInProgrammingMode_) return backup_.fileName;
  return Tr("%1 (taken in programming mode: it may hold written values that were never committed)")
      .arg(backup_.fileName);
}

void ChangeRecord::Record(const QString& result, const RegisterImage* after,
                          const std::vector<BlockDescriptor>& blocks) {
  if (!attempted_) return;
  const RegisterImage* before = Before();
  if (!after || !before) {
    Append(result, {}, nullptr);
    return;
  }
  // Blocks the operation left alone are no change, whatever the window holds in them.
  auto given = std::make_unique<RegisterImage>(*before);
  for (const BlockDescriptor& b : blocks) std::copy_n(after->begin() + b.start, b.count, given->begin() + b.start);
  Append(result, DifferenceList(*before, *given, s_.texts, s_.format), given.get());
}

void ChangeRecord::Append(const QString& result, std::vector<ParameterDifference> changes, const RegisterImage* after) {
  const bool known = after != nullptr;
  attempted_ = false;
  HistoryEntry entry;
  entry.time = s_.now();
  entry.serialNumber = heldSerial_;
  // The level the operation ran at: the device's as last polled, before the dialog opened.
  entry.accessLevel = s_.lastRead ? Cell(*s_.lastRead, reg::AccessLevel) : backup_.accessLevel;
  entry.operation = operation_;
  entry.result = result;
  entry.backupFile = BackupNote();
  entry.changes = std::move(changes);
  entry.changesKnown = known;
  entry.backedUp = held_ == Held::Backup;
  // A unit without a serial number has its backup's own folder: its history goes beside it.
  const QString folder = backup_.ok ? backup_.folder : BackupFolder(s_.workDirectory, heldSerial_);
  recordError_ = AppendHistory(folder, entry, s_.format.DecimalSeparator(), s_.listSeparator);
  if (!recordError_.isEmpty()) s_.prompts.ShowError(Tr("The change history could not be written:\r\n%1").arg(recordError_));
  // The records' files follow only a set whose every block is known: the backup's with what
  // was written over it.
  const RegisterImage* runs = held_ == Held::Backup && !takenInProgrammingMode_ ? after : nullptr;
  QStringList recordsErrors;
  if (!observeError_.isEmpty()) recordsErrors << observeError_;
  observeError_.clear();
  const QString outcomeError =
      RecordWriteOutcome(s_.workDirectory, QFileInfo(folder).fileName(), entry, runs, s_.format.DecimalSeparator(), released_);
  // Records that cannot be opened fail the read's commit and the outcome's alike: told once.
  if (!outcomeError.isEmpty() && !recordsErrors.contains(outcomeError)) recordsErrors << outcomeError;
  if (recordsErrors.isEmpty()) return;
  const QString recordsError = recordsErrors.join(QStringLiteral("; "));
  s_.prompts.ShowError(Tr("The records could not be written:\r\n%1").arg(recordsError));
  recordError_ = recordError_.isEmpty() ? recordsError : recordError_ + QStringLiteral("; ") + recordsError;
}

}  // namespace kvn

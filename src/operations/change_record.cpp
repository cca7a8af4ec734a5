#include "operations/change_record.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

#include "operations/change_history.h"
#include "operations/device_backup.h"
#include "operations/device_reading.h"
#include "operations/unit_records.h"
#include "records/records.h"
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
  // A set read in programming mode holds writes never committed: never the set the unit runs.
  backup_ = DeviceBackup(s_.blocks, s_.workDirectory).Take(s_.now(), *backupSet_, !inProgrammingMode);
  takenInProgrammingMode_ = inProgrammingMode;
  // A backup that could not be read has no serial number of its own: the device's as polled.
  heldSerial_ = backup_.serialNumber.isEmpty() && s_.lastRead ? SerialNumberIn(*s_.lastRead) : backup_.serialNumber;
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
  if (takenInProgrammingMode_)
    return Tr("read in programming mode, not recorded: it may hold written values that were never committed");
  return Tr("record %1").arg(backup_.record.left(kShortRecordId));
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
  // A unit without a serial number has its backup's own folder: its outcome goes beside it.
  const QString unit = backup_.ok ? backup_.unit : QFileInfo(BackupFolder(s_.workDirectory, heldSerial_)).fileName();
  // The records' files follow only a set whose every block is known: the backup's with what
  // was written over it.
  const RegisterImage* runs = held_ == Held::Backup && !takenInProgrammingMode_ ? after : nullptr;
  recordError_ = RecordWriteOutcome(s_.workDirectory, unit, entry, runs, s_.format.DecimalSeparator(), released_);
  if (!recordError_.isEmpty())
    s_.prompts.ShowError(Tr("The outcome could not be recorded:\r\n%1").arg(recordError_));
}

}  // namespace kvn

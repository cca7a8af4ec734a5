#include "operations/change_record.h"

#include <QCoreApplication>

#include <algorithm>

#include "device_link/block_table.h"
#include "operations/change_history.h"
#include "parameters/difference_list.h"
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

void ChangeRecord::Begin(const QString& operation) {
  operation_ = operation;
  attempted_ = false;
  backup_ = BackupOutcome{};
}

bool ChangeRecord::BeforeWrite() {
  if (attempted_) return true;
  attempted_ = true;
  *backupSet_ = RegisterImage{};
  backup_ = DeviceBackup(s_.blocks, s_.workDirectory).Take(s_.now(), *backupSet_);
  if (backup_.ok) return true;
  return s_.prompts.ConfirmOkCancel(
      Tr("The device's current settings could not be kept as a backup before writing:\r\n%1\r\n\r\n"
         "Press [OK] to write without a backup or [Cancel] to write nothing.")
          .arg(backup_.error));
}

void ChangeRecord::Record(const QString& result, const RegisterImage& after, bool passwordWritten) {
  if (!attempted_) return;
  attempted_ = false;
  HistoryEntry entry;
  entry.time = s_.now();
  entry.serialNumber = backup_.serialNumber;
  entry.accessLevel = backup_.accessLevel;
  entry.operation = operation_;
  entry.result = result;
  entry.backupFile = backup_.fileName;
  // Without a backup there is no "before" to tell the changes from.
  if (backup_.ok) {
    auto written = std::make_unique<RegisterImage>(after);
    // A backup holds no password: an unwritten one is no change.
    const BlockDescriptor& password = Block(BlockId::Password);
    if (!passwordWritten)
      std::copy_n(backupSet_->begin() + password.start, password.count, written->begin() + password.start);
    entry.changes = DifferenceList(*backupSet_, *written, s_.texts, s_.format);
  }
  const QString error = AppendHistory(backup_.folder, entry,
                                      s_.format.DecimalSeparator(), s_.listSeparator);
  if (!error.isEmpty()) s_.prompts.ShowError(Tr("The change history could not be written:\r\n%1").arg(error));
}

}  // namespace kvn

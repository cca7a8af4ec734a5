#pragma once
#include <QChar>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

#include "device_link/register_image.h"
#include "operations/device_backup.h"

namespace kvn {

class BlockTransfer;
class NumberFormat;
class Prompts;
class Texts;

// What one write operation on the device leaves behind: the backup taken before its first
// write and, when it ends, one line of the change history. A write step asks BeforeWrite();
// the end of the operation calls Record() once, whatever came of it.
class ChangeRecord {
 public:
  struct Services {
    BlockTransfer& blocks;
    Prompts& prompts;
    const Texts& texts;
    const NumberFormat& format;
    QString workDirectory;
    QChar listSeparator;
    std::function<QDateTime()> now = &QDateTime::currentDateTime;
  };
  explicit ChangeRecord(Services services);
  ~ChangeRecord();

  // Starts an operation: nothing is kept yet.
  void Begin(const QString& operation);
  // Takes the backup before the operation's first write (once per operation). When it cannot
  // be read or written the engineer is asked whether to go on without it; false: stop, with
  // nothing written.
  bool BeforeWrite();
  // One history line for the operation begun, when anything was about to be written: the
  // result text, the backup's name, the parameters changed from the backup to `after` (what
  // was written, or what the device holds after a restore). The password block counts only
  // when it was written.
  void Record(const QString& result, const RegisterImage& after, bool passwordWritten);

  const BackupOutcome& LastBackup() const { return backup_; }

 private:
  Services s_;
  QString operation_;
  bool attempted_ = false;  // BeforeWrite ran in this operation
  BackupOutcome backup_;
  std::unique_ptr<RegisterImage> backupSet_;
};

}  // namespace kvn

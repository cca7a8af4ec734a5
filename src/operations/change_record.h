#pragma once
#include <QChar>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "device_link/block_table.h"
#include "device_link/register_image.h"
#include "operations/device_backup.h"
#include "operations/unit_records.h"
#include "parameters/difference_list.h"

namespace kvn {

class BlockTransfer;
class NumberFormat;
class Prompts;
class Texts;

// What write operations on the device leave behind in the records: the set the device runs,
// committed before the first write (the backup), and for each operation a commit of its outcome.
//
// In programming mode the device answers reads with what was written to it, committed or not.
// The backup is therefore taken before programming mode is entered and held for every
// operation until the mode is left; only a device found in programming mode already is backed
// up as it answers, and its history lines say so.
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
    // The device's set as last read (the poll's image): what a write without a backup is
    // recorded against, and where the serial number and level of the moment are found.
    const RegisterImage* lastRead = nullptr;
  };
  explicit ChangeRecord(Services services);
  ~ChangeRecord();

  // --- The backup held through programming mode ---

  // Programming mode is about to be entered: the device's set is kept as the backup and held.
  // When it cannot be kept the engineer is asked whether to go on without one (Cancel is the
  // default); false: the mode is not to be entered.
  bool KeepBeforeProgramming();
  // Programming mode has been left: the held backup no longer tells what the device runs.
  void Release();
  // After each poll: a device out of programming mode, a lost link or another device ends
  // what is held.
  void DevicePolled(bool linkOk, const RegisterImage& device);
  // The set of the held backup; nullptr when none is held.
  const RegisterImage* HeldSet() const;

  // --- One write operation ---

  // Starts an operation: nothing attempted yet.
  void Begin(const QString& operation);
  // Before the operation's first write: the held backup serves; without one the device is
  // backed up as it answers. When that fails the engineer is asked whether to go on; false:
  // stop, with nothing written and nothing to record.
  bool BeforeWrite();
  // The operation's history line, written as soon as its outcome is known (once per
  // BeforeWrite): the result text and the parameters of `blocks` in `after` that differ from
  // the backup, or from the set last read when there is none. A null `after`: what the device
  // holds afterwards is not known, and the line says so instead of naming no change.
  void Record(const QString& result, const RegisterImage* after, const std::vector<BlockDescriptor>& blocks);

  // The released file the operations write (the command line's), named in their records with
  // the checksum it carries.
  void SetReleasedFile(const QString& file, const QString& checksum) { released_ = {file, checksum}; }

  const BackupOutcome& LastBackup() const { return backup_; }
  // Why the last outcome could not be committed to the records; empty when it was (or none
  // was due).
  const QString& RecordError() const { return recordError_; }

 private:
  enum class Held { Nothing, Backup, WithoutBackup };

  // Takes a backup and holds it, or the engineer's choice to go on without one.
  bool Hold(bool inProgrammingMode);
  bool GoOnWithoutBackup();
  const RegisterImage* Before() const;
  QString BackupNote() const;
  void Append(const QString& result, std::vector<ParameterDifference> changes, const RegisterImage* after);

  Services s_;
  QString operation_;
  bool attempted_ = false;  // BeforeWrite let this operation write; its line is still due
  Held held_ = Held::Nothing;
  bool takenInProgrammingMode_ = false;
  QString heldSerial_;  // the device the held backup (or the choice to go without) belongs to
  BackupOutcome backup_;
  std::unique_ptr<RegisterImage> backupSet_;
  QString recordError_;
  ReleasedFile released_;
};

}  // namespace kvn

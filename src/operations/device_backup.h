#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "device_link/register_image.h"

namespace kvn {

class BlockTransfer;

inline constexpr int kBackupsKept = 50;  // per device, the newest

// Reads the parameter blocks a configuration file holds (1..8) from the device into image,
// which none of the program's three images may be: nothing shown, nothing adopted. False at
// the first block that cannot be read. withPassword: the password block too, as the device
// gives it to an admin (a file never holds it; a comparison needs it beside the window's).
bool ReadStoredBlocks(BlockTransfer& blocks, RegisterImage& image, bool withPassword);

// The serial number in an image's identification block, trimmed.
QString SerialNumberIn(const RegisterImage& image);
// The tag in an image's identification block, trimmed.
QString TagIn(const RegisterImage& image);

// The folder of one device's backups and history: backups/<serial number> in the work
// directory. Characters a file name cannot hold become "_". A serial number that reads blank or
// erased (all 0xFF) names no device: such a unit's backup goes to a folder of its own, named
// by the unit's tag (when it has one) and the backup's time, "unknown-tag-<tag>-<stamp>" or
// "unknown-<stamp>", so that two such units never share a folder nor prune each other's
// backups. Without a time (no backup) it is "unknown-tag-<tag>" or "unknown".
QString BackupFolder(const QString& workDirectory, const QString& serialNumber,
                     const QString& tag = {}, const QDateTime& firstBackup = {});

// A backup file's name: the stamp of its time, a counter from 2 on when that second is taken.
// Only files named so are backups the program may prune.
bool IsBackupName(const QString& fileName);

// What a backup left behind.
struct BackupOutcome {
  bool ok = false;
  QString serialNumber;  // as the device gave it, trimmed
  int accessLevel = -1;  // register 14 as read with the backup
  QString fileName;      // the backup file's name (no folder); empty when none was written
  QString folder;        // the device's folder, where its backups and its history go
  QString error;         // why there is none, for the question whether to go on without it
};

// The device's current set kept before anything is written to it: the identification and the
// stored parameter blocks are read into image (a scratch image), and written as a configuration
// file backups/<serial>/<yyyy-mm-dd_hh-mm-ss>.kvn through the atomic writer. Of each device's
// backups the newest kBackupsKept stay, the one just written always among them.
class DeviceBackup {
 public:
  DeviceBackup(BlockTransfer& blocks, QString workDirectory)
      : blocks_(blocks), workDirectory_(std::move(workDirectory)) {}

  BackupOutcome Take(const QDateTime& now, RegisterImage& image);

  // Writes image's stored blocks as a backup of that device; the file's name or an error. The
  // name is taken by creating it exclusively, so a file or link already there is never written.
  static BackupOutcome Write(const QString& folder, const QDateTime& now, const RegisterImage& image);
  // Removes the oldest backups beyond kBackupsKept from a device's folder: files with a backup
  // name only, ordered by their stamp, then counter, then modification time. keep (the backup
  // just written) is never removed, whatever its name says of its age.
  static void Prune(const QString& folder, const QString& keep);

 private:
  BlockTransfer& blocks_;
  QString workDirectory_;
};

}  // namespace kvn

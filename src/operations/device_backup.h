#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "device_link/register_image.h"

namespace kvn {

class BlockTransfer;

// Reads the parameter blocks a configuration file holds (1..8) from the device into image,
// which none of the program's three images may be: nothing shown, nothing adopted. False at
// the first block that cannot be read. withPassword: the password block too, as the device
// gives it to an admin (a file never holds it; a comparison needs it beside the window's).
bool ReadStoredBlocks(BlockTransfer& blocks, RegisterImage& image, bool withPassword);

// The serial number in an image's identification block, trimmed.
QString SerialNumberIn(const RegisterImage& image);
// The tag in an image's identification block, trimmed.
QString TagIn(const RegisterImage& image);

// The folder of one device's backups and history as earlier versions kept them,
// backups/<serial number> in the work directory; its last part names the unit's folder in the
// records. Characters a file name cannot hold become "_". A serial number that reads blank or
// erased (all 0xFF) names no device: such a unit's backup goes to a folder of its own, named
// by the unit's tag (when it has one) and the backup's time, "unknown-tag-<tag>-<stamp>" or
// "unknown-<stamp>", so that two such units never share a folder nor prune each other's
// backups. Without a time (no backup) it is "unknown-tag-<tag>" or "unknown".
QString BackupFolder(const QString& workDirectory, const QString& serialNumber,
                     const QString& tag = {}, const QDateTime& firstBackup = {});

// A backup file's name as earlier versions wrote them, "yyyy-MM-dd_hh-mm-ss[_N].kvn": its time,
// invalid when the name is none.
QDateTime BackupNameTime(const QString& fileName);

// What a backup left behind.
struct BackupOutcome {
  bool ok = false;
  QString serialNumber;  // as the device gave it, trimmed
  int accessLevel = -1;  // register 14 as read with the backup
  QString unit;          // the unit's folder in the records, where its record and history go
  QString record;        // the commit that holds the set, hex; empty when none does
  QString error;         // why there is none, for the question whether to go on without it
};

// The device's current set kept before anything is written to it: the identification and the
// stored parameter blocks are read into image (a scratch image) and, when `record`, committed
// to the unit's folder of the records when they differ from its last record. The backup is
// then the unit's last commit. A set read in programming mode is held but never recorded: the
// device answers there with written values that may never have been committed.
class DeviceBackup {
 public:
  DeviceBackup(BlockTransfer& blocks, QString workDirectory)
      : blocks_(blocks), workDirectory_(std::move(workDirectory)) {}

  BackupOutcome Take(const QDateTime& now, RegisterImage& image, bool record = true);

 private:
  BlockTransfer& blocks_;
  QString workDirectory_;
};

}  // namespace kvn

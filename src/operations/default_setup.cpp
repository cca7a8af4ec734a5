#include "operations/default_setup.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>
#include <vector>

#include "device_link/block_table.h"
#include "device_link/pause.h"
#include "parameters/config_file.h"
#include "operations/programming_session.h"
#include "texts/tr_context.h"

namespace kvn {
namespace {

enum Msg {
  kMsgOutOfRange = 25,
  kMsgCommitting = 32,
  kMsgCommitFailed = 33,
  kMsgRestoreQuestion = 35,
  kMsgRestored = 36,
  kMsgRestoreFailed = 37,
  kMsgSaveQuestion = 38,
  kMsgRestoreCaption = 39,
  kMsgRestoring = 40,
  kMsgRereading = 41,
  kMsgSaveCaption = 45,
  kMsgSaveVerified = 46,
  kMsgSaveRejectedGroups = 47,
  kMsgSaved = 48,
  kMsgSaveFailed = 49,
};

KVN_TR_CONTEXT(kvn::DefaultSetup)

const QString kNewLine = QStringLiteral("\r\n");

// The window settles on the reread values before the result is shown.
constexpr int kRereadSettleMs = 500;

// The device confirms a default-setup command by reporting its value in the high byte.
bool Answered(const ProgrammingSession& session, int command) {
  return ((Cell(session.S().images.EditImage, reg::ProgStatus) >> 8) & 0xFF) == command;
}

}  // namespace

void OpenRestoreDefault(ProgrammingSession& session) {
  session.OpenDialog(prog_state::Restore, kMsgRestoreCaption, kMsgRestoreQuestion);
}

void OpenSaveDefault(ProgrammingSession& session) {
  // What becomes the device's default is checked as a program transfer is.
  if (!session.EntriesComplete()) return;
  session.OpenDialog(prog_state::WriteDefault, kMsgSaveCaption, kMsgSaveQuestion);
}

namespace {

// What a restore did to the device's set, as far as it is known.
enum class Restored {
  No,       // the device answered without the command's value: it kept its set
  Reread,   // it restored, and its set was read back into DeviceImage
  Unknown,  // it may have restored, but what it holds could not be read
};

Restored Restore(ProgrammingSession& session) {
  session.SetInfo(kMsgRestoring);
  // A failed command write leaves the progress text under the link's message.
  if (!session.WriteProgCommand(cmd::RestoreDefault)) return Restored::Unknown;
  if (!session.ReadCommandAnswer()) {
    session.SetInfo(kMsgRestoreFailed);
    return Restored::Unknown;
  }
  if (!Answered(session, cmd::RestoreDefault)) {
    session.SetInfo(kMsgRestoreFailed);
    return Restored::No;
  }
  session.SetInfo(kMsgRereading);
  const ReadOutcome reread =
      session.S().read_device_settings ? session.S().read_device_settings() : ReadOutcome::Failed;
  // The device has confirmed the restore: it runs its default whatever the window took of it.
  QString text = session.Message(kMsgRestored);
  switch (reread) {
    case ReadOutcome::Adopted: session.S().pause.Wait(kRereadSettleMs); break;
    case ReadOutcome::Unchanged: break;
    case ReadOutcome::Declined:
      text += kNewLine + Tr("The window still shows the previous settings.");
      break;
    case ReadOutcome::Failed:
      text += kNewLine + Tr("Reading the restored settings failed: the window does not show them.");
      break;
  }
  session.SetInfo(text);
  return reread == ReadOutcome::Failed ? Restored::Unknown : Restored::Reread;
}

std::vector<BlockDescriptor> StoredBlocks() {
  std::vector<BlockDescriptor> blocks;
  std::copy_if(BlockTable.begin(), BlockTable.end(), std::back_inserter(blocks), IsStoredBlock);
  return blocks;
}

}  // namespace

void RestoreDefaultStep(ProgrammingSession& session) {
  if (!session.KeepBackup()) return;
  session.EndSteps();
  const Restored restored = Restore(session);
  const RegisterImages& images = session.S().images;
  switch (restored) {
    case Restored::No:
      session.SetEnd(SessionEnd::Old);
      session.RecordOutcome(session.Info(), &images.EditImage, {});
      return;
    case Restored::Reread:
      session.SetEnd(SessionEnd::New);
      session.RecordOutcome(session.Info(), &images.DeviceImage, StoredBlocks());
      break;
    case Restored::Unknown:
      session.SetEnd(SessionEnd::Unknown);
      session.RecordOutcome(session.Info(), nullptr, {});
      break;
  }
  // The device runs its default now (or may): the backup held before no longer tells its set.
  session.SetInForceChanged();
}

void WriteDefaultStep(ProgrammingSession& session) {
  session.WriteAndVerifyStep(prog_state::CommitDefault, kMsgSaveVerified);
}

void CommitDefaultStep(ProgrammingSession& session) {
  session.EndSteps();
  session.SetEnd(SessionEnd::Old);
  session.SetInfo(kMsgCommitting);
  if (!session.WriteProgCommand(cmd::SaveDefault)) {
    session.ReportAfterLostCommand(CommitKind::Default);
    return;
  }
  if (!session.ReadCommandAnswer()) {
    session.ReportAfterLostAnswer(CommitKind::Default);
    return;
  }
  if (Answered(session, cmd::SaveDefault)) {
    session.ConfirmAccepted(kMsgSaved);
    return;
  }
  const QString groups = session.rejected_groups_text();
  if (groups.isEmpty()) {
    session.SetInfo(kMsgSaveFailed);
    return;
  }
  session.SetInfo(session.Message(kMsgSaveRejectedGroups) + QLatin1Char(' ') + groups + QLatin1Char(' ') +
                  session.Message(kMsgOutOfRange));
}

}  // namespace kvn

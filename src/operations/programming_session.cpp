#include "operations/programming_session.h"

#include <algorithm>

#include <QCoreApplication>
#include <QTimer>

#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "operations/change_record.h"
#include "operations/default_setup.h"
#include "operations/device_reading.h"
#include "operations/device_transaction.h"
#include "operations/operation_names.h"
#include "parameters/device_access.h"
#include "parameters/entry_text.h"
#include "parameters/field_kinds.h"
#include "parameters/parameter_view.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "texts/tr_context.h"

namespace kvn {
namespace {

enum Msg {
  kMsgEnterQuestion = 18,
  kMsgOverwriteQuestion = 21,
  kMsgVerified = 22,
  kMsgVerifyFailed = 23,
  kMsgRejectedGroups = 24,
  kMsgOutOfRange = 25,
  kMsgUpdateComplete = 26,
  kMsgUpdateCaption = 27,
  kMsgWriteFailed = 29,
  kMsgWriting = 30,
  kMsgVerifying = 31,
  kMsgCommitting = 32,
  kMsgCommitFailed = 33,
  kMsgCommitRejected = 34,
  kMsgPasswordMissing = 60,
  kMsgUserLevelQuestion = 79,
};

// The device waits this long after the last write and after the read-back before it is
// asked anything more, and this long after a command before it has an answer.
constexpr int kSettleMs = 1000;

// The rejected-group bits of register 15's low byte and the window labels that name them.
struct GroupBit {
  int mask;
  const char* label;             // the section heading that names the group
  const char* second = nullptr;  // a group of two sections, "first/second"
};
constexpr GroupBit kGroups[] = {
    {0x01, "lbl_config_usr"},
    {0x02, "lbl_config_admin"},
    {0x08, "lbl_measurement"},
    {0x10, "lbl_diagnostics"},
    {0x40, "lbl_digital_out", "lbl_analog_out"},
};

bool IsTransferable(const BlockDescriptor& row, int level) {
  return row.is_parameter && row.access < 2 && row.access <= level;
}

KVN_TR_CONTEXT(kvn::ProgrammingSession)

const QString kNewLine = QStringLiteral("\r\n");

QString WorkingSetText(SetInForce set) {
  switch (set) {
    case SetInForce::New: return Tr("The device holds the new settings: they are in force.");
    case SetInForce::Old: return Tr("The device still runs its previous settings: the new settings are not in force.");
    case SetInForce::Unknown: break;
  }
  return Tr("The device does not answer: which settings are in force is not known.");
}

// Only the device's answer to the save command tells that its default was stored; a read-back
// shows the working set alone.
QString InForceText(SetInForce set, CommitKind kind) {
  if (kind == CommitKind::Working) return WorkingSetText(set);
  const QString working =
      set == SetInForce::New ? Tr("The device runs the new settings: they are in force as its working settings.")
                             : WorkingSetText(set);
  return working + kNewLine + Tr("Whether the new settings were stored as its default is not known.");
}

}  // namespace

QString ProgrammingSession::Message(int n) const { return s_.texts.GetMessageText(n); }

void ProgrammingSession::SetInfo(const QString& text) {
  info_ = text;
  if (s_.show_info) s_.show_info(info_);
}

void ProgrammingSession::SetInfo(int message) { SetInfo(Message(message)); }

bool ProgrammingSession::WriteProgCommand(int value) { return SendProgCommand(s_.master, s_.images, s_.setup, value); }

bool ProgrammingSession::ReadCommandAnswer() {
  s_.pause.Wait(kSettleMs);
  return s_.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Edit);
}

// --- Main window commands -------------------------------------------------------------------

void ProgrammingSession::AskToEnter() {
  if (!s_.prompts.ConfirmOkCancel(Message(kMsgEnterQuestion))) return;
  const PollHeld noPoll(s_.poll);
  const Hourglass wait;
  // The next poll shows the mode and enables the controls.
  EnterProgramming();
}

ProgrammingSession::Entry ProgrammingSession::EnterProgramming() {
  // Once in programming mode the device answers with what it is given, committed or not: the
  // set it runs is kept now, for every operation until the mode is left.
  if (s_.changes && !s_.changes->KeepBeforeProgramming()) return Entry::NoBackup;
  if (EnterProgrammingMode(s_.master, s_.blocks, s_.images, s_.setup) == ModeRead::In) return Entry::Entered;
  // Whether the command was lost or refused, the device is not left half-way.
  LeaveProgrammingMode(s_.master, s_.blocks, s_.images, s_.setup);
  SetInForceChanged();
  return Entry::NotEntered;
}

ModeRead ProgrammingSession::Abort() {
  const PollHeld noPoll(s_.poll);
  const ModeRead mode = LeaveProgrammingMode(s_.master, s_.blocks, s_.images, s_.setup);
  // The device drops what was written and not committed: the window's idea of its set is old.
  if (s_.poll) s_.poll->SetChanged();
  if (mode == ModeRead::Out) SetInForceChanged();
  return mode;
}

bool ProgrammingSession::PasswordEntryPresent() {
  const QString problem = NewPasswordProblem(s_.form.NewPasswordEntry(), s_.texts);
  if (s_.blocks.CheckBlockCrc(BlockId::Password) && problem.isEmpty()) return true;
  s_.prompts.ShowError(problem.isEmpty() ? Message(kMsgPasswordMissing) : problem);
  s_.form.ShowPasswordEntry();
  return false;
}

// Every block the level lets through must be complete and within its ranges before anything
// reaches the device.
bool ProgrammingSession::EntriesComplete() {
  const int level = DeviceAccessLevel(s_.setup, s_.images);
  checkedLevel_ = level;
  for (const BlockDescriptor& row : BlockTable) {
    if (!IsTransferable(row, level)) continue;
    if (row.id == BlockId::Password) {
      if (s_.form.PasswordChangeWanted() && !PasswordEntryPresent()) return false;
      continue;
    }
    if (!s_.form.EntriesComplete(row)) return false;
  }
  return true;
}

void ProgrammingSession::AskToProgram() {
  if (!EntriesComplete()) return;
  if (DeviceAccessLevel(s_.setup, s_.images) < 1 && !s_.prompts.ConfirmOkCancel(Message(kMsgUserLevelQuestion)))
    return;
  OpenDialog(prog_state::Write, kMsgUpdateCaption, kMsgOverwriteQuestion);
}

namespace {
const OperationName& OperationOf(int firstState) {
  switch (firstState) {
    case prog_state::Restore: return kRestoreOperation;
    case prog_state::WriteDefault: return kSaveDefaultOperation;
    default: return kProgramOperation;
  }
}
}  // namespace

// The operation's name in the history: the command's caption in the current texts (a language
// pack's, or the window's as it collected them), else its built-in one: a front end without
// the window has collected none.
QString ProgrammingSession::OperationCaption(int firstState) const {
  const OperationName& name = OperationOf(firstState);
  const QString current = s_.texts.GetTextByKey(QString::fromLatin1(name.key));
  return current.isEmpty() ? QString::fromLatin1(name.caption) : current;
}

void ProgrammingSession::StartSteps(int firstState) {
  step_ = firstState;
  updPassword_ = s_.form.PasswordChangeWanted();
  written_.clear();
  end_ = SessionEnd::Open;
  if (s_.changes) s_.changes->Begin(OperationCaption(firstState));
}

void ProgrammingSession::OpenDialog(int firstState, int captionMessage, int questionMessage) {
  caption_ = Message(captionMessage);
  info_ = Message(questionMessage);
  const PollHeld noPoll(s_.poll);  // for the dialog's whole life
  StartSteps(firstState);
  if (s_.run_dialog) s_.run_dialog();
  // Left at a question after something was written: the cancel is the outcome (an ended
  // operation has been recorded by its step already).
  if (InProgress()) {
    const bool stopped = s_.stop_requested && s_.stop_requested();
    RecordOutcome((stopped ? Tr("Interrupted at: %1") : Tr("Cancelled at: %1")).arg(info_), &s_.images.EditImage, written_);
    end_ = written_.empty() ? SessionEnd::Refused : SessionEnd::Old;
  }
  // Whatever happened in the dialog, the device's parameter blocks are read afresh.
  if (s_.poll) s_.poll->SetChanged();
}

// --- Dialog steps ---------------------------------------------------------------------------

bool ProgrammingSession::block_selected(const BlockDescriptor& row) const {
  const int level = Cell(s_.images.EditImage, reg::AccessLevel);
  return IsTransferable(row, level) && (row.id != BlockId::Password || updPassword_);
}

bool ProgrammingSession::send_parameters() {
  SetInfo(kMsgWriting);
  written_.clear();
  // Register 14 read here decides which blocks go out; blocks of a level other than the one
  // the entries were checked at would go out unchecked.
  if (!s_.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Edit)) return false;
  if (Cell(s_.images.EditImage, reg::AccessLevel) != checkedLevel_) return false;
  // A level that selects no block would verify nothing and commit what was never written.
  if (std::none_of(BlockTable.begin(), BlockTable.end(), [this](const BlockDescriptor& row) { return block_selected(row); }))
    return false;
  for (const BlockDescriptor& row : BlockTable) {
    if (!block_selected(row)) continue;
    if (s_.stop_requested && s_.stop_requested()) return false;
    written_.push_back(row);
    if (!s_.blocks.WriteBlock(row)) return false;
  }
  s_.pause.Wait(kSettleMs);
  return true;
}

int ProgrammingSession::verify_read() {
  SetInfo(kMsgVerifying);
  const int result = ReadBackWritten();
  if (result == 0) s_.pause.Wait(kSettleMs);
  return result;
}

int ProgrammingSession::ReadBackWritten() {
  for (const BlockDescriptor& row : written_) {
    if (!s_.blocks.ReadBlock(row.id, false, ImageSelector::Verify)) return 1;
    if (!BlockEquals(s_.images.EditImage, s_.images.VerifyImage, row)) return 2;
  }
  return 0;
}

// Out of programming mode the device answers reads with the set it runs; in it, with what was
// written, whether or not it will ever be committed.
SetInForce ProgrammingSession::WrittenSetInForce() {
  if (!s_.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Edit)) return SetInForce::Unknown;
  if (InProgrammingMode(s_.images.EditImage)) return SetInForce::Old;
  switch (ReadBackWritten()) {
    case 0: return SetInForce::New;
    case 1: return SetInForce::Unknown;
    default: return SetInForce::Old;
  }
}

void ProgrammingSession::ConfirmAccepted(int acceptedMessage) {
  switch (ReadBackWritten()) {
    case 0:
      end_ = SessionEnd::New;
      SetInfo(acceptedMessage);
      return;
    case 1:
      end_ = SessionEnd::Unknown;
      SetInfo(Tr("The device answered the commit, but reading the written settings back failed.") + kNewLine +
                    WorkingSetText(SetInForce::Unknown));
      return;
    default:
      end_ = SessionEnd::Old;
      SetInfo(Tr("The device answered the commit, but it does not hold the new settings: reading them back "
                 "found other values. The new settings are not in force."));
  }
}

void ProgrammingSession::ReportAfterLostCommand(CommitKind kind) {
  const QString failure = Message(kMsgCommitting);
  // The command may have reached the device: it is asked no sooner than after any command.
  s_.pause.Wait(kSettleMs);
  ReportSetInForce(failure, kind);
}

void ProgrammingSession::ReportAfterLostAnswer(CommitKind kind) { ReportSetInForce(Message(kMsgCommitFailed), kind); }

void ProgrammingSession::ReportSetInForce(const QString& failure, CommitKind kind) {
  SetInfo(failure);
  const SetInForce set = WrittenSetInForce();
  switch (set) {
    // Running the new set does not tell that it was stored as the default.
    case SetInForce::New: end_ = kind == CommitKind::Working ? SessionEnd::New : SessionEnd::Unknown; break;
    case SetInForce::Old: end_ = SessionEnd::Old; break;
    case SetInForce::Unknown: end_ = SessionEnd::Unknown; break;
  }
  SetInfo(failure + kNewLine + InForceText(set, kind));
}

QString ProgrammingSession::rejected_groups_text() const {
  const int status = Cell(s_.images.EditImage, reg::ProgStatus) & 0xFF;
  const auto caption = [this](const char* name) { return HeadingCaptionOf(s_.texts, name); };
  QString list;
  for (const GroupBit& g : kGroups) {
    if (!(status & g.mask)) continue;
    if (!list.isEmpty()) list += QStringLiteral(", ");
    QString name = caption(g.label);
    if (g.second) name += QLatin1Char('/') + caption(g.second);
    list += QLatin1Char('[') + name + QLatin1Char(']');
  }
  return list;
}

bool ProgrammingSession::ChangesShown() const {
  return s_.show_changes && (step_ == prog_state::Write || step_ == prog_state::WriteDefault);
}

void ProgrammingSession::ShowChanges() {
  if (ChangesShown()) s_.show_changes();
}

void ProgrammingSession::RecordOutcome(const QString& result, const RegisterImage* after,
                                       const std::vector<BlockDescriptor>& blocks) {
  if (s_.changes) s_.changes->Record(result, after, blocks);
}

void ProgrammingSession::SetInForceChanged() {
  if (s_.changes) s_.changes->Release();
}

void ProgrammingSession::RecordEndedWrite(int step) {
  if (InProgress()) return;
  RecordOutcome(info_, &s_.images.EditImage, written_);
  // A commit's answer, or the read-back after it, tells whether the device left programming
  // mode (an unread answer leaves the status of the write step, still in it).
  const bool commit = step == prog_state::Commit || step == prog_state::CommitDefault;
  if (commit && !InProgrammingMode(s_.images.EditImage)) SetInForceChanged();
}

bool ProgrammingSession::KeepBackup() {
  if (!s_.changes || s_.changes->BeforeWrite()) return true;
  step_ = prog_state::Ended;
  end_ = SessionEnd::Refused;
  SetInfo(Tr("Nothing was written: the step was cancelled without a backup of the device's settings."));
  return false;
}

void ProgrammingSession::WriteAndVerifyStep(int nextState, int verifiedMessage) {
  if (!KeepBackup()) return;
  step_ = prog_state::Ended;
  // Nothing written is committed: leaving programming mode drops it.
  end_ = SessionEnd::Old;
  if (!send_parameters()) {
    if (s_.stop_requested && s_.stop_requested())
      SetInfo(Tr("Stopped by an interrupt before the next block was written: nothing is committed."));
    else
      SetInfo(kMsgWriteFailed);
    return;
  }
  if (verify_read() != 0) {
    SetInfo(kMsgVerifyFailed);
    return;
  }
  step_ = nextState;
  end_ = SessionEnd::Open;
  SetInfo(verifiedMessage);
}

void ProgrammingSession::CommitStep() {
  step_ = prog_state::Ended;
  // Until an answer or a read-back says otherwise, the device runs what it ran.
  end_ = SessionEnd::Old;
  SetInfo(kMsgCommitting);
  // The device may have committed although its answers were lost: after the line's message
  // the engineer is told which set it runs.
  if (!WriteProgCommand(cmd::Commit)) {
    ReportAfterLostCommand(CommitKind::Working);
    return;
  }
  if (!ReadCommandAnswer()) {
    ReportAfterLostAnswer(CommitKind::Working);
    return;
  }
  if (!InProgrammingMode(s_.images.EditImage)) {
    ConfirmAccepted(kMsgUpdateComplete);
    return;
  }
  const QString groups = rejected_groups_text();
  if (groups.isEmpty()) {
    SetInfo(kMsgCommitRejected);
    return;
  }
  SetInfo(Message(kMsgRejectedGroups) + QLatin1Char(' ') + groups + QLatin1Char(' ') + Message(kMsgOutOfRange));
}

void ProgrammingSession::Confirm() {
  const int step = step_;
  switch (step) {
    case prog_state::Write: WriteAndVerifyStep(prog_state::Commit, kMsgVerified); break;
    case prog_state::Commit: CommitStep(); break;
    case prog_state::Restore: RestoreDefaultStep(*this); return;  // records what it read back
    case prog_state::WriteDefault: WriteDefaultStep(*this); break;
    case prog_state::CommitDefault: CommitDefaultStep(*this); break;
    default: return;
  }
  RecordEndedWrite(step);
}

}  // namespace kvn

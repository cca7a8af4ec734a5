#pragma once
#include <QString>
#include <functional>
#include <vector>

#include "device_link/block_table.h"
#include "operations/connection.h"
#include "device_link/register_image.h"
#include "operations/programming_mode.h"

namespace kvn {

class BlockTransfer;
class ChangeRecord;
class PollHold;
class Texts;
struct LocSetupRec;
class ModbusMaster;
class ParameterView;
class Pause;
class Prompts;

// The session dialog's steps: what the next press of its confirm button carries out.
namespace prog_state {
inline constexpr int Write = 0;          // write and verify the parameter blocks
inline constexpr int Commit = 1;         // send Commit, evaluate the answer
inline constexpr int Restore = 2;        // send RestoreDefault, reread the device
inline constexpr int WriteDefault = 3;   // write and verify, to be saved as default
inline constexpr int CommitDefault = 4;  // send SaveDefault, evaluate the answer
inline constexpr int Ended = 10;         // only the closing OK is left
// Below this a session is in progress, from it on it has ended.
inline constexpr int FirstEnded = 6;
}  // namespace prog_state

// What a read-back after a commit command tells about the set the device runs.
enum class SetInForce {
  New,      // the device holds what was written, out of programming mode
  Old,      // it holds something else, or still waits in programming mode
  Unknown,  // it did not answer
};

// How an ended operation left the device, for a front end that acts on it without reading its
// texts (the command line's exit status).
enum class SessionEnd {
  Open,     // not ended
  Refused,  // ended before anything was written (a question declined, no backup)
  New,      // the read-back confirmed that the device holds and runs what was written (or
            // after a restore: its default, read back)
  Old,      // the device runs the set it ran before (a failed write or read-back, a rejected or
            // unapplied commit; uncommitted values are dropped when programming mode is left)
  Unknown,  // what the device runs is not known: it did not answer when asked
};

// What a commit command was to make of the written set: the working set, or also the default.
enum class CommitKind { Working, Default };

// The guarded programming session: entering and leaving programming mode, the entry checks
// before a transfer, and the steps the session dialog carries out (write, verify, commit and
// the default-setup commands). The dialog shows what this holds; the steps run here.
class ProgrammingSession {
 public:
  struct Services {
    LocSetupRec& setup;
    BlockTransfer& blocks;
    RegisterImages& images;
    const Texts& texts;
    // The front end's poll, held off for the dialog's life and told when the set must be read
    // again; none where nothing polls.
    PollHold* poll;
    Prompts& prompts;
    ModbusMaster& master;
    Pause& pause;
    ParameterView& form;
    // Reads every parameter block and adopts it into the form as "Read device settings"
    // does (the connection's read).
    std::function<ReadOutcome()> read_device_settings;
    // The dialog: shows a progress or result text at once (repainted before the next
    // transfer), and runs modally with the session as prepared until the engineer closes it.
    std::function<void(const QString&)> show_info;
    std::function<void()> run_dialog;
    // The session dialog's "Show changes...": the window against the device, shown over it.
    std::function<void()> show_changes = {};
    // The backup held through programming mode and the history line of each write operation.
    ChangeRecord* changes = nullptr;
    // Asked before each block is written: true stops the write there (an interrupted command
    // line), which leaves nothing half-written; nothing stops a commit and its read-back.
    std::function<bool()> stop_requested = {};
  };

  // How a request to enter programming mode ended.
  enum class Entry { Entered, NoBackup, NotEntered };

  explicit ProgrammingSession(Services services) : s_(std::move(services)) {}

  // The window's three commands: enter after question 18, leave, and program after the entry
  // checks and, at user level, question 79.
  void AskToEnter();
  ModeRead Abort();
  void AskToProgram();

  // Programming mode entered without a question: the device's set kept as the backup first
  // (in the mode the device answers with whatever is written to it), then the command, then
  // the mode read back. A device that did not take it is sent the leave command.
  Entry EnterProgramming();

  // The window's entries, block by block as far as the level lets them go to the device, are
  // complete and within range (else the entry is shown with its message). Remembers the level
  // they were checked at: the write step sends nothing when the device reports another.
  bool EntriesComplete();

  // Opens the dialog at a first step with its caption and question; the poll timer is
  // stopped for the dialog's whole life and the parameter blocks are polled afresh after it.
  void OpenDialog(int firstState, int captionMessage, int questionMessage);
  // The steps from a first one without the dialog, for a caller that presses confirm itself.
  void StartSteps(int firstState);

  // The step of prog_state (the dialog's confirm button).
  void Confirm();
  // "Show changes..." at the dialog's first question of a write: compares, changes nothing.
  bool ChangesShown() const;
  void ShowChanges();
  // Before the first block or command of a write operation goes out: the device's set is kept
  // as a backup, or the engineer agrees to go on without one. False: the step has ended with
  // nothing written and says so.
  bool KeepBackup();
  // The operation's history line, once its outcome is known: its result text and the blocks of
  // `after` the device was given (null: what the device holds afterwards is not known).
  void RecordOutcome(const QString& result, const RegisterImage* after, const std::vector<BlockDescriptor>& blocks);
  // The held backup no longer tells what the device runs (it has left programming mode, or
  // replaced its set by its default).
  void SetInForceChanged();

  SessionEnd End() const { return end_; }
  void SetEnd(SessionEnd end) { end_ = end; }

  int Step() const { return step_; }
  const QString& Caption() const { return caption_; }
  const QString& Info() const { return info_; }
  bool InProgress() const { return step_ < prog_state::FirstEnded; }
  // The blocks the write step sent (none before it, or after a restore).
  const std::vector<BlockDescriptor>& Written() const { return written_; }

  bool block_selected(const BlockDescriptor& row) const;
  bool send_parameters();
  int verify_read();  // 0 equal, 1 a read-back failed, 2 a register differs
  QString rejected_groups_text() const;

  // Shared by the steps of the default setups.
  const Services& S() const { return s_; }
  void EndSteps() { step_ = prog_state::Ended; }
  void SetInfo(int message);
  void SetInfo(const QString& text);
  // The command value goes to EditImage cell 108 and from there to the device; the link's
  // message has been shown when this fails.
  bool WriteProgCommand(int value);
  // After a command: the fixed pause, then the identification block into EditImage, silently.
  bool ReadCommandAnswer();
  // Write and verify (steps 0 and 3): the next state and its question when all went well.
  void WriteAndVerifyStep(int nextState, int verifiedMessage);
  // After a commit command: the text that says which set the device now runs, told by the
  // programming status and by reading the written blocks back.
  SetInForce WrittenSetInForce();
  // A commit the device answered as accepted counts only when the device holds what was
  // written: `accepted` is shown then, else what the device holds.
  void ConfirmAccepted(int acceptedMessage);
  // A commit step that failed on the line, after the link's message: the step's text, then
  // which set is in force, as read back. The command write itself failed: the device may
  // still have carried it out, and is given its settle time before it is read.
  void ReportAfterLostCommand(CommitKind kind);
  // The command went out but its answer could not be read (after the settle time).
  void ReportAfterLostAnswer(CommitKind kind);
  QString Message(int n) const;
  // The name of the operation a first step begins, as the history records it.
  QString OperationCaption(int firstState) const;

 private:
  bool PasswordEntryPresent();
  void CommitStep();
  void ReportSetInForce(const QString& failure, CommitKind kind);
  // After a write operation's step: its history line as soon as the operation has ended.
  void RecordEndedWrite(int step);
  // Reads the blocks of this session's write back into VerifyImage: 0 equal, 1 a read
  // failed, 2 a register differs.
  int ReadBackWritten();

  Services s_;
  int step_ = prog_state::Ended;
  bool updPassword_ = false;
  QString caption_;
  QString info_;
  SessionEnd end_ = SessionEnd::Open;
  int checkedLevel_ = -1;                // the level the entries were checked at
  std::vector<BlockDescriptor> written_;  // the blocks this session's write step sent
};

}  // namespace kvn

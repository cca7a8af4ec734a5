// The writing commands: the window's guarded session (programming mode, write, read back,
// commit, confirming read-back, history) run from a file and the command line's flags, with
// every outcome told by the exit status.
#include <QJsonArray>
#include <QJsonObject>
#include <memory>
#include <optional>
#include <vector>

#include "cli/commands.h"
#include "cli/device.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/terminal.h"
#include "device_link/block_table.h"
#include "operations/admin_login.h"
#include "operations/change_record.h"
#include "operations/connection.h"
#include "operations/device_backup.h"
#include "operations/device_reading.h"
#include "operations/event_log.h"
#include "operations/programming_mode.h"
#include "operations/programming_session.h"
#include "operations/set_comparison.h"
#include "parameters/config_file.h"
#include "parameters/device_access.h"
#include "parameters/entry_text.h"
#include "parameters/field_kinds.h"
#include "parameters/parameter_table.h"
#include "parameters/parameter_view.h"
#include "parameters/set_entries.h"
#include "parameters/value_codec.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Programming)

enum Msg {
  kMsgEnterPassword = 19,
  kMsgOverwriteQuestion = 21,
  kMsgUpdateCaption = 27,
  kMsgRestoreQuestion = 35,
  kMsgSaveQuestion = 38,
  kMsgRestoreCaption = 39,
  kMsgSaveCaption = 45,
  kMsgDenied = 59,
  kMsgUserLevelQuestion = 79,
};

// A text of the table on one line: its line breaks become blanks.
QString OneLine(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

// The set of a file and the flags where the window has its parameter pages: the entries are the
// file's values, held to what the pages would have let the engineer enter.
class FileSetView : public ParameterView {
 public:
  FileSetView(RegisterImage& edit, const Codec& codec, const Texts& texts, Prompts& prompts)
      : edit_(edit), codec_(codec), texts_(texts), prompts_(prompts) {}

  void FillControls() override {}
  void ClearControls() override {}
  void ClearPassword() override {
    newPassword_.clear();
    StorePassword();
  }
  bool EntriesComplete(const BlockDescriptor& block) override {
    const std::optional<EntryProblem> problem = FirstEntryProblem(block, codec_, texts_);
    if (!problem) return true;
    const ParameterDescriptor& row = ParameterRow(problem->row);
    const QString name = ParameterNames(texts_)[static_cast<size_t>(problem->row - 1)];
    prompts_.ShowError(Tr("%1, %2: %3").arg(PageCaptionOf(texts_, row), name, OneLine(problem->message)));
    return false;
  }
  bool PasswordChangeWanted() const override { return wanted_; }
  QString NewPasswordEntry() const override { return newPassword_; }
  void ShowPasswordEntry() override {}

  // A new admin password, held to the password field's rules; empty when taken.
  QString TakeNewPassword(const QString& typed) {
    if (const QString problem = NewPasswordProblem(typed, texts_); !problem.isEmpty()) return OneLine(problem);
    wanted_ = true;
    newPassword_ = TrimEntry(typed);
    return {};
  }

  // The password block as the field leaves it: the text, and the block's CRC over it. Again
  // after every read of the set, which brings the device's own.
  void StorePassword() {
    const ParameterDescriptor& row = PasswordRow();
    WriteText(edit_, RegisterOf(row), row.detail / 2, newPassword_.isEmpty() ? QStringLiteral(" ") : newPassword_);
    const BlockDescriptor& block = Block(BlockId::Password);
    edit_[static_cast<size_t>(block.CrcRegister())] = ImageCrc(edit_, block.start, block.count - 1);
  }

  static const ParameterDescriptor& PasswordRow() { return *FindParameter("txt_password"); }

  RegisterImage& edit_;
  const Codec& codec_;
  const Texts& texts_;
  Prompts& prompts_;
  bool wanted_ = false;
  QString newPassword_;
};

// A block of a file's set that a session may write: the factory blocks are the device's own, and
// give the limits the others are held to.
bool IsWritable(const BlockDescriptor& b) { return IsStoredBlock(b) && b.access < 2; }

// The name of a block in a result line: the headings of the page sections that show it.
QString BlockName(const Texts& texts, const BlockDescriptor& block) {
  QStringList sections;
  for (const ParameterDescriptor& row : ParameterTable) {
    if (row.blockId != block.id) continue;
    const QString section = SectionCaptionOf(texts, row);
    if (!section.isEmpty() && !sections.contains(section)) sections << section;
  }
  return QLatin1Char('[') + sections.join(QLatin1Char('/')) + QLatin1Char(']');
}

// What one writing command is: the session's first step with its caption and question, and
// whether it writes parameter blocks (the level decides which) and reads a file.
struct WriteCommand {
  int firstState;
  int caption;
  int question;
  bool writesBlocks;
};
constexpr WriteCommand kProgram{prog_state::Write, kMsgUpdateCaption, kMsgOverwriteQuestion, true};
constexpr WriteCommand kRestore{prog_state::Restore, kMsgRestoreCaption, kMsgRestoreQuestion, false};
constexpr WriteCommand kSaveDefault{prog_state::WriteDefault, kMsgSaveCaption, kMsgSaveQuestion, true};

// One writing command on one device: the device as the window builds it, the session over it,
// the backup and history, and the file's set where the window has its pages.
class DeviceWrite {
 public:
  DeviceWrite(Context& c, const WriteCommand& command)
      : c_(c),
        command_(command),
        d_(c.setup, c.workDirectory),
        codec_(LocaleDecimalSeparator(), *d_.images),
        view_(d_.images->EditImage, codec_, d_.texts, d_.prompts),
        changes_(ChangeRecord::Services{d_.blocks, d_.prompts, d_.texts, codec_, c.workDirectory,
                                        LocaleEventFormats(LocaleDecimalSeparator()).list, &QDateTime::currentDateTime,
                                        &d_.images->DeviceImage}),
        session_(ProgrammingSession::Services{
            d_.settings, d_.blocks, *d_.images, d_.texts, nullptr, d_.prompts, d_.master,
            d_.pause, view_, [this] { return RereadSet(); }, [this](const QString& text) { ShowInfo(text); },
            [this] { DriveDialog(); }, {}, &changes_, &Interrupted}) {
    d_.prompts.SetAnswers({c.options.yes, InputIsTerminal()});
    d_.prompts.told = [this](const QString& text) { c_.out.Note(OneLine(text)); };
  }

  int Run();

 private:
  // --- Before anything is sent ---
  Failure CheckLine() const;
  Failure ReadSecrets();
  Failure ReadFile();
  // --- On the device, before anything is written ---
  Failure LogIn();
  Failure LoadFileSet();
  Failure CheckEntries();
  Failure CheckLevel();
  Failure Ask(int question);
  Failure EnterProgramming();
  // --- The session and after ---
  void DriveDialog();
  void ShowInfo(const QString& text);
  ReadOutcome RereadSet();
  void LeaveProgramming();
  void JudgeWrittenSet();
  void EndLogin();
  int Report(const Failure& refusal);
  int Report();
  QString Outcome() const;
  QString SessionOutcome() const;
  QString Aftermath() const;
  ExitCode CodeOfEnd() const;
  QStringList UnwrittenBlocks() const;
  QString SerialNumber() const { return reached_ ? SerialNumberIn(d_.images->DeviceImage) : QString(); }

  Context& c_;
  const WriteCommand& command_;
  Device d_;
  Codec codec_;
  FileSetView view_;
  ChangeRecord changes_;
  ProgrammingSession session_;
  std::unique_ptr<RegisterImage> fileSet_ = std::make_unique<RegisterImage>();
  QString checksum_;
  QString password_;
  QString shownInfo_;
  bool reached_ = false;
  bool loggedIn_ = false;
  int level_ = -1;
  // What was read after the session, not assumed: the mode, the level, the set in force.
  std::unique_ptr<RegisterImage> backup_;  // the set the unit ran before programming mode
  ModeRead modeAfter_ = ModeRead::Out;
  LevelRead levelAfter_ = LevelRead::User;
  std::optional<SetJudgement> judgement_;
};

Failure DeviceWrite::CheckLine() const {
  if (!d_.settings.usb)
    return {ExitCode::Usage, Tr("programming needs the device's USB interface (--interface usb): over RS-485 the "
                                "device is only read")};
  if (!c_.options.yes && !InputIsTerminal())
    return {ExitCode::Usage, Tr("without a terminal the questions cannot be asked: give --yes to answer them OK")};
  return {};
}

Failure DeviceWrite::ReadSecrets() {
  const Options& o = c_.options;
  if (!o.newPasswordFile.isEmpty()) {
    const Secret secret = ReadSecret(o.newPasswordFile);
    if (!secret.error.isEmpty()) return {ExitCode::Usage, secret.error};
    if (const QString problem = view_.TakeNewPassword(secret.text); !problem.isEmpty())
      return {ExitCode::Refused, Tr("the new admin password is refused: %1").arg(problem)};
  }
  if (!o.admin) return {};
  if (!o.passwordFile.isEmpty()) {
    const Secret secret = ReadSecret(o.passwordFile);
    if (!secret.error.isEmpty()) return {ExitCode::Usage, secret.error};
    password_ = secret.text;
    return {};
  }
  if (!InputIsTerminal()) return {ExitCode::Usage, Tr("--admin without a terminal needs --password-file FILE")};
  password_ = ReadHiddenLine(OneLine(d_.texts.GetMessageText(kMsgEnterPassword)) + QStringLiteral(" "));
  return {};
}

Failure DeviceWrite::ReadFile() {
  if (c_.options.file.isEmpty()) return {};
  if (Failure f = ReadConfigurationFile(c_.options.file, d_, *fileSet_, &checksum_); f.Failed()) return f;
  const std::optional<qint64> expected = c_.options.expectChecksum;
  if (expected && checksum_.toLongLong() != *expected)
    return {ExitCode::Refused, Tr("%1 carries checksum %2, not the released %3: nothing was sent")
                                   .arg(c_.options.file, checksum_)
                                   .arg(*expected)};
  changes_.SetReleasedFile(c_.options.file, checksum_);
  return {};
}

Failure DeviceWrite::LogIn() {
  if (!c_.options.admin) return {};
  if (!kvn::LogIn(d_.master, d_.blocks, *d_.images, d_.settings, password_))
    return {ExitCode::NoDevice, Tr("the device did not answer the login")};
  loggedIn_ = true;
  if (DeviceAccessLevel(d_.settings, *d_.images) < 1) return {ExitCode::Refused, OneLine(d_.texts.GetMessageText(kMsgDenied))};
  return {};
}

// The window's set after "Read device settings" and a file loaded over it: the device's factory
// blocks give the limits the file's values are held to.
Failure DeviceWrite::LoadFileSet() {
  if (!command_.writesBlocks) return {};
  if (Failure f = ReadSet(d_, c_.out); f.Failed()) return f;
  if (view_.PasswordChangeWanted()) view_.StorePassword();
  if (c_.options.file.isEmpty()) return {};
  RegisterImage& edit = d_.images->EditImage;
  for (const BlockDescriptor& b : BlockTable)
    if (IsWritable(b)) std::copy(fileSet_->begin() + b.start, fileSet_->begin() + b.start + b.count, edit.begin() + b.start);
  return {};
}

// Every value of the set, whatever the level will let through: a released file is sound as a
// whole, and is found not to be before the device is written anything, the login included.
Failure DeviceWrite::CheckEntries() {
  if (!command_.writesBlocks) return {};
  for (const BlockDescriptor& b : BlockTable)
    if (IsWritable(b) && !view_.EntriesComplete(b)) return {ExitCode::Refused, d_.prompts.LastText()};
  return {};
}

Failure DeviceWrite::CheckLevel() {
  level_ = DeviceAccessLevel(d_.settings, *d_.images);
  if (!command_.writesBlocks) return {};
  if (level_ < 1) {
    if (!c_.options.userLevelOk)
      return {ExitCode::Refused, Tr("the device is at user level: only %1 would be written, not %2. Log in as admin "
                                    "(--admin, --password-file), or accept a partial set with --user-level-ok")
                                     .arg(BlockName(d_.texts, Block(BlockId::UserConfig)), UnwrittenBlocks().join(QStringLiteral(", ")))};
    if (Failure f = Ask(kMsgUserLevelQuestion); f.Failed()) return f;
  }
  if (view_.PasswordChangeWanted() && level_ < 1)
    return {ExitCode::Refused, Tr("a new admin password needs an admin login")};
  if (!session_.EntriesComplete()) return {ExitCode::Refused, d_.prompts.LastText()};
  return {};
}

Failure DeviceWrite::Ask(int question) {
  const bool yes = d_.prompts.ConfirmOkCancel(d_.texts.GetMessageText(question));
  if (Interrupted()) return Stopped();
  if (yes) return {};
  return {ExitCode::Refused, Tr("declined: %1").arg(OneLine(d_.texts.GetMessageText(question)))};
}

// The window's "Enter programming mode" without its question, from the same core: the backup
// first, then the command, then the mode read back.
Failure DeviceWrite::EnterProgramming() {
  switch (session_.EnterProgramming()) {
    case ProgrammingSession::Entry::Entered: break;
    case ProgrammingSession::Entry::NoBackup:
      return {ExitCode::Refused, Tr("no backup of the device's settings could be taken (%1): nothing was written")
                                     .arg(OneLine(changes_.LastBackup().error))};
    case ProgrammingSession::Entry::NotEntered:
      return {ExitCode::OldSet, Tr("the device did not enter programming mode: nothing was written")};
  }
  if (const RegisterImage* held = changes_.HeldSet()) backup_ = std::make_unique<RegisterImage>(*held);
  return {};
}

// The session dialog without a window: its first question was asked before programming mode;
// each later one (commit) is asked as the dialog asks it. An interrupt stops at the next step
// that leaves nothing half-done.
void DeviceWrite::DriveDialog() {
  session_.Confirm();
  while (session_.InProgress()) {
    const bool yes = !Interrupted() && d_.prompts.ConfirmOkCancel(session_.Info());
    if (Interrupted() || !yes) {
      c_.out.Note(Tr("Not committed: the written settings are dropped when programming mode is left."));
      return;
    }
    session_.Confirm();
  }
}

// The dialog's texts as notes, each once: a question the terminal is about to be asked is said
// there, and a step's text shown again while it goes on is not repeated.
void DeviceWrite::ShowInfo(const QString& text) {
  if (session_.InProgress() && d_.prompts.AsksTerminal()) return;
  if (text == shownInfo_) return;
  shownInfo_ = text;
  c_.out.Note(OneLine(text));
}

// The restore's re-read runs to its end under an interrupt: the unit is still to be taken out
// of programming mode.
ReadOutcome DeviceWrite::RereadSet() {
  return ReadSet(d_, c_.out, OnInterrupt::GoOn).Failed() ? ReadOutcome::Failed : ReadOutcome::Adopted;
}

// A confirmed commit has taken the device out of programming mode; anything else leaves it
// there with what was written and not committed, which leaving drops. Either way the mode is
// read, and the set in force judged on what the unit then answers.
void DeviceWrite::LeaveProgramming() {
  const bool committed = session_.End() == SessionEnd::New && command_.writesBlocks;
  modeAfter_ = committed ? ModeRead::Out : session_.Abort();
  if (command_.writesBlocks) JudgeWrittenSet();
}

// Out of programming mode the unit answers with the set it runs: the written blocks are read
// back and held against what was written and against the backup.
void DeviceWrite::JudgeWrittenSet() {
  const std::vector<BlockDescriptor>& written = session_.Written();
  if (written.empty() || modeAfter_ != ModeRead::Out) return;
  RegisterImage& readBack = d_.images->VerifyImage;
  for (const BlockDescriptor& b : written)
    if (!d_.blocks.ReadBlock(b.id, false, ImageSelector::Verify)) {
      judgement_ = SetJudgement{};
      return;
    }
  const NumberFormat format(LocaleDecimalSeparator());
  judgement_ = JudgeSetInForce(readBack, d_.images->EditImage, backup_.get(), written, d_.texts, format);
}

// The login ends whatever happened, and the level is read: a unit left at admin level is said.
void DeviceWrite::EndLogin() {
  if (!loggedIn_) return;
  levelAfter_ = EndAdminLogin(d_.master, d_.blocks, *d_.images, d_.settings);
  loggedIn_ = false;
}

ExitCode DeviceWrite::CodeOfEnd() const {
  if (modeAfter_ != ModeRead::Out) return ExitCode::SetUnknown;
  ExitCode code = ExitCode::SetUnknown;
  switch (session_.End()) {
    case SessionEnd::New: code = ExitCode::Done; break;
    case SessionEnd::Refused: code = ExitCode::Refused; break;
    case SessionEnd::Old: code = ExitCode::OldSet; break;
    case SessionEnd::Open:
    case SessionEnd::Unknown: break;
  }
  if (judgement_) {
    switch (judgement_->verdict) {
      // The written set is in force. Where it was the previous one too, the session's own word
      // stands, but for "not known": the set in force has now been read.
      case SetVerdict::New:
        if (!judgement_->alsoPrevious) code = ExitCode::Done;
        else if (code == ExitCode::SetUnknown) code = ExitCode::OldSet;
        break;
      case SetVerdict::Previous: code = code == ExitCode::Refused ? code : ExitCode::OldSet; break;
      case SetVerdict::NotKnown: code = ExitCode::SetUnknown; break;
    }
  }
  if (Interrupted() && code != ExitCode::SetUnknown) return ExitCode::Interrupted;
  return code;
}

// The stored blocks a file holds that the level does not let through.
QStringList DeviceWrite::UnwrittenBlocks() const {
  QStringList names;
  for (const BlockDescriptor& b : BlockTable)
    if (IsWritable(b) && b.access > std::max(level_, 0)) names << BlockName(d_.texts, b);
  return names;
}

// An outcome but success, worded by what its exit status tells of the set in force.
QString FailureOutcome(ExitCode code, const QString& why) {
  switch (code) {
    case ExitCode::Refused: return Tr("refused, nothing written: %1").arg(why);
    case ExitCode::OldSet: return Tr("failed, the previous set is in force: %1").arg(why);
    case ExitCode::SetUnknown: return Tr("the set in force is not known, check the unit: %1").arg(why);
    default: return why;
  }
}

// What was read after the session, where it says more than the session's own text.
QString DeviceWrite::Aftermath() const {
  QStringList told;
  if (modeAfter_ == ModeRead::In) told << Tr("the unit is still in programming mode: run korvane-cli abort");
  if (modeAfter_ == ModeRead::NoAnswer) told << Tr("whether the unit left programming mode is not known: it did not answer");
  if (judgement_ && judgement_->verdict == SetVerdict::NotKnown)
    told << (judgement_->differing.isEmpty()
                 ? Tr("its set could not be read back")
                 : Tr("it holds neither the written nor the previous set in: %1").arg(judgement_->differing.join(QStringLiteral(", "))));
  if (levelAfter_ == LevelRead::Admin) told << Tr("the unit is still at admin level");
  if (levelAfter_ == LevelRead::NoAnswer) told << Tr("whether the admin login ended is not known");
  if (!changes_.RecordError().isEmpty()) told << Tr("not recorded: %1").arg(OneLine(changes_.RecordError()));
  return told.isEmpty() ? QString() : QStringLiteral("; ") + told.join(QStringLiteral("; "));
}

QString DeviceWrite::Outcome() const {
  const ExitCode code = CodeOfEnd();
  QString outcome = SessionOutcome();
  if (code == ExitCode::Interrupted) {
    const bool isNew = judgement_ ? judgement_->verdict == SetVerdict::New && !judgement_->alsoPrevious
                                  : session_.End() == SessionEnd::New;
    outcome = (isNew ? Tr("interrupted, the new set is in force: %1") : Tr("interrupted, the previous set is in force: %1"))
                  .arg(OneLine(session_.Info()));
  } else if (judgement_ && judgement_->verdict == SetVerdict::New && session_.End() != SessionEnd::New && code == ExitCode::Done) {
    outcome = Tr("the device runs the written set, read back after leaving programming mode: %1").arg(OneLine(session_.Info()));
  }
  return outcome + Aftermath();
}

QString DeviceWrite::SessionOutcome() const {
  const QString text = OneLine(session_.Info());
  if (session_.End() == SessionEnd::Old && session_.InProgress())  // left at a question: nothing committed
    return Tr("not committed, the previous set is in force: declined at \"%1\"").arg(text);
  if (session_.End() != SessionEnd::New) return FailureOutcome(CodeOfEnd(), text);
  if (command_.firstState == prog_state::Restore) return Tr("restored: the device runs its default set, read back");
  const QString what = command_.firstState == prog_state::WriteDefault
                           ? Tr("saved as default: the device holds the set, confirmed by reading it back")
                           : Tr("programmed: the device holds the set, confirmed by reading it back");
  const QStringList unwritten = UnwrittenBlocks();
  if (unwritten.isEmpty()) return what;
  return what + Tr("; at user level, not written: %1").arg(unwritten.join(QStringLiteral(", ")));
}

int DeviceWrite::Report(const Failure& refusal) {
  c_.out.Error(refusal.message);
  const QString outcome = FailureOutcome(refusal.code, refusal.message) + Aftermath();
  return c_.out.Result(c_.options.commandName, {d_.settings.com_num, SerialNumber(), outcome, refusal.code});
}

int DeviceWrite::Report() {
  QJsonObject fields;
  if (!checksum_.isEmpty()) fields.insert(QStringLiteral("checksum"), checksum_.toLongLong());
  if (!c_.options.file.isEmpty()) fields.insert(QStringLiteral("file"), c_.options.file);
  if (command_.writesBlocks) fields.insert(QStringLiteral("not_written"), QJsonArray::fromStringList(UnwrittenBlocks()));
  fields.insert(QStringLiteral("recorded"), changes_.RecordError().isEmpty());
  fields.insert(QStringLiteral("programming_mode_left"), modeAfter_ == ModeRead::Out);
  return c_.out.Result(c_.options.commandName, {d_.settings.com_num, SerialNumber(), Outcome(), CodeOfEnd()}, fields);
}

int DeviceWrite::Run() {
  Failure f = CheckLine();
  if (!f.Failed()) f = ReadFile();
  if (!f.Failed()) f = ReadSecrets();
  if (!f.Failed() && Interrupted()) f = Stopped();
  if (f.Failed()) return Report(f);
  // A unit found in programming mode holds another session's writes: never taken for its set.
  f = ReachOutOfProgramming(d_);
  reached_ = !f.Failed() || f.code == ExitCode::WrongDevice;
  if (!f.Failed()) f = LoadFileSet();
  if (!f.Failed()) f = CheckEntries();
  if (!f.Failed()) f = LogIn();
  if (!f.Failed()) f = CheckLevel();
  if (!f.Failed()) f = Ask(command_.question);
  if (!f.Failed() && Interrupted()) f = Stopped();
  if (!f.Failed()) f = EnterProgramming();
  if (f.Failed()) {
    EndLogin();
    return Report(f);
  }
  {
    // From here on an interrupt takes the unit out of programming mode before anything ends.
    const InterruptNote note(Tr("korvane-cli: interrupted: the unit is taken out of programming mode first; this "
                                "takes a few seconds"));
    session_.OpenDialog(command_.firstState, command_.caption, command_.question);
    LeaveProgramming();
    EndLogin();
  }
  return Report();
}

}  // namespace

int RunProgram(Context& c) { return DeviceWrite(c, kProgram).Run(); }
int RunRestoreDefault(Context& c) { return DeviceWrite(c, kRestore).Run(); }
int RunSaveDefault(Context& c) { return DeviceWrite(c, kSaveDefault).Run(); }

}  // namespace kvn::cli

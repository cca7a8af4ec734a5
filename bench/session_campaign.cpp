// Sessions under faults: the whole admin programming session (password block included), the
// save as default and the restore, RUNS times each (default 200), by the whole program
// (offscreen) against the simulator on a pseudo-terminal (USB line, paced at 115200 baud), the
// fixed pauses shortened through the pause seam:
//   session_campaign [RUNS] [SEED] [program|save|restore]
//   session_campaign [RUNS] [SEED] cli [FIRST]
//   session_campaign [RUNS] [SEED] cli-signals [FIRST]
// The second form runs the admin programming session through korvane-cli instead, runs FIRST
// (default 1) to FIRST+RUNS-1 after a clean one (cli_campaign.cpp tells what it counts); the
// third stops each such run at a random moment (a signal, a closed stdout, or SIGKILL and abort).
// Each run goes as the engineer goes: "Enter programming mode" (the button, then a poll), the
// command's own entry (the button or the menu item, which checks the entries, opens the session
// dialog and takes the backup before the first write), the dialog's steps pressed on the real
// dialog, then, on a clean line, "Abort programming" while the window shows programming mode.
// A clean run of each session counts the answers from the entry into programming mode to the
// dialog's end (backup reads included); run r then spoils answer 1 + r mod N: once, in one of
// the answer faults at random, or (every third run) from that answer on, as a line that dies
// (silence, a corrupted byte, or exceptions). After each run the line is clean again and the
// poll timer runs. Every question is answered OK (go on without a backup too). Counted, with
// their targets:
//   commit after a failed write or read-back   a commit (170, 102) reaches the device after
//                                              the write step failed, or although the device
//                                              does not hold what was written            0
//   false success                              "Parameter update complete." (26), "Default
//                                              device setup saved." (48) or "Default setup
//                                              restored" (36) while the device does not hold
//                                              exactly that set                          0
//   mixed set                                  the device runs (or stores as default) a set
//                                              that is neither the old one nor the new   0
//   poll late                                  no good poll within two poll periods of the
//                                              clean line                                0
//   no fault                                   a run whose spoiled answer never came     0
//   clean failure                              a run without a fault (the clean first one
//                                              included) that does not end as a success  0
//   still programming                          the device still in programming mode after
//                                              the run was left                          0
// The exit status is 1 when a target is missed.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "app/application.h"
#include "device_link/pause.h"
#include "devsim/device_model.h"
#include "devsim/pty_device.h"
#include "operations/connection.h"
#include "operations/device_transaction.h"
#include "ui/live_data.h"
#include "operations/programming_session.h"
#include "parameters/parameter_table.h"
#include "campaign_sets.h"
#include "cli_campaign.h"
#include "sim_device.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"
#include "ui/main_menu.h"
#include "ui/param_upd_dialog.h"

namespace {

using namespace kvn;
using devsim::AnswerFault;
using bench::Mixed;
using bench::Set;

constexpr int kMsgUpdateComplete = 26;
constexpr int kMsgRestored = 36;
constexpr int kMsgSaved = 48;
constexpr int kPollPeriodMs = 1000;  // the longer of the poll's two intervals

// The fixed pauses, shortened: the device needs none of them.
struct QuickPause : Pause {
  void Wait(int) override {}
};

// Runs `steps` once the session dialog is up, inside its own modal loop, as a person's
// presses would come.
class WhenShown : public QObject {
 public:
  explicit WhenShown(std::function<void()> steps) : steps_(std::move(steps)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) QTimer::singleShot(0, this, steps_);
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> steps_;
};

enum class Kind { Program, SaveDefault, Restore };
constexpr const char* kKindNames[] = {"admin programming session", "save as default", "restore default"};

struct Counts {
  int runs = 0, faultsOnce = 0, faultsOnward = 0, succeeded = 0;
  int commitAfterFailure = 0, falseSuccess = 0, mixed = 0, pollLate = 0;
  int noFault = 0, cleanFailed = 0, stillProgramming = 0;
  qint64 longestPollMs = 0;
};

// The blocks a session writes (the restore: the blocks the device restores).
std::vector<const BlockDescriptor*> Blocks(Kind kind) {
  std::vector<const BlockDescriptor*> blocks;
  for (const BlockDescriptor& b : BlockTable) {
    if (!b.is_parameter || b.access > 1) continue;
    if (b.id == BlockId::Password && kind == Kind::Restore) continue;
    blocks.push_back(&b);
  }
  return blocks;
}

class SessionCampaign {
 public:
  explicit SessionCampaign(uint32_t seed);
  void Run(Kind kind, int runs);
  bool Report() const;

 private:
  ProgrammingSession& Session() { return *app_->session; }
  Set Image(const RegisterImage& image, Kind kind);
  enum class Held { Answered, Working, Defaults };
  Set Device(Kind kind, Held held);
  bool DeviceProgramming();
  void ClickIfEnabled(const char* button);
  void TriggerIfEnabled(const char* menuItem);
  void EnterProgramming();
  void TypePassword();
  void ChangeEditedSet(int run);
  void ChangeWorkingSet(int run);
  bool RunSession(Kind kind);
  void DialogSteps();
  void LeaveProgramming();
  void SpoilOne(int run, int answers);
  qint64 PollAgain();
  bool CommitSentBetween(size_t from, size_t to);

  QTemporaryDir base_;
  devsim::PtyDevice device_;
  RecordingPrompts prompts_;
  QuickPause pause_;
  std::unique_ptr<Application> app_;
  WhenShown dialogShown_{[this] { DialogSteps(); }};
  std::mt19937 random_;
  std::array<Counts, 3> counts_{};
  bool dialogRan_ = false;
  bool writeStepFailed_ = false;
  bool heldAfterWriteStep_ = false;  // the device answered with exactly the written set
  size_t afterWriteStep_ = 0;
  Kind current_ = Kind::Program;
};

SessionCampaign::SessionCampaign(uint32_t seed) : device_(bench::UsbDevice()), random_(seed) {
  test::PrepareWorkDirectory(base_.path(), QString::fromStdString(device_.SlavePath()));
  app_ = std::make_unique<Application>(prompts_, pause_, Application::Options{base_.path(), QLatin1Char('.')});
  // The engineer answers OK to every question: entering programming mode, reading the
  // restored set over the window's, and going on when the backup could not be taken.
  prompts_.onPrompt = [this](const RecordingPrompts::Call& call) {
    if (call.kind == RecordingPrompts::Kind::Confirm) prompts_.QueueConfirm(true);
  };
  app_->paramUpd->installEventFilter(&dialogShown_);
  app_->Window().show();
  app_->Window().Timer1->stop();
  const std::vector<int32_t> password = bench::PasswordCells(devsim::kDefaultAdminPassword);
  app_->master.WriteWithRetry(1, reg::Password, {password.data(), password.size()});
  app_->live->PollDevice();
  app_->connection->cmd_read_paramClick();
  app_->live->PollDevice();  // as after every run: the window's commands follow the device
  app_->Window().Timer1->stop();
}

Set SessionCampaign::Image(const RegisterImage& image, Kind kind) {
  Set set;
  for (const BlockDescriptor* b : Blocks(kind))
    for (int r = b->start; r < b->start + b->count; ++r) set.push_back(static_cast<uint16_t>(Cell(image, r)));
  return set;
}

Set SessionCampaign::Device(Kind kind, Held held) {
  const auto blocks = Blocks(kind);
  return device_.WithModel([&](devsim::DeviceModel& m) {
    return bench::RegistersOf(held == Held::Defaults ? m.Defaults() : held == Held::Working ? m.Working() : m.Raw(), blocks);
  });
}

bool SessionCampaign::DeviceProgramming() {
  return device_.WithModel([](devsim::DeviceModel& m) { return m.Programming(); });
}

// A disabled button or menu does nothing, as for the engineer.
void SessionCampaign::ClickIfEnabled(const char* button) {
  app_->Window().findChild<QPushButton*>(QLatin1String(button))->click();
}

void SessionCampaign::TriggerIfEnabled(const char* menuItem) {
  const QMenuBar& menu = *app_->Window().men_main;
  if (FindMenuItem(menu, QStringLiteral("men_device"))->isEnabled())
    FindMenuItem(menu, QLatin1String(menuItem))->trigger();
}

// "Enter programming mode", then the polls that show the mode and enable the session's
// commands: a failed poll disables them, and the engineer waits for the next one (three at
// most, then goes on with what the window allows).
void SessionCampaign::EnterProgramming() {
  ClickIfEnabled("cmd_enter_prog");
  auto* program = app_->Window().findChild<QPushButton*>(QStringLiteral("cmd_save_prog"));
  for (int poll = 0; poll < 3 && (poll == 0 || !program->isEnabled()); ++poll) {
    app_->Window().Timer1->stop();
    app_->live->PollDevice();
  }
  app_->Window().Timer1->stop();
}

// The password typed and its block chosen, as an admin session writes it.
void SessionCampaign::TypePassword() {
  auto* field = app_->Window().findChild<QLineEdit*>(QStringLiteral("txt_password"));
  field->setText(QString::fromLatin1(devsim::kDefaultAdminPassword));
  app_->form.TakeEdit(field);
  app_->Window().findChild<QCheckBox*>(QStringLiteral("chk_act_pass"))->setChecked(true);
}

// A parameter of every written block that no range depends on, moved by one step within its
// own limits, so each run writes a set that differs from the device's in every block.
void SessionCampaign::ChangeEditedSet(int run) {
  RegisterImage& edit = app_->images->EditImage;
  for (const ParameterDescriptor* p : bench::FreeParameters())
    edit[static_cast<size_t>(RegisterOf(*p))] = run % 2 ? p->intMin : p->intMin + 1;
  for (const BlockDescriptor* b : Blocks(Kind::Program)) app_->blocks.UpdateBlockCrc(*b);
}

// The device runs a set other than its default, and the window holds a third one that the
// engineer agrees to have overwritten by the reread.
void SessionCampaign::ChangeWorkingSet(int run) {
  const int r = Block(BlockId::UserConfig).start + 16;  // the tag number's first characters
  device_.WithModel([&](devsim::DeviceModel& m) { m.SetWorkingRegister(r, static_cast<uint16_t>(0x4130 + run % 10)); });
  auto* field = app_->Window().findChild<QLineEdit*>(QStringLiteral("txt_vmax_lim_1"));
  field->setText(run % 2 ? QStringLiteral("3250") : QStringLiteral("3260"));
  app_->form.TakeEdit(field);
}

// Before `to`: the command that leaves programming mode at the run's end goes to the same register.
bool SessionCampaign::CommitSentBetween(size_t from, size_t to) {
  const auto requests = device_.Requests();
  for (size_t i = from; i < std::min(to, requests.size()); ++i)
    if (requests[i].function == 16 && requests[i].start == reg::ProgCommand) return true;
  return false;
}

// The command's entry as the window runs it; false when it opened no dialog or the session
// did not end with its success text.
bool SessionCampaign::RunSession(Kind kind) {
  dialogRan_ = false;
  switch (kind) {
    case Kind::Program: ClickIfEnabled("cmd_save_prog"); break;
    case Kind::SaveDefault: TriggerIfEnabled("men_dev_save"); break;
    case Kind::Restore: TriggerIfEnabled("men_dev_restore"); break;
  }
  if (!dialogRan_) return false;
  const int success = kind == Kind::Program ? kMsgUpdateComplete : kind == Kind::SaveDefault ? kMsgSaved : kMsgRestored;
  // A restore's text goes on to say when the window could not take the reread set.
  const ProgrammingSession& s = Session();
  return kind == Kind::Restore ? s.Info().startsWith(app_->texts.GetMessageText(success))
                               : s.Info() == app_->texts.GetMessageText(success);
}

// The dialog's confirm button as the steps run it, pressed once more after the write step
// whatever it reported (a session that failed must not commit then), then the dialog closed.
void SessionCampaign::DialogSteps() {
  Tparam_upd& dialog = *app_->paramUpd;
  if (!dialog.isVisible()) return;
  dialogRan_ = true;
  dialog.cmd_confirmClick();
  writeStepFailed_ = current_ != Kind::Restore && Session().Step() == prog_state::Ended;
  heldAfterWriteStep_ = Device(current_, Held::Answered) == Image(app_->images->EditImage, current_);
  afterWriteStep_ = device_.Requests().size();
  if (current_ != Kind::Restore) dialog.cmd_confirmClick();
  dialog.cmd_okClick();
}

// On the clean line: "Abort programming" while the window shows programming mode, and the
// poll that shows the device out of it.
void SessionCampaign::LeaveProgramming() {
  ClickIfEnabled("cmd_abort_prog");
  app_->Window().Timer1->stop();
  app_->live->PollDevice();
  app_->Window().Timer1->stop();
}

void SessionCampaign::SpoilOne(int run, int answers) {
  Counts& c = counts_[static_cast<size_t>(current_)];
  if (bench::Spoil(device_.faults(), run, answers, random_)) ++c.faultsOnward;
  else ++c.faultsOnce;
}

// The line is clean from now on and the poll timer runs: milliseconds to the first good poll,
// or -1 when none came within two poll periods.
qint64 SessionCampaign::PollAgain() {
  device_.faults().Clear();
  QTimer& timer = *app_->Window().Timer1;
  bool good = false;
  // Connected after the program's poll slot, so it sees the poll's outcome.
  const auto seen = QObject::connect(&timer, &QTimer::timeout, [&] { good = good || app_->poll.LinkOk; });
  if (!timer.isActive()) timer.start();
  QElapsedTimer clean;
  clean.start();
  while (!good && clean.elapsed() < 2 * kPollPeriodMs) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  QObject::disconnect(seen);
  timer.stop();
  return good ? clean.elapsed() : -1;
}

void SessionCampaign::Run(Kind kind, int runs) {
  current_ = kind;
  Counts& c = counts_[static_cast<size_t>(kind)];
  const auto blocks = Blocks(kind);
  int answers = 0;
  for (int run = 0; run <= runs; ++run) {
    prompts_.ClearCalls();
    device_.ClearRequests();
    if (run > 0) SpoilOne(run, answers);  // run 0 is clean: it counts the answers
    EnterProgramming();
    if (kind == Kind::Restore) ChangeWorkingSet(run);
    else ChangeEditedSet(run);
    TypePassword();
    const Set written = Image(app_->images->EditImage, kind);
    const Set oldWorking = Device(kind, Held::Working), oldDefaults = Device(kind, Held::Defaults);
    const bool success = RunSession(kind);
    const bool spoiled = device_.faults().answersSpoiled > 0;
    if (run == 0) answers = static_cast<int>(device_.Requests().size());
    if (getenv("KVN_SESSION_TRACE"))
      std::fprintf(stderr, "%s run %d (%s): %s\n", kKindNames[static_cast<int>(kind)], run,
                   spoiled ? "spoiled" : "clean", dialogRan_ ? qPrintable(Session().Info()) : "no dialog");
    const Set working = Device(kind, Held::Working), defaults = Device(kind, Held::Defaults);
    const qint64 pollMs = PollAgain();
    const size_t beforeLeaving = device_.Requests().size();
    LeaveProgramming();
    if (!spoiled && !success) ++c.cleanFailed;
    if (DeviceProgramming()) ++c.stillProgramming;
    if (run == 0) continue;
    ++c.runs;
    c.succeeded += success;
    c.noFault += !spoiled;
    // A restore has no write step. (Requests count when the device takes them: one that waited
    // behind a late answer shows up after the step that sent it.)
    if (kind != Kind::Restore && dialogRan_ && CommitSentBetween(afterWriteStep_, beforeLeaving) &&
        (writeStepFailed_ || !heldAfterWriteStep_))
      ++c.commitAfterFailure;
    bool holds = false, mixed = false;
    switch (kind) {
      case Kind::Program:
        holds = working == written;
        mixed = Mixed(working, oldWorking, written, blocks);
        break;
      case Kind::SaveDefault:
        holds = working == written && defaults == written;
        mixed = Mixed(working, oldWorking, written, blocks) || Mixed(defaults, oldDefaults, written, blocks);
        break;
      case Kind::Restore:
        // The window shows the restored set when its text says nothing more.
        holds = working == oldDefaults && (Session().Info() != app_->texts.GetMessageText(kMsgRestored) ||
                                           Image(app_->images->EditImage, kind) == working);
        mixed = Mixed(working, oldWorking, oldDefaults, blocks);
        break;
    }
    if (success && !holds) ++c.falseSuccess;
    if (mixed) ++c.mixed;
    if (pollMs < 0) ++c.pollLate;
    c.longestPollMs = std::max(c.longestPollMs, pollMs);
  }
  std::fprintf(stderr, "%s: %d answers in a clean run\n", kKindNames[static_cast<int>(kind)], answers);
}

bool SessionCampaign::Report() const {
  bool ok = true;
  std::printf("  %-25s %4s %6s %6s %7s %10s %5s %5s %4s %9s %8s %10s %11s\n", "session", "runs", "faults", "onward",
              "success", "commit a.f", "false", "mixed", "late", "poll [ms]", "no fault", "clean fail",
              "programming");
  for (size_t k = 0; k < counts_.size(); ++k) {
    const Counts& c = counts_[k];
    if (c.runs == 0) continue;
    std::printf("  %-25s %4d %6d %6d %7d %10d %5d %5d %4d %9lld %8d %10d %11d\n", kKindNames[k], c.runs,
                c.faultsOnce, c.faultsOnward, c.succeeded, c.commitAfterFailure, c.falseSuccess, c.mixed,
                c.pollLate, static_cast<long long>(c.longestPollMs), c.noFault, c.cleanFailed,
                c.stillProgramming);
    ok = ok && c.commitAfterFailure == 0 && c.falseSuccess == 0 && c.mixed == 0 && c.pollLate == 0 &&
         c.noFault == 0 && c.cleanFailed == 0 && c.stillProgramming == 0;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::atol(argv[2])) : 18;
  const QString only = argc > 3 ? QString::fromLatin1(argv[3]) : QString();  // "program", "save", "restore" or "cli"
  if (only == QLatin1String("cli") || only == QLatin1String("cli-signals")) {
    QCoreApplication qt(argc, argv);
    const int first = argc > 4 ? std::max(1, std::atoi(argv[4])) : 1;
    return only == QLatin1String("cli") ? kvn::bench::RunCliCampaign(first, runs, seed)
                                        : kvn::bench::RunCliSignalCampaign(first, runs, seed);
  }
  QApplication qt(argc, argv);
  SessionCampaign campaign(seed);
  QElapsedTimer t;
  t.start();
  for (Kind kind : {Kind::Program, Kind::SaveDefault, Kind::Restore})
    if (only.isEmpty() || QString::fromLatin1(kKindNames[static_cast<int>(kind)]).contains(only)) campaign.Run(kind, runs);
  std::printf("session_campaign: %d runs of each session in %.0f s, one answer spoiled in each (once, or from it on\n"
              "every third run), fixed pauses shortened, USB line at 115200 baud\n",
              runs, t.elapsed() / 1000.0);
  return campaign.Report() ? 0 : 1;
}

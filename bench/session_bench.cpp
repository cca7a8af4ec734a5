// A full admin programming session (password block included) of the whole program against the
// simulator in its own process, pacing 115200 8N1: write + verify + commit, as the dialog's two
// confirm steps run them. Prints the session time over its floor: the wire time of its
// requests and answers (the written blocks read back once more after the commit, to confirm
// the device holds them) plus the three fixed 1000 ms pauses (target <= 1.05). The records are
// written as in use: each outcome a commit, and a server set (a bare repository by path) that
// the window pushes to on its worker thread while the sessions run.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "device_link/pause.h"
#include "devsim/device_model.h"
#include "operations/connection.h"
#include "ui/live_data.h"
#include "operations/programming_session.h"
#include "records/records.h"
#include "ui/records_push.h"
#include "sim_device.h"
#include "sim_process.h"

namespace {

constexpr int kBaud = 115200;
constexpr double kFixedPausesMs = 3 * 1000.0;

// Wire time of one transaction at 10 bits a character: request, answer and both 3.5-character
// gaps (as the poll benchmark counts them).
double ReadMs(int count) { return (8 + 5 + 2 * count + 7) * 10.0 / kBaud * 1e3; }
double WriteMs(int count) { return (9 + 2 * count + 8 + 7) * 10.0 / kBaud * 1e3; }

// The same for the simulator's side only: on a pseudo-terminal our requests arrive at once,
// only the answers are paced (3.5 characters of silence, then the characters).
double ReadAnswerMs(int count) { return (3.5 + 5 + 2 * count) * 10.0 / kBaud * 1e3; }
double WriteAnswerMs(int) { return (3.5 + 8) * 10.0 / kBaud * 1e3; }

template <typename Read>
double ReadBackMs(Read read) {
  double ms = 0;
  for (int n : {10, 46, 42, 20, 18, 125, 25}) ms += read(n);
  return ms;
}

template <typename Read, typename Write>
double SessionMs(Read read, Write write) {
  double ms = read(26);  // identification before writing
  for (int n : {10, 46, 42, 20, 18, 123, 27}) ms += write(n);
  ms += ReadBackMs(read);                          // verify
  ms += write(1) + read(26);                       // commit and its answer
  return ms + ReadBackMs(read);                    // the commit confirmed
}
double SessionWireMs() { return SessionMs(ReadMs, WriteMs); }
double PacedAnswersMs() { return SessionMs(ReadAnswerMs, WriteAnswerMs); }

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;

  kvn::bench::ProgramOnSimulator program;  // the real fixed pauses: they are part of the floor
  if (!program.app) return 1;
  kvn::Application& app = *program.app;
  kvn::RecordingPrompts& prompts = program.prompts;
  app.Window().Timer1->stop();
  const std::vector<int32_t> password = kvn::bench::PasswordCells(kvn::devsim::kDefaultAdminPassword);
  app.master.WriteWithRetry(1, kvn::reg::Password, {password.data(), password.size()});
  program.ReadDevice();
  const QString server = program.base.filePath(QStringLiteral("server.git"));
  QProcess git;
  git.start(QStringLiteral("git"), {QStringLiteral("init"), QStringLiteral("--bare"), QStringLiteral("-q"), server});
  if (!git.waitForFinished() || git.exitCode() != 0) return 1;
  if (!kvn::Records(app.WorkDir()).SetServer(server).isEmpty()) return 1;

  const double floorMs = SessionWireMs() + kFixedPausesMs;
  const double pacedFloorMs = PacedAnswersMs() + kFixedPausesMs;
  double worst = 0, sum = 0;
  int good = 0;
  kvn::ProgrammingSession& session = *app.session;
  for (int run = 0; run < runs; ++run) {
    prompts.QueueConfirm(true);
    session.AskToEnter();
    app.Window().Timer1->stop();
    app.live->PollDevice();
    auto* field = app.Window().findChild<QLineEdit*>(QStringLiteral("txt_password"));
    field->setText(QString::fromLatin1(kvn::devsim::kDefaultAdminPassword));
    app.form.TakeEdit(field);
    app.Window().findChild<QCheckBox*>(QStringLiteral("chk_act_pass"))->setChecked(true);
    // The checks of "Program device settings", then the dialog's two confirm presses without
    // the dialog: step 0 and step 1.
    if (!session.EntriesComplete()) std::printf("  entries incomplete\n");
    session.StartSteps(kvn::prog_state::Write);
    QElapsedTimer t;
    t.start();
    session.Confirm();
    const bool verified = session.Step() == kvn::prog_state::Commit;
    if (verified) session.Confirm();
    const double ms = t.nsecsElapsed() / 1e6;
    const bool complete = verified && session.Info() == app.texts.GetMessageText(26);
    std::printf("  run %d: %.1f ms, %s\n", run + 1, ms, complete ? "committed" : qPrintable(session.Info()));
    if (!complete) continue;
    ++good;
    sum += ms;
    worst = std::max(worst, ms / floorMs);
  }
  std::printf("session_bench: full admin session with the password block at 115200 8N1, %d runs\n", good);
  std::printf("  floor: wire %.1f ms (%.1f ms of it the confirming read-back) + fixed pauses %.0f ms = %.1f ms\n",
              SessionWireMs(), ReadBackMs(ReadMs), kFixedPausesMs, floorMs);
  if (good > 0) {
    std::printf("  session / floor: mean %.4f, worst %.4f  (target <= 1.05)\n", sum / good / floorMs, worst);
    std::printf("  session / (paced answers %.1f ms + pauses): mean %.4f  (what the pty line itself carries)\n",
                PacedAnswersMs(), sum / good / pacedFloorMs);
  }
  // The pushes that ran meanwhile: what the server holds once the last one is done.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 10000 && (app.recordsPush->Busy() || !app.recordsPush->Note().isEmpty() ||
                                      settle.elapsed() < 2 * kvn::kPushCheckMs))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  git.start(QStringLiteral("git"), {QStringLiteral("--git-dir"), server, QStringLiteral("rev-list"), QStringLiteral("--count"),
                                    QStringLiteral("--all")});
  git.waitForFinished();
  std::printf("  records: the server holds %s commits after the runs (a commit per outcome, pushed meanwhile)\n",
              git.readAllStandardOutput().trimmed().constData());
  if (!prompts.NothingShown()) std::printf("boxes shown:\n%s\n", qPrintable(prompts.Describe()));
  return good == runs ? 0 : 1;
}

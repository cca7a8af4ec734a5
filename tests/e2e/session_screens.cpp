// Pictures of the session dialog as the engineer sees it: the question, the verified state
// and a rejected commit with three groups (the longest text). Run it under a real X display:
//   screenshot.sh out.png 12 build/tests/e2e/kvn_session_screens OUTDIR
// Each step is also saved as OUTDIR/session_N.png; the last one stays on screen.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "device_link/pause.h"
#include "devsim/pty_device.h"
#include "operations/connection.h"
#include "ui/live_data.h"
#include "operations/programming_session.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"
#include "ui/param_upd_dialog.h"
#include "ui/theme.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: kvn_session_screens OUTDIR\n");
    return 2;
  }
  kvn::theme::ApplyLightTheme(qt);
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  kvn::devsim::SimOptions options;
  options.model.usb = true;
  kvn::devsim::PtyDevice device(options);
  QTemporaryDir base;
  kvn::test::PrepareWorkDirectory(base.path(), QString::fromStdString(device.SlavePath()));
  kvn::RecordingPrompts prompts;
  kvn::Pause pause;
  kvn::Application app(prompts, pause, {base.path(), QLatin1Char('.')});
  app.Window().resize(1280, 800);
  app.Window().show();
  app.live->PollDevice();
  app.connection->cmd_read_paramClick();
  prompts.QueueConfirm(true);
  app.session->AskToEnter();
  app.live->PollDevice();
  device.faults().rejectGroups = 0x49;
  prompts.QueueConfirm(true);  // user level: only the user block

  kvn::Tparam_upd& dialog = *app.paramUpd;
  int shot = 0;
  auto save = [&] { dialog.grab().save(QStringLiteral("%1/session_%2.png").arg(out).arg(++shot)); };
  auto press = [&](const char* name) { dialog.findChild<QPushButton*>(QLatin1String(name))->click(); };
  QTimer::singleShot(1500, &dialog, [&] {
    save();
    press("cmd_confirm");
    save();
    press("cmd_confirm");
    save();
    QTimer::singleShot(8000, &dialog, [&] { press("cmd_ok"); });
  });
  app.session->AskToProgram();
  app.Window().Timer1->stop();
  return 0;
}

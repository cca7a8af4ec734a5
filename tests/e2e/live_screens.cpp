// Saves pictures of the live window for the README: the program against the simulator,
// offscreen, polled for a while so the plot has a curve. Usage: kvn_live_screens OUTDIR [SECONDS]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "device_link/pause.h"
#include "devsim/pty_device.h"
#include "operations/connection.h"
#include "ui/live_data.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"
#include "ui/theme.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: kvn_live_screens OUTDIR [SECONDS]\n");
    return 2;
  }
  kvn::theme::ApplyLightTheme(qt);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 25;
  QDir().mkpath(out);

  kvn::devsim::SimOptions options;
  options.model.usb = true;
  kvn::devsim::PtyDevice device(options);
  QTemporaryDir base;
  kvn::test::PrepareWorkDirectory(base.path(), QString::fromStdString(device.SlavePath()),
                                  [](kvn::LocSetupRec& s) {
                                    s.diag_max_act[0] = true;
                                    s.diag_min_act[0] = true;
                                  });
  kvn::RecordingPrompts prompts;

  kvn::Pause pause;
  kvn::Application app(prompts, pause, {base.path(), QLatin1Char('.')});
  app.Window().resize(1280, 800);
  app.Window().show();
  app.connection->cmd_read_paramClick();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < seconds * 1000) {
    QApplication::processEvents();
    QThread::msleep(20);
  }
  const struct { int index; const char* file; } shots[] = {
      {0, "device.png"}, {4, "process_data.png"}, {5, "device_status.png"}, {2, "output.png"}};
  for (const auto& s : shots) {
    app.Window().pg_ctrl1->setCurrentIndex(s.index);
    QApplication::processEvents();
    app.Window().grab().save(out + "/" + s.file);
  }
  std::printf("saved to %s\n", qPrintable(out));
  return 0;
}

#pragma once
// The device in its own process, as a real one is outside the program: korvane-sim beside the
// benchmark in the build tree, reached through a link in a temporary folder.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/application.h"
#include "device_link/pause.h"
#include "operations/connection.h"
#include "ui/live_data.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"

namespace kvn::bench {

// Starts the simulator with the given options and "--link folder/sim-port"; returns the
// device path the link stands for, or an empty text when it did not come up.
inline QString StartSimulatorProcess(QProcess& sim, const QString& folder, QStringList options) {
  const QString link = folder + QStringLiteral("/sim-port");
  options << QStringLiteral("--link") << link;
  sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/devsim/korvane-sim"), options);
  for (int i = 0; i < 100 && !QFile::exists(link); ++i) QThread::msleep(50);
  if (!QFile::exists(link)) {
    std::fprintf(stderr, "korvane-sim did not start\n");
    return {};
  }
  return QFileInfo(link).symLinkTarget();
}

// The whole program, offscreen, its work directory in a temporary folder and COM1 linked to
// the simulator in its own process. The pauses are the real ones. `app` is null when the
// simulator did not come up.
struct ProgramOnSimulator {
  explicit ProgramOnSimulator(const QStringList& options = {QStringLiteral("--usb")}) {
    device = StartSimulatorProcess(*sim, base.path(), options);
    if (device.isEmpty()) return;
    test::PrepareWorkDirectory(base.path(), device);
    app = std::make_unique<Application>(prompts, pause, Application::Options{base.path(), QLatin1Char('.')});
    app->Window().show();
  }
  // The device accepted and its settings read, the poll timer stopped: where a measurement
  // of a command starts.
  void ReadDevice() {
    app->Window().Timer1->stop();
    app->live->PollDevice();
    app->connection->cmd_read_paramClick();
    app->Window().Timer1->stop();
  }

  QTemporaryDir base;
  std::unique_ptr<QProcess> sim = std::make_unique<QProcess>();
  QString device;
  RecordingPrompts prompts;
  Pause pause;
  std::unique_ptr<Application> app;  // destroyed first, before its device
};

}  // namespace kvn::bench

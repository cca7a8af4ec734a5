#pragma once
// The device in its own process, as a real one is outside the program: korvane-sim beside the
// benchmark in the build tree, reached through a link in a temporary folder.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <cstdio>

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

}  // namespace kvn::bench

#pragma once
// git itself, the program a plant's engineers read the records with.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kvn::test {

struct GitRun {
  int exit = -1;
  QString out;
  QString err;
};

inline GitRun RunGit(const QString& repository, const QStringList& arguments) {
  QProcess git;
  git.setWorkingDirectory(repository);
  git.start(QStringLiteral("git"), arguments);
  GitRun run;
  if (git.waitForFinished(30000) && git.exitStatus() == QProcess::NormalExit) run.exit = git.exitCode();
  run.out = QString::fromUtf8(git.readAllStandardOutput());
  run.err = QString::fromUtf8(git.readAllStandardError());
  return run;
}

}  // namespace kvn::test

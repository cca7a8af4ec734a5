#pragma once
// korvane-cli as a script meets it: the real program in its own process, its exit status,
// its stdout and its stderr.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>

namespace kvn::test {

struct CliRun {
  int exit = -1;  // -1: did not finish in time (killed)
  QByteArray out;
  QByteArray err;
};

inline CliRun RunCli(const QStringList& arguments, int timeoutMs = 30000) {
  QProcess cli;
  cli.start(QStringLiteral(KVN_CLI_PATH), arguments);
  CliRun run;
  if (!cli.waitForFinished(timeoutMs)) {
    cli.kill();
    cli.waitForFinished();
  } else if (cli.exitStatus() == QProcess::NormalExit) {
    run.exit = cli.exitCode();
  }
  run.out = cli.readAllStandardOutput();
  run.err = cli.readAllStandardError();
  return run;
}

// The --json lines of stdout; a line that is no JSON object leaves an empty object in its place.
inline QList<QJsonObject> JsonLines(const QByteArray& out) {
  QList<QJsonObject> lines;
  for (const QByteArray& line : out.split('\n'))
    if (!line.isEmpty()) lines << QJsonDocument::fromJson(line).object();
  return lines;
}

}  // namespace kvn::test

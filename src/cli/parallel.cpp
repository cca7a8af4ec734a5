#include "cli/parallel.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <memory>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/terminal.h"
#include "platform/platform.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Parallel)

// The arguments without the options named, each with its value where it takes one ("--name
// value" or "--name=value"); every other argument exactly as given, values included.
QStringList Without(const QStringList& arguments, const QStringList& names) {
  QStringList kept;
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    const QString name = a.section(QLatin1Char('='), 0, 0);
    const bool valueFollows = a.startsWith(QLatin1Char('-')) && !a.contains(QLatin1Char('=')) && TakesValue(name);
    if (!names.contains(name)) {
      kept << a;
      if (valueFollows && i + 1 < arguments.size()) kept << arguments[++i];
      continue;
    }
    if (valueFollows) ++i;
  }
  return kept;
}

// What a command other than the writing ones found, as its result line's outcome: the path it
// wrote, the differences it counted or the device it identified.
QString OutcomeOf(const QJsonObject& o) {
  if (o.contains(QStringLiteral("differences"))) {
    const int n = o.value(QStringLiteral("differences")).toInt();
    return n == 0 ? Tr("identical to %1").arg(o.value(QStringLiteral("file")).toString())
                  : Tr("%1 parameters differ from %2").arg(n).arg(o.value(QStringLiteral("file")).toString());
  }
  if (o.contains(QStringLiteral("device_type")))
    return Tr("type %1, firmware %2, tag %3, %4, %5")
        .arg(o.value(QStringLiteral("device_type")).toInt())
        .arg(o.value(QStringLiteral("firmware")).toString(), o.value(QStringLiteral("device_tag")).toString(),
             o.value(QStringLiteral("access_level")).toString(), o.value(QStringLiteral("mode")).toString());
  return o.value(QStringLiteral("file")).toString();
}

QString MeaningOf(int status) {
  for (const ExitCodeRow& row : kExitCodes)
    if (Status(row.code) == status) return QCoreApplication::translate("kvn::cli::ExitCode", row.meaning);
  return {};
}

// How often the wait for the runs looks whether this process was interrupted.
constexpr int kWaitSliceMs = 50;

struct Unit {
  QString port;
  std::unique_ptr<QProcess> process;
};

// One port's run as its result line: the child's own result object, or what its end tells.
Output::UnitResult ResultOf(Unit& unit, Output& out, QJsonObject& fields) {
  Output::UnitResult result{unit.port, {}, {}, ExitCode::SetUnknown};
  const bool ended = unit.process->exitStatus() == QProcess::NormalExit;
  bool resultSeen = false;
  for (const QByteArray& line : unit.process->readAllStandardOutput().split('\n')) {
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    const QString event = o.value(QStringLiteral("event")).toString();
    if (event == QLatin1String("error")) out.Error(QStringLiteral("%1: %2").arg(unit.port, o.value(QStringLiteral("message")).toString()));
    if (event == QLatin1String("difference")) {
      const QStringList row{o.value(QStringLiteral("page")).toString(), o.value(QStringLiteral("parameter")).toString(),
                            o.value(QStringLiteral("device")).toString(), o.value(QStringLiteral("file")).toString()};
      out.Difference(row, unit.port);
    }
    if (event != QLatin1String("result")) continue;
    resultSeen = true;
    fields = o;
    result.serialNumber = o.value(QStringLiteral("serial_number")).toString();
    result.outcome = o.value(QStringLiteral("outcome")).toString();
    if (!o.contains(QStringLiteral("outcome")) && o.value(QStringLiteral("exit")).toInt() <= 1) result.outcome = OutcomeOf(o);
    result.code = static_cast<ExitCode>(o.value(QStringLiteral("exit")).toInt(Status(ExitCode::SetUnknown)));
  }
  for (const char* name : {"event", "command", "exit", "port", "serial_number", "outcome"}) fields.remove(QLatin1String(name));
  if (!resultSeen) {
    // A run that ended without telling its outcome may have stopped anywhere.
    if (ended && unit.process->exitCode() != 0) result.code = static_cast<ExitCode>(unit.process->exitCode());
    result.outcome = Tr("ended without a result (%1)").arg(ended ? MeaningOf(Status(result.code)) : unit.process->errorString());
  }
  if (result.outcome.isEmpty()) result.outcome = MeaningOf(Status(result.code));
  return result;
}

// Every run to its end. An interrupt of this process is passed to each run, which takes its unit
// to a safe end; none is abandoned, so this waits on.
void WaitForAll(std::vector<Unit>& units) {
  bool passedOn = false;
  for (;;) {
    const bool running = std::any_of(units.begin(), units.end(), [](const Unit& u) {
      return u.process->state() != QProcess::NotRunning;
    });
    if (!running) return;
    if (Interrupted() && !passedOn) {
      for (Unit& u : units)
        if (u.process->state() != QProcess::NotRunning) platform::RequestStop(u.process->processId());
      passedOn = true;
    }
    for (Unit& u : units)
      if (u.process->state() != QProcess::NotRunning) u.process->waitForFinished(kWaitSliceMs);
  }
}

}  // namespace

int RunOnEveryPort(const Options& options, const QStringList& arguments, Output& out) {
  if (WritesDevice(options.command) && !options.yes) {
    out.Error(Tr("several ports need --yes: the questions cannot be asked of every device at once"));
    return out.Finish(options.commandName, ExitCode::Usage);
  }
  // One password for every device, asked or read once, handed to each run on its standard input.
  // The records go to their server once, from here, after every child has recorded.
  QStringList common = Without(arguments, {QStringLiteral("--port"), QStringLiteral("--json"), QStringLiteral("--quiet"),
                                           QStringLiteral("--records-timeout")});
  common << QStringLiteral("--records-timeout") << QStringLiteral("0");
  QByteArray input;
  if (options.admin && (options.passwordFile.isEmpty() || options.passwordFile == QLatin1String("-"))) {
    QString password;
    if (options.passwordFile.isEmpty()) {
      if (!InputIsTerminal()) {
        out.Error(Tr("--admin without a terminal needs --password-file FILE"));
        return out.Finish(options.commandName, ExitCode::Usage);
      }
      password = ReadHiddenLine(Tr("Admin password: "));
      if (Interrupted()) return out.Finish(options.commandName, ExitCode::Interrupted);
    } else {
      const Secret secret = ReadSecret(QStringLiteral("-"));
      if (!secret.error.isEmpty()) {
        out.Error(secret.error);
        return out.Finish(options.commandName, ExitCode::Usage);
      }
      password = secret.text;
    }
    common = Without(common, {QStringLiteral("--password-file"), QStringLiteral("--admin")});
    common << QStringLiteral("--password-file") << QStringLiteral("-");
    input = password.toUtf8() + '\n';
  }
  std::vector<Unit> units;
  for (const QString& port : options.ports) {
    Unit unit{port, std::make_unique<QProcess>()};
    unit.process->setProcessChannelMode(QProcess::SeparateChannels);
    unit.process->start(QCoreApplication::applicationFilePath(),
                        QStringList(common) << QStringLiteral("--port") << port << QStringLiteral("--json"));
    unit.process->write(input);
    unit.process->closeWriteChannel();
    units.push_back(std::move(unit));
  }
  WaitForAll(units);
  int highest = 0;
  for (Unit& unit : units) {
    QJsonObject fields;
    const Output::UnitResult result = ResultOf(unit, out, fields);
    highest = std::max(highest, out.Result(options.commandName, result, fields));
  }
  return highest;
}

}  // namespace kvn::cli

#include "cli/parallel.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <memory>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/terminal.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Parallel)

// The arguments without the options named (each with its value, "--name value" or
// "--name=value").
QStringList Without(const QStringList& arguments, const QStringList& names) {
  QStringList kept;
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    const QString name = a.section(QLatin1Char('='), 0, 0);
    if (!names.contains(name)) {
      kept << a;
      continue;
    }
    if (!a.contains(QLatin1Char('='))) ++i;  // its value follows
  }
  return kept;
}

QString MeaningOf(int status) {
  for (const ExitCodeRow& row : kExitCodes)
    if (Status(row.code) == status) return QCoreApplication::translate("kvn::cli::ExitCode", row.meaning);
  return {};
}

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
    if (event != QLatin1String("result")) continue;
    resultSeen = true;
    fields = o;
    result.serialNumber = o.value(QStringLiteral("serial_number")).toString();
    result.outcome = o.value(QStringLiteral("outcome")).toString();
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

}  // namespace

int RunOnEveryPort(const Options& options, const QStringList& arguments, Output& out) {
  if (WritesDevice(options.command) && !options.yes) {
    out.Error(Tr("several ports need --yes: the questions cannot be asked of every device at once"));
    return out.Finish(options.commandName, ExitCode::Usage);
  }
  // One password for every device, asked or read once, handed to each run on its standard input.
  QStringList common = Without(arguments, {QStringLiteral("--port"), QStringLiteral("--json"), QStringLiteral("--quiet")});
  QByteArray input;
  if (options.admin && (options.passwordFile.isEmpty() || options.passwordFile == QLatin1String("-"))) {
    QString password;
    if (options.passwordFile.isEmpty()) {
      if (!InputIsTerminal()) {
        out.Error(Tr("--admin without a terminal needs --password-file FILE"));
        return out.Finish(options.commandName, ExitCode::Usage);
      }
      password = ReadHiddenLine(Tr("Admin password: "));
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
  int highest = 0;
  for (Unit& unit : units) {
    unit.process->waitForFinished(-1);
    QJsonObject fields;
    const Output::UnitResult result = ResultOf(unit, out, fields);
    highest = std::max(highest, out.Result(options.commandName, result, fields));
  }
  return highest;
}

}  // namespace kvn::cli

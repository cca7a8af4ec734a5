#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/records_push.h"
#include "records/records_deadline.h"

namespace {

// Only Qt's critical and fatal messages reach stderr.
void DropNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Only the report needs fonts, hence a GUI application; without a display it draws offscreen.
// Which one is decided before either exists.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const kvn::cli::Options options = kvn::cli::ParseArguments(arguments).options;
  // Qt's notes on the environment (an unset XDG_RUNTIME_DIR, a font fallback) are no answer of
  // the command, and a script would take them for one.
  qInstallMessageHandler(DropNotes);
  const bool drawsReport = options.command == kvn::cli::Command::Report ||
                           (options.command == kvn::cli::Command::Fleet && !options.reportFile.isEmpty());
  if (!drawsReport) return std::make_unique<QCoreApplication>(argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

// korvane-cli: the device's work from a terminal or a script, through the same core as the
// window. No widgets: a console application, with fonts for the report only.
int main(int argc, char** argv) {
  // First of all: a stop request that comes while the program starts is seen, not fatal.
  kvn::cli::CatchInterrupts();
  const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("korvane-cli"));
  const QStringList arguments = QCoreApplication::arguments().mid(1);
  if (const kvn::cli::ParseResult parsed = kvn::cli::ParseArguments(arguments); parsed.error.isEmpty())
    kvn::cli::PushRecordsAtEnd(parsed.options);
  const int status = kvn::cli::Run(arguments);
  if (kvn::SyncLeftRunning()) {
    // A push that would not end is still inside the Git library: everything is said and
    // written, and nothing may be torn down under it.
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}

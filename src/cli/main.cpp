#include <QCoreApplication>

#include "cli/commands.h"

// korvane-cli: the device's work from a terminal or a script, through the same core as the
// window. No widgets and no fonts: a console application.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("korvane-cli"));
  return kvn::cli::Run(QCoreApplication::arguments().mid(1));
}

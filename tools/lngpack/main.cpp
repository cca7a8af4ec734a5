// korvane-lngpack: makes and checks language packs with the program's own reader and checksum.
#include <QApplication>
#include <QTextStream>

#include "lngpack/lngpack.h"

int main(int argc, char** argv) {
  // The built-in texts come from the program's window, which is built but never shown: no
  // display is needed unless one is asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qtApp(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  return kvn::lngpack::Run(QCoreApplication::arguments().mid(1), out, err);
}

// korvane-demo-settings WORKBASE: gives the demo's own work directory a settings file that
// points at the simulator (COM1, USB), unless one is already there. The engineer's own
// settings are never touched: the demo runs with a separate work directory.
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "texts/program_settings.h"
#include "texts/console_prompts.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvane-demo-settings WORKBASE\n");
    return 2;
  }
  const QString work = kvn::WorkDirectory(QString::fromLocal8Bit(argv[1]));
  if (QFile::exists(work + QLatin1Char('/') + QLatin1String(kvn::kSettingsFileName))) return 0;
  kvn::LocSetupRec setup;
  kvn::LoadProgramSettings(work, setup);  // all defaults
  setup.com_num = QStringLiteral("COM1");
  setup.usb = true;
  setup.baud = 5;
  setup.addr = 1;
  kvn::ConsolePrompts prompts;
  return kvn::SaveProgramSettings(work, setup, prompts) ? 0 : 1;
}

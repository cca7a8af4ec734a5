#include "support/work_dir.h"

#include <QDir>
#include <QFile>

#include "support/recording_prompts.h"
#include "texts/program_settings.h"

namespace kvn::test {

void LinkCom1(const QString& base, const QString& portPath) {
  const QString ports = WorkDirectory(base) + QStringLiteral("/ports");
  QDir().mkpath(ports);
  QFile::remove(ports + QStringLiteral("/COM1"));
  QFile::link(portPath, ports + QStringLiteral("/COM1"));
}

void PrepareWorkDirectory(const QString& base, const QString& com1Path,
                          const std::function<void(LocSetupRec&)>& adjust) {
  const QString work = WorkDirectory(base);
  LocSetupRec setup;
  LoadProgramSettings(work, setup);  // the defaults of every field
  setup.com_num = QStringLiteral("COM1");
  setup.usb = true;
  setup.baud = 5;
  setup.addr = 1;
  if (adjust) adjust(setup);
  RecordingPrompts prompts;
  SaveProgramSettings(work, setup, prompts);
  LinkCom1(base, com1Path);
}

}  // namespace kvn::test

#include "e2e/live_app.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "operations/live_data.h"
#include "texts/program_settings.h"

namespace kvn::test {

void LiveApp::SetUp() {
  SimFixture::SetUp();
  LocSetupRec setup;
  setup.com_num = QStringLiteral("COM1");
  setup.usb = true;
  setup.baud = 5;
  setup.addr = 1;
  PrepareSettings(setup);
  ASSERT_TRUE(SaveProgramSettings(WorkDirectory(workBase.path()), setup, prompts));
  LinkCom1To(SlavePath());
}

void LiveApp::TearDown() {
  app.reset();
  SimFixture::TearDown();
}

void LiveApp::PrepareSettings(LocSetupRec&) const {}

void LiveApp::LinkCom1To(const QString& path) {
  const QString ports = WorkDirectory(workBase.path()) + QStringLiteral("/ports");
  QDir().mkpath(ports);
  QFile::remove(ports + QStringLiteral("/COM1"));
  QFile::link(path, ports + QStringLiteral("/COM1"));
}

void LiveApp::StartProgram() {
  app = std::make_unique<Application>(prompts, pause, Application::Options{workBase.path(), QLatin1Char('.')});
  app->Window().Timer1->stop();
  app->Window().show();
}

void LiveApp::Poll(int times) {
  for (int i = 0; i < times; ++i) app->live->PollDevice();
}

QString LiveApp::Text(const char* name) const {
  auto* label = Control<QLabel>(name);
  return label ? label->text() : QStringLiteral("<no label %1>").arg(QLatin1String(name));
}

bool LiveApp::Enabled(const char* name) const {
  if (QWidget* w = Control(name)) return w->isEnabled();
  if (auto* a = app->Window().findChild<QAction*>(QString::fromLatin1(name))) return a->isEnabled();
  ADD_FAILURE() << "no control " << name;
  return false;
}

}  // namespace kvn::test

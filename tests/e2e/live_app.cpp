#include "e2e/live_app.h"

#include <QAction>
#include <QTimer>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "device_link/block_table.h"
#include "devsim/device_model.h"
#include "ui/live_data.h"
#include "support/work_dir.h"

namespace kvn::test {

void LiveApp::SetUp() {
  SimFixture::SetUp();
  PrepareWorkDirectory(workBase.path(), SlavePath(), [this](LocSetupRec& s) { PrepareSettings(s); });
}

void LiveApp::TearDown() {
  app.reset();
  SimFixture::TearDown();
}

void LiveApp::PrepareSettings(LocSetupRec&) const {}

void LiveApp::LinkCom1To(const QString& path) { LinkCom1(workBase.path(), path); }

void LiveApp::StartProgram() {
  app = std::make_unique<Application>(prompts, ProgramPause(), Application::Options{workBase.path(), decimalSeparator, serialById});
  app->Window().Timer1->stop();
  app->Window().show();
}

void LiveApp::LogInAsAdmin() {
  std::vector<int32_t> password(8, 0x2020);  // padded with blanks
  const std::string pw = devsim::kDefaultAdminPassword;
  for (size_t i = 0; i < pw.size(); ++i)
    password[i / 2] = (i % 2) ? ((password[i / 2] & 0xFF) | (pw[i] << 8)) : ((password[i / 2] & 0xFF00) | pw[i]);
  ASSERT_TRUE(app->master.WriteWithRetry(1, reg::Password, {password.data(), 8}));
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

#pragma once
#include <QLabel>
#include <QTemporaryDir>
#include <memory>

#include "app/application.h"
#include "device_link/pause.h"
#include "support/recording_prompts.h"
#include "support/sim_fixture.h"

namespace kvn::test {

// The whole program, offscreen, against the simulator on a pseudo-terminal that the work
// directory's port map presents as COM1. The poll timer is stopped: tests tick the poll
// themselves so every step is deterministic.
class LiveApp : public SimFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Settings written before the program starts; change them in a test's own SetUp.
  virtual void PrepareSettings(LocSetupRec& setup) const;
  // The pause the program gets; a test may hand it one that watches the waits.
  virtual Pause& ProgramPause() { return pause; }
  void StartProgram();
  void LinkCom1To(const QString& path);

  void Poll(int times = 1);
  // The simulator's admin password sent as the login box sends it: the device at admin level.
  void LogInAsAdmin();
  QString Text(const char* name) const;
  bool Enabled(const char* name) const;
  template <typename T = QWidget>
  T* Control(const char* name) const {
    return app->Window().findChild<T*>(QString::fromLatin1(name));
  }

  QChar decimalSeparator = QLatin1Char('.');  // the locale's, as main() reads it
  QTemporaryDir workBase;
  QString serialById = QString::fromLatin1(kSerialByIdFolder);  // where USB adapters are named
  RecordingPrompts prompts;
  Pause pause;
  std::unique_ptr<Application> app;
};

}  // namespace kvn::test

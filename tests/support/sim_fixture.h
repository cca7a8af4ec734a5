#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <memory>

#include "devsim/pty_device.h"

namespace kvn::test {

// A test with the simulated device on a pseudo-terminal, started afresh for every test. Open
// SlavePath() like any serial port; script the device through sim():
//   sim().SetFault(devsim::Fault::Silent);
//   sim().faults().corruptCrcNext = 3;
//   sim().WithModel([](devsim::DeviceModel& m) { m.ForceSpeed(3400.0f); });
// The default device is reached as over USB (slave address 1, however block 1 is programmed),
// answers at once and runs in real time. Override Options() for another line or address.
// Test programs that use this fixture add kvn_devsim to their LIBS.
class SimFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  virtual devsim::SimOptions Options() const;

  devsim::PtyDevice& sim() { return *device_; }
  QString SlavePath() const { return QString::fromStdString(device_->SlavePath()); }
  // Starts a new device (a different one, on a new pseudo-terminal) with these options.
  void RestartDevice(const devsim::SimOptions& options);

 private:
  std::unique_ptr<devsim::PtyDevice> device_;
};

}  // namespace kvn::test

#include "sim_fixture.h"

namespace kvn::test {

devsim::SimOptions SimFixture::Options() const {
  devsim::SimOptions options;
  options.model.usb = true;
  return options;
}

void SimFixture::SetUp() { device_ = std::make_unique<devsim::PtyDevice>(Options()); }

void SimFixture::TearDown() { device_.reset(); }

void SimFixture::RestartDevice(const devsim::SimOptions& options) {
  device_.reset();
  device_ = std::make_unique<devsim::PtyDevice>(options);
}

}  // namespace kvn::test

// The simulator on a pseudo-terminal with libmodbus as the master: a Modbus implementation
// nobody here wrote reads, writes and gets the device's exceptions over a real tty.
#include <gtest/gtest.h>
#include <modbus/modbus.h>

#include <cerrno>
#include <vector>

#include "support/sim_fixture.h"

namespace kvn::devsim {
namespace {

class SimLibmodbusMaster : public test::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    Connect();
  }
  void TearDown() override {
    Disconnect();
    SimFixture::TearDown();
  }
  void Connect() {
    ctx_ = modbus_new_rtu(SlavePath().toLocal8Bit().constData(), 115200, 'N', 8, 1);
    ASSERT_NE(ctx_, nullptr);
    modbus_set_slave(ctx_, 1);
    modbus_set_response_timeout(ctx_, 1, 0);
    ASSERT_EQ(modbus_connect(ctx_), 0) << modbus_strerror(errno);
  }
  void Disconnect() {
    if (!ctx_) return;
    modbus_close(ctx_);
    modbus_free(ctx_);
    ctx_ = nullptr;
  }
  std::vector<uint16_t> Read(int start, int count) {
    std::vector<uint16_t> v(static_cast<size_t>(count));
    EXPECT_EQ(modbus_read_registers(ctx_, start, count, v.data()), count) << modbus_strerror(errno);
    return v;
  }
  int Write(int start, std::vector<uint16_t> values) {
    return modbus_write_registers(ctx_, start, static_cast<int>(values.size()), values.data());
  }
  // errno of a failing read
  int ReadError(int start, int count) {
    std::vector<uint16_t> v(static_cast<size_t>(count));
    if (modbus_read_registers(ctx_, start, count, v.data()) != -1) return 0;
    return errno;
  }

  modbus_t* ctx_ = nullptr;
};

TEST_F(SimLibmodbusMaster, ReadsTheIdentity) {
  const auto id = Read(0, 2);
  EXPECT_EQ(id[0], 2300);
  EXPECT_EQ(id[1], 120);
  EXPECT_EQ(Read(3024, 1)[0] & 3, 3);
}

TEST_F(SimLibmodbusMaster, WritesAndReadsBack) {
  ASSERT_EQ(Write(108, {51}), 1) << modbus_strerror(errno);
  EXPECT_NE(Read(15, 1)[0] & 0xFF, 0);
  ASSERT_EQ(Write(2044, {1}), 1) << modbus_strerror(errno);
  EXPECT_EQ(Read(2044, 1)[0], 1);
}

TEST_F(SimLibmodbusMaster, ReceivesTheDevicesExceptions) {
  EXPECT_EQ(ReadError(26, 1), EMBXILADD);
  EXPECT_EQ(modbus_write_register(ctx_, 108, 51), -1);  // function 6 is not offered
  EXPECT_EQ(errno, EMBXILFUN);
  EXPECT_EQ(Write(2044, {1}), -1) << "not in programming mode";
  EXPECT_EQ(errno, EMBXSFAIL);
}

TEST_F(SimLibmodbusMaster, ReadsTheEventLog) {
  std::vector<uint16_t> log(10);
  ASSERT_EQ(modbus_read_input_registers(ctx_, 0, 10, log.data()), 10) << modbus_strerror(errno);
  EXPECT_EQ(log[4] & 0xFF, 1) << "power cycle first";
  EXPECT_EQ(log[9] & 0xFF, 255);
}

TEST_F(SimLibmodbusMaster, FullSizeFramesAreRecordedAsSent) {
  sim().ClearRequests();
  Read(5500, 125);
  Read(5625, 25);
  const std::vector<RecordedRequest> expected = {{1, 3, 5500, 125}, {1, 3, 5625, 25}};
  EXPECT_EQ(sim().Requests(), expected);
}

TEST_F(SimLibmodbusMaster, OtherSlaveAddressGetsNoAnswer) {
  modbus_set_slave(ctx_, 9);
  modbus_set_response_timeout(ctx_, 0, 200000);
  EXPECT_EQ(ReadError(0, 1), ETIMEDOUT);
  modbus_set_slave(ctx_, 1);
  EXPECT_EQ(Read(0, 1)[0], 2300);
}

TEST_F(SimLibmodbusMaster, CorruptedCrcIsNoticedByTheMaster) {
  sim().faults().corruptCrcNext = 1;
  EXPECT_EQ(ReadError(0, 1), EMBBADCRC);
  modbus_flush(ctx_);
  EXPECT_EQ(Read(0, 1)[0], 2300);
}

TEST_F(SimLibmodbusMaster, SilentDeviceTimesOut) {
  sim().SetFault(Fault::Silent);
  modbus_set_response_timeout(ctx_, 0, 200000);
  EXPECT_EQ(ReadError(0, 1), ETIMEDOUT);
}

TEST_F(SimLibmodbusMaster, DisconnectEndsTheLine) {
  sim().SetFault(Fault::Disconnect);
  modbus_set_response_timeout(ctx_, 0, 300000);
  EXPECT_NE(ReadError(0, 1), 0);
  EXPECT_TRUE(sim().Disconnected());
  EXPECT_NE(ReadError(0, 1), 0);
}

TEST_F(SimLibmodbusMaster, PacedLineStillDeliversWholeFrames) {
  Disconnect();
  SimOptions options = Options();
  options.pacing = {19200, 11};
  RestartDevice(options);
  Connect();
  const auto block = Read(5500, 125);
  EXPECT_EQ(block[0], sim().Register(5500));
  EXPECT_EQ(Read(0, 1)[0], 2300);
}

}  // namespace
}  // namespace kvn::devsim

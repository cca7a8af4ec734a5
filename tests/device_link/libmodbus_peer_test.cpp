// Our master against a Modbus RTU slave that nobody here wrote: libmodbus, on the other end
// of a pseudo-terminal.
#include <gtest/gtest.h>
#include <modbus.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "support/pty_pair.h"
#include "support/recording_prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

constexpr int kSlave = 17;
constexpr int kRegisters = 300;

// A libmodbus RTU slave serving on the pty's master end in its own thread.
class LibmodbusSlave {
 public:
  explicit LibmodbusSlave(int fd) {
    // The context never opens a path: it serves the pty end it is handed.
    ctx_ = modbus_new_rtu("/dev/null", 115200, 'N', 8, 1);
    modbus_set_slave(ctx_, kSlave);
    modbus_set_socket(ctx_, fd);
    modbus_set_indication_timeout(ctx_, 0, 50000);
    modbus_set_response_timeout(ctx_, 0, 20000);
    map_ = modbus_mapping_new(0, 0, kRegisters, kRegisters);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LibmodbusSlave() {
    stop_ = true;
    thread_.join();
    modbus_mapping_free(map_);
    modbus_set_socket(ctx_, -1);
    modbus_free(ctx_);
  }
  void SetHolding(int r, uint16_t v) {
    std::lock_guard lock(mutex_);
    map_->tab_registers[r] = v;
  }
  void SetInput(int r, uint16_t v) {
    std::lock_guard lock(mutex_);
    map_->tab_input_registers[r] = v;
  }
  uint16_t Holding(int r) {
    std::lock_guard lock(mutex_);
    return map_->tab_registers[r];
  }

 private:
  void Serve() {
    uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
    while (!stop_) {
      const int n = modbus_receive(ctx_, query);
      if (n <= 0) continue;
      std::lock_guard lock(mutex_);
      modbus_reply(ctx_, query, n, map_);
    }
  }

  modbus_t* ctx_ = nullptr;
  modbus_mapping_t* map_ = nullptr;
  std::mutex mutex_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class MasterAgainstLibmodbus : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Link(3, pty.SlavePath());
    setup.com_num = "COM3";
    setup.baud = 5;
    setup.addr = kSlave;
    texts.FillFromDefaults();
    ASSERT_TRUE(link.Open());
  }

  test::PtyPair pty;
  test::PortsFolder folder;
  LibmodbusSlave slave{pty.MasterFd()};
  InterfaceSettings setup;
  Texts texts;
  RecordingPrompts prompts;
  Pause pause;
  PortMap ports{folder.Path()};
  SerialLink link{setup, ports, pause};
  ModbusMaster master{link, texts, prompts};
};

TEST_F(MasterAgainstLibmodbus, ReadsHoldingRegistersSignExtended) {
  slave.SetHolding(10, 2300);
  slave.SetHolding(11, 0xFFFE);
  slave.SetHolding(12, 0x8000);
  int32_t cells[3] = {};
  ASSERT_EQ(master.ReadRegisters(3, kSlave, 10, {cells, 3}), ModbusResult::Ok);
  EXPECT_EQ(cells[0], 2300);
  EXPECT_EQ(cells[1], -2);
  EXPECT_EQ(cells[2], -32768);
}

TEST_F(MasterAgainstLibmodbus, ReadsInputRegisters) {
  for (int i = 0; i < 50; ++i) slave.SetInput(i, static_cast<uint16_t>(1000 + i));
  int32_t cells[50] = {};
  ASSERT_EQ(master.ReadRegisters(4, kSlave, 0, {cells, 50}), ModbusResult::Ok);
  EXPECT_EQ(cells[0], 1000);
  EXPECT_EQ(cells[49], 1049);
}

TEST_F(MasterAgainstLibmodbus, LargestReadAndWrite) {
  std::vector<int32_t> out(123);
  for (int i = 0; i < 123; ++i) out[static_cast<size_t>(i)] = i % 2 ? -1 - i : i * 100;
  ASSERT_TRUE(master.WriteWithRetry(kSlave, 5, {out.data(), 123}));
  EXPECT_EQ(slave.Holding(5), 0);
  EXPECT_EQ(slave.Holding(6), 0xFFFE);
  EXPECT_EQ(slave.Holding(127), 122 * 100);
  std::vector<int32_t> in(125, 7);
  ASSERT_TRUE(master.ReadWithRetry(3, kSlave, 5, true, {in.data(), 125}));
  for (int i = 0; i < 123; ++i) EXPECT_EQ(in[static_cast<size_t>(i)], out[static_cast<size_t>(i)]) << i;
  EXPECT_TRUE(prompts.NothingShown());
}

TEST_F(MasterAgainstLibmodbus, ExceptionAnswerIsNoResponseAndLeavesCellsAlone) {
  // Beyond the slave's map: libmodbus answers with exception 2 (5 bytes), which never
  // reaches the expected length.
  int32_t cells[2] = {5, 6};
  EXPECT_EQ(master.ReadRegisters(3, kSlave, kRegisters - 1, {cells, 2}), ModbusResult::NoResponse);
  EXPECT_EQ(cells[0], 5);
  EXPECT_EQ(cells[1], 6);
}

TEST_F(MasterAgainstLibmodbus, OtherSlaveAddressGetsNoAnswer) {
  int32_t cell = 0;
  EXPECT_FALSE(master.ReadWithRetry(3, kSlave + 1, 0, true, {&cell, 1}));
  EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error,
                                    "No Connection! (Time-Out)-Function aborted."))
      << prompts.Describe().toStdString();
}

}  // namespace
}  // namespace kvn

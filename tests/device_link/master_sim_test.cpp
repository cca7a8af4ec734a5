// The Modbus master and the block transfers against the device simulator over a real
// pseudo-terminal: the timing limits, faults and chunking as the device sees them.
#include <gtest/gtest.h>

#include <time.h>

#include <QElapsedTimer>

#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "devsim/factory_setup.h"
#include "devsim/pty_device.h"
#include "support/master_stack.h"
#include "support/recording_prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

using devsim::Fault;
using devsim::RecordedRequest;

class MasterOnSimulator : public ::testing::Test, protected test::MasterStack<RecordingPrompts> {
 protected:
  explicit MasterOnSimulator(devsim::SimOptions options = UsbDevice()) : device(options) {}

  static devsim::SimOptions UsbDevice() {
    devsim::SimOptions o;
    o.model.usb = true;
    return o;
  }

  void SetUp() override {
    folder.Link(4, QString::fromStdString(device.SlavePath()));
    setup.com_num = "COM4";
    setup.usb = true;
    setup.addr = 1;
    ASSERT_TRUE(link.Open());
  }

  std::vector<RecordedRequest> RequestsOf(int function) {
    std::vector<RecordedRequest> out;
    for (const auto& r : device.Requests())
      if (r.function == function) out.push_back(r);
    return out;
  }

  // Admin level, through the device's own password registers.
  void LogInAsAdmin() {
    std::vector<int32_t> password(8, 0x2020);
    const std::string pw = devsim::kDefaultAdminPassword;
    for (size_t i = 0; i < pw.size(); ++i)
      password[i / 2] = (i % 2) ? ((password[i / 2] & 0xFF) | (pw[i] << 8))
                                : ((password[i / 2] & 0xFF00) | pw[i]);
    ASSERT_TRUE(master.WriteWithRetry(1, 100, {password.data(), 8}));
  }

  // Admin level and programming mode.
  void EnterProgrammingAsAdmin() {
    LogInAsAdmin();
    const int32_t enter = 51;
    ASSERT_TRUE(master.WriteWithRetry(1, 108, {&enter, 1}));
  }

  int Elapsed(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return static_cast<int>(t.elapsed());
  }

  devsim::PtyDevice device;
};

TEST_F(MasterOnSimulator, ReadsIdentification) {
  int32_t id[2] = {};
  ASSERT_EQ(master.ReadRegisters(3, 1, 0, {id, 2}), ModbusResult::Ok);
  EXPECT_EQ(id[0], 2300);
  EXPECT_EQ(id[1], 120);
}

TEST_F(MasterOnSimulator, NegativeStartSendsNothing) {
  int32_t cell = 9;
  EXPECT_EQ(master.ReadRegisters(3, 1, -1, {&cell, 1}), ModbusResult::NoResponse);
  EXPECT_EQ(master.WriteRegisters(1, -5, {&cell, 1}), ModbusResult::NoResponse);
  EXPECT_TRUE(device.Requests().empty());
  EXPECT_EQ(cell, 9);
}

TEST_F(MasterOnSimulator, Block7IsReadAsTwoChunks) {
  ASSERT_TRUE(blocks.ReadBlock(BlockId::Output, true, ImageSelector::Device));
  EXPECT_EQ(RequestsOf(3), (std::vector<RecordedRequest>{{1, 3, 5500, 125}, {1, 3, 5625, 25}}));
  EXPECT_EQ(ImageCrc(images->DeviceImage, 5500, 149), images->DeviceImage[5649] & 0xFFFF)
      << "the device's block CRC arrives intact";
}

TEST_F(MasterOnSimulator, Block7IsWrittenAsTwoChunksWithItsCrcFirst) {
  EnterProgrammingAsAdmin();
  ASSERT_TRUE(blocks.ReadBlock(BlockId::Output, true, ImageSelector::Edit));
  images->EditImage[5556] ^= 1;  // a change, so the CRC must be recomputed before sending
  images->EditImage[5649] = 0;
  device.ClearRequests();
  ASSERT_TRUE(blocks.WriteBlock(Block(BlockId::Output)));
  EXPECT_EQ(RequestsOf(16), (std::vector<RecordedRequest>{{1, 16, 5500, 123}, {1, 16, 5623, 27}}));
  EXPECT_TRUE(blocks.CheckBlockCrc(BlockId::Output));
  EXPECT_EQ(device.Register(5649), images->EditImage[5649] & 0xFFFF);
  EXPECT_EQ(device.Register(5556), images->EditImage[5556] & 0xFFFF);
}

TEST_F(MasterOnSimulator, LargestReadAndWrite) {
  EnterProgrammingAsAdmin();
  std::vector<int32_t> cells(125, 0);
  ASSERT_EQ(master.ReadRegisters(3, 1, 5500, {cells.data(), 125}), ModbusResult::Ok);
  ASSERT_EQ(master.WriteRegisters(1, 5500, {cells.data(), 123}), ModbusResult::Ok);
}

struct FaultCase {
  const char* name;
  std::function<void(devsim::Faults&)> arm;
  ModbusResult single;
  bool retrySucceeds;
  const char* message;  // shown by ReadWithRetry when it fails; empty: none
};

class FaultsOnTheLine : public MasterOnSimulator, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultsOnTheLine, ResultAndRetryOutcome) {
  const FaultCase& c = GetParam();
  c.arm(device.faults());
  int32_t cells[2] = {-7, -7};
  EXPECT_EQ(master.ReadRegisters(3, 1, 0, {cells, 2}), c.single);
  if (c.single != ModbusResult::Ok) {
    EXPECT_EQ(cells[0], -7) << "a failed read leaves the cells";
  }
  EXPECT_EQ(master.ReadWithRetry(3, 1, 0, true, {cells, 2}), c.retrySucceeds);
  if (*c.message)
    EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error, c.message))
        << prompts.Describe().toStdString();
  else
    EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

constexpr const char* kTimeout = "No Connection! (Time-Out)-Function aborted.";
constexpr const char* kCrc = "No Connection! (CRC)-Function aborted.";

INSTANTIATE_TEST_SUITE_P(
    Sim, FaultsOnTheLine,
    ::testing::Values(
        FaultCase{"noise_before_answer", [](auto& f) { f.noiseBytes = 3; }, ModbusResult::Ok, true, ""},
        FaultCase{"first_byte_after_150ms", [](auto& f) { f.firstByteDelayMs = 150; }, ModbusResult::Ok, true, ""},
        // The retry takes the late answer of the first attempt: the same registers, so good data.
        FaultCase{"first_byte_after_350ms", [](auto& f) { f.firstByteDelayMs = 350; }, ModbusResult::NoResponse, true, ""},
        FaultCase{"gaps_of_250ms", [](auto& f) { f.interByteGapMs = 250; }, ModbusResult::NoResponse, false, kTimeout},
        FaultCase{"every_crc_corrupted", [](auto& f) { f.corruptCrc = true; }, ModbusResult::BadCrc, false, kCrc},
        FaultCase{"one_crc_corrupted", [](auto& f) { f.corruptCrcNext = 1; }, ModbusResult::BadCrc, true, ""},
        FaultCase{"silent", [](auto& f) { f.silent = true; }, ModbusResult::NoResponse, false, kTimeout}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MasterOnSimulator, ShowMessageFalseStaysQuiet) {
  device.faults().silent = true;
  int32_t cell = 0;
  EXPECT_FALSE(master.ReadWithRetry(3, 1, 0, false, {&cell, 1}));
  EXPECT_TRUE(prompts.NothingShown());
}

TEST_F(MasterOnSimulator, NoDeviceTakesThreeFirstByteLimits) {
  device.faults().silent = true;
  int32_t cell = 0;
  const int ms = Elapsed([&] { EXPECT_FALSE(master.ReadWithRetry(3, 1, 0, true, {&cell, 1})); });
  // Not a timing assertion on speed: the three attempts must each have waited out the limit.
  EXPECT_GE(ms, 3 * 300);
  EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error, kTimeout));
}

TEST_F(MasterOnSimulator, LateAnswerToAnotherRequestIsNotTakenAsData) {
  // The device answers an event-log read (function 4) only after the master gave up. That
  // answer, with a correct CRC and the length the next request expects, arrives while the
  // master waits for a holding-register read of the same size: it must not become data.
  // (It comes after the drain that follows the failure, so that it meets the next read, and
  // the answer to that read follows it back to back: that one is the data.)
  device.faults().lateDelayMs = 300 + static_cast<int>(ModbusMaster::kLateAnswerHorizonMs) + 150;
  device.faults().late = true;
  int32_t events[2] = {};
  EXPECT_EQ(master.ReadRegisters(4, 1, 0, {events, 2}), ModbusResult::NoResponse);
  device.faults().late = false;
  int32_t cells[2] = {-7, -7};
  EXPECT_EQ(master.ReadRegisters(3, 1, 0, {cells, 2}), ModbusResult::Ok);
  EXPECT_EQ(cells[0], 2300);
  EXPECT_EQ(cells[1], static_cast<int16_t>(device.Register(1)));
}

// A late answer of the same shape (function and length) to a request for other registers
// may come at any time after the time-out. Within the drain horizon it is thrown away before
// the next request goes out; after it, the late answer and the next one arrive back to back
// and only the last frame counts (or, with anything else behind it, the retry gets the real
// answer). It is never taken as data.
class LateAnswer : public MasterOnSimulator, public ::testing::WithParamInterface<int> {};

TEST_P(LateAnswer, IsNotTakenAsTheNextAnswerOfTheSameShape) {
  device.faults().lateDelayMs = static_cast<int>(ModbusMaster::kFirstByteMs) + GetParam();
  device.faults().late = true;
  int32_t identification[2] = {};
  ASSERT_EQ(master.ReadRegisters(3, 1, 0, {identification, 2}), ModbusResult::NoResponse);
  device.faults().late = false;
  int32_t cells[2] = {-7, -7};
  const ModbusResult first = master.ReadRegisters(3, 1, 2, {cells, 2});
  if (GetParam() < static_cast<int>(ModbusMaster::kLateAnswerHorizonMs) - 50) {
    EXPECT_EQ(first, ModbusResult::Ok) << "drained before the request";
  }
  if (first != ModbusResult::Ok) {
    EXPECT_EQ(cells[0], -7);
    EXPECT_TRUE(master.ReadWithRetry(3, 1, 2, false, {cells, 2}));
  }
  EXPECT_EQ(cells[0], static_cast<int16_t>(device.Register(2))) << "registers 2..3, not 0..1";
  EXPECT_EQ(cells[1], static_cast<int16_t>(device.Register(3)));
}

INSTANTIATE_TEST_SUITE_P(MsAfterTimeOut, LateAnswer, ::testing::Values(15, 150, 400, 600, 800));

TEST_F(MasterOnSimulator, RetryAfterABadFrameWaitsForItsTail) {
  // A burst that starts like a frame misaligns the answer; its tail must not misalign the
  // retry. At admin level register 14 puts a byte equal to the slave address into the tail.
  LogInAsAdmin();
  device.faults().addressBurstNext = 24;
  std::vector<int32_t> cells(26, -7);
  EXPECT_EQ(master.ReadRegisters(3, 1, 0, {cells.data(), 26}), ModbusResult::BadCrc);
  EXPECT_EQ(master.ReadRegisters(3, 1, 0, {cells.data(), 26}), ModbusResult::Ok);
  EXPECT_EQ(cells[0], 2300);
}

TEST_F(MasterOnSimulator, DisconnectedDeviceIsNoResponse) {
  device.SetFault(Fault::Disconnect);
  int32_t cell = 0;
  timespec c0{}, c1{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c0);
  EXPECT_EQ(master.ReadRegisters(3, 1, 0, {&cell, 1}), ModbusResult::NoResponse);
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c1);
  EXPECT_FALSE(link.IsOpen()) << "a hung-up line is a lost port at once";
  const double cpuMs = (c1.tv_sec - c0.tv_sec) * 1e3 + (c1.tv_nsec - c0.tv_nsec) * 1e-6;
  // Busy reading a dead descriptor until the 300 ms limit would cost about that much CPU.
  EXPECT_LT(cpuMs, 100.0);
}

// A slow RS-485 line: 4800 baud with 11-bit characters (the pacing stands in for parity,
// which a pseudo-terminal cannot carry).
class SlowLine : public MasterOnSimulator {
 protected:
  SlowLine() : MasterOnSimulator(SlowDevice()) {}
  static devsim::SimOptions SlowDevice() {
    devsim::SimOptions o;
    o.model.usb = false;
    o.pacing = {4800, 11};
    return o;
  }
  void SetUp() override {
    MasterOnSimulator::SetUp();
    setup.usb = false;
    setup.baud = 0;
    setup.parity = 0;
    setup.addr = device.WithModel([](auto& m) { return m.SlaveAddress(); });
    ASSERT_TRUE(link.Open());
  }
};

TEST_F(SlowLine, EveryBlockReadsAt4800) {
  for (const auto& b : BlockTable) {
    EXPECT_TRUE(blocks.ReadBlock(b.id, true, ImageSelector::Device)) << "block " << int(b.id);
  }
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

}  // namespace
}  // namespace kvn

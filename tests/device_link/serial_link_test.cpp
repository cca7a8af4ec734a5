#include <gtest/gtest.h>

#include <QThread>
#include <termios.h>

#include <QSerialPort>

#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "support/pty_pair.h"

namespace kvn {
namespace {

// A link whose COM1 is a fresh pseudo-terminal.
class LinkOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Link(1, pty.SlavePath());
    setup.com_num = "COM1";
    setup.baud = 5;
    setup.addr = 1;
    link.Initialise();
  }
  speed_t LineSpeed() const {
    termios t{};
    EXPECT_EQ(::tcgetattr(pty.MasterFd(), &t), 0);
    return ::cfgetospeed(&t);
  }

  test::PtyPair pty;
  test::PortsFolder folder;
  InterfaceSettings setup;
  Pause pause;
  PortMap ports{folder.Path()};
  SerialLink link{setup, ports, pause};
};

struct LineCase {
  const char* name;
  int baud;
  int parity;
  bool usb;
  speed_t expected;
  bool portOpen;
};

class LineSettings : public LinkOnPty, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineSettings, AppliedAtOpen) {
  const LineCase& c = GetParam();
  setup.baud = c.baud;
  setup.parity = c.parity;
  setup.usb = c.usb;
  EXPECT_EQ(link.Open(), c.portOpen);
  EXPECT_TRUE(link.IsOpen()) << "the handle stays open even when line settings fail";
  if (c.portOpen) {
    EXPECT_EQ(LineSpeed(), c.expected);
  }
}

// A pseudo-terminal cannot carry parity: asking for it leaves the port open but not ready.
INSTANTIATE_TEST_SUITE_P(
    Pty, LineSettings,
    ::testing::Values(LineCase{"usb_overrides_baud_and_parity", 0, 2, true, B115200, true},
                      LineCase{"rs485_19200", 2, 0, false, B19200, true},
                      LineCase{"rs485_4800", 0, 0, false, B4800, true},
                      LineCase{"rs485_parity_on_pty", 2, 2, false, B19200, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkOnPty, NextByteHandsOutBytesInOrderThenMinusOne) {
  ASSERT_TRUE(link.Open());
  EXPECT_EQ(link.NextByte(), -1);
  pty.Send({0x11, 0x22, 0x33});
  std::vector<int> got;
  for (int i = 0; i < 200 && got.size() < 3; ++i) {
    const int b = link.NextByte();
    if (b >= 0) got.push_back(b);
  }
  EXPECT_EQ(got, (std::vector<int>{0x11, 0x22, 0x33}));
  EXPECT_EQ(link.NextByte(), -1);
}

// The master takes a frame's bytes in batches of at most what the frame still lacks: bytes
// behind it must stay queued, or a second answer right behind the first goes unseen.
struct BatchCase {
  const char* name;
  std::vector<int> asks;        // max of each NextBytes call, in order
  std::vector<int> expected;    // bytes each call hands out
  bool restQueued;              // bytes still waiting afterwards
};

class NextBytesBatches : public LinkOnPty, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(NextBytesBatches, TakeNoMoreThanAskedAndKeepTheRest) {
  const BatchCase& c = GetParam();
  ASSERT_TRUE(link.Open());
  const std::vector<uint8_t> sent = {0x01, 0x03, 0x02, 0xAA, 0xBB, 0xC0, 0xC1};
  pty.Send(sent);
  QThread::msleep(20);  // all of them in the driver before the first call
  std::vector<uint8_t> got;
  for (size_t i = 0; i < c.asks.size(); ++i) {
    std::vector<uint8_t> dest(static_cast<size_t>(c.asks[i]), 0);
    const int n = link.NextBytes(dest.data(), c.asks[i], c.asks[i]);
    EXPECT_EQ(n, c.expected[i]) << "call " << i;
    got.insert(got.end(), dest.begin(), dest.begin() + std::max(n, 0));
  }
  const std::vector<uint8_t> prefix(sent.begin(), sent.begin() + static_cast<long>(got.size()));
  EXPECT_EQ(got, prefix) << "bytes in the order they came";
  EXPECT_EQ(link.AwaitInput(0), c.restQueued);
}

INSTANTIATE_TEST_SUITE_P(
    Pty, NextBytesBatches,
    ::testing::Values(BatchCase{"one_frame_then_the_next_waits", {5}, {5}, true},
                      BatchCase{"two_batches_leave_one_byte", {3, 3}, {3, 3}, true},
                      BatchCase{"asking_more_than_came_takes_what_came", {4, 9}, {4, 3}, false},
                      BatchCase{"single_bytes", {1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1, 1}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkOnPty, PurgeEmptiesTheFifoAndTheDriver) {
  ASSERT_TRUE(link.Open());
  pty.Send({0x01, 0x02, 0x03});
  int first = -1;
  for (int i = 0; i < 200 && first < 0; ++i) first = link.NextByte();
  ASSERT_EQ(first, 0x01);
  EXPECT_EQ(link.Purge(), 2) << "the two bytes still in the FIFO";
  EXPECT_EQ(link.NextByte(), -1);
  pty.Send({0x04});
  QThread::msleep(20);
  EXPECT_EQ(link.Purge(), 1) << "a byte still in the driver";
  EXPECT_EQ(link.NextByte(), -1);
}

TEST_F(LinkOnPty, FarEndClosingLosesThePortAtOnce) {
  ASSERT_TRUE(link.Open());
  pty.CloseMaster();
  int reads = 0;
  while (link.IsOpen() && reads < 1000) {
    link.NextByte();
    ++reads;
  }
  EXPECT_FALSE(link.IsOpen());
  EXPECT_LE(reads, 2) << "a hung-up line is lost, not read again and again";
  EXPECT_EQ(link.NextByte(), -1);
}

TEST_F(LinkOnPty, FarEndClosingEndsALongWaitForBytes) {
  ASSERT_TRUE(link.Open());
  pty.CloseMaster();
  uint8_t b = 0;
  // The master waits as long as its time limits allow; a hang-up must end that wait as bytes do.
  EXPECT_EQ(link.NextBytes(&b, 1, 1, 60000), 0);
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(LinkOnPty, WriteReachesTheLineWithoutAnEventLoop) {
  ASSERT_TRUE(link.Open());
  const std::vector<uint8_t> frame = {1, 3, 0, 0, 0, 1, 0x84, 0x0A};
  ASSERT_TRUE(link.Write(frame.data(), static_cast<int>(frame.size())));
  EXPECT_EQ(pty.Receive(), frame);
}

TEST_F(LinkOnPty, WriteFailsWhenTheTransmitQueueStaysFull) {
  ASSERT_TRUE(link.Open());
  std::vector<uint8_t> frame(255, 0x55);
  // Nobody reads the other end: the queue fills and a write finds no room.
  int accepted = 0;
  while (accepted < 400 && link.Write(frame.data(), static_cast<int>(frame.size()))) ++accepted;
  EXPECT_LT(accepted, 400);
}

TEST_F(LinkOnPty, UnmappedPortDoesNotOpen) {
  setup.com_num = "COM9";
  EXPECT_FALSE(link.Open());
  EXPECT_FALSE(link.IsOpen());
  setup.com_num = "";
  EXPECT_FALSE(link.Open());
}

TEST_F(LinkOnPty, PortHeldByAnotherLinkIsAbsent) {
  ASSERT_TRUE(link.Open());
  InterfaceSettings other = setup;
  SerialLink second(other, ports, pause);
  EXPECT_FALSE(second.Open());
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(second.OpenRefusal(), PortState::InUse);
  second.ScanPorts();
  EXPECT_FALSE(second.PortPresent()[0]) << "held open counts as absent";
  EXPECT_EQ(second.PortStates()[0], PortState::InUse);
  link.Close();
  second.ScanPorts();
  EXPECT_TRUE(second.PortPresent()[0]);
}

TEST_F(LinkOnPty, PortHeldUnderAnotherNameIsAbsentToo) {
  // The same device reached through its own path and through a COM link.
  folder.Link(2, pty.SlavePath());
  InterfaceSettings byPath = setup;
  byPath.com_num = "COM2";
  SerialLink holder(byPath, ports, pause);
  ASSERT_TRUE(holder.Open());
  EXPECT_FALSE(link.Open());
  link.ScanPorts();
  EXPECT_FALSE(link.PortPresent()[0]);
  EXPECT_FALSE(link.PortPresent()[1]);
  holder.Close();
  EXPECT_TRUE(link.Open());
}

TEST_F(LinkOnPty, ScanStopsAtCom50) {
  test::PtyPair extra;
  folder.Link(50, extra.SlavePath());
  folder.Link(51, extra.SlavePath());
  int steps = 0, maximum = 0;
  bool ended = false;
  ScanIndicator indicator{[&](int m) { maximum = m; }, [&](int) { ++steps; }, [&] { ended = true; }};
  link.ScanPorts(&indicator);
  EXPECT_EQ(maximum, 50);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(link.PortPresent()[0]);
  EXPECT_TRUE(link.PortPresent()[49]);
  EXPECT_EQ(link.PortPresent().size(), 50u);
  for (const auto& e : ports.Entries()) EXPECT_NE(e.comName, "COM51");
}

TEST(PortMapNames, ComNumbers) {
  EXPECT_EQ(PortMap::ComNumber("COM1"), 1);
  EXPECT_EQ(PortMap::ComNumber("COM50"), 50);
  EXPECT_EQ(PortMap::ComNumber("COM51"), 0);
  EXPECT_EQ(PortMap::ComNumber("COM0"), 0);
  EXPECT_EQ(PortMap::ComNumber("COM07"), 0);
  EXPECT_EQ(PortMap::ComNumber("com3"), 0);
  EXPECT_EQ(PortMap::ComNumber(""), 0);
}

}  // namespace
}  // namespace kvn

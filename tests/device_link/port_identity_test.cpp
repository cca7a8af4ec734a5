// COM numbers that stay with their devices, and a lost port that is reopened only on its own
// device. USB adapters are pseudo-terminals behind links in a by-id folder of the test's own,
// exactly as udev presents real ones; unplugging one removes its link, as udev does.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "support/pty_pair.h"

namespace kvn {
namespace {

// Node and link times come from a clock that ticks every few milliseconds; whatever happens
// "later" in these tests waits one tick so that it really is later, as it is in life.
void NextClockTick() { QThread::msleep(10); }

class Adapters : public ::testing::Test {
 public:
  static constexpr int kCount = 3;

 protected:

  QString ById(int i) const { return byId.filePath(QStringLiteral("usb-Korvane_Adapter_%1-if00-port0").arg(i)); }
  void Plug(int i) { QFile::link(adapter[i].SlavePath(), ById(i)); }
  void Unplug(int i) { QFile::remove(ById(i)); }

  // The entry remembered for adapter i in map, or nullptr.
  static const PortMap::Entry* EntryOf(PortMap& map, const QString& byIdPath) {
    for (const PortMap::Entry& e : map.Entries())
      if (e.target == byIdPath) return &e;
    return nullptr;
  }
  QString NumberOf(PortMap& map, int i) const {
    const PortMap::Entry* e = EntryOf(map, ById(i));
    return e ? e->comName : QString();
  }

  test::PortsFolder folder;
  QTemporaryDir byId;
  test::PtyPair adapter[kCount + 1];  // the last one is plugged in later
  PortMap ports{folder.Path(), byId.path()};
};

class Unplugging : public Adapters, public ::testing::WithParamInterface<int> {};

TEST_P(Unplugging, KeepsEveryNumberAndHandsTheFreeOneToNobody) {
  const int gone = GetParam();
  for (int i = 0; i < kCount; ++i) Plug(i);
  ports.Refresh();
  QStringList before;
  for (int i = 0; i < kCount; ++i) before << NumberOf(ports, i);
  ASSERT_EQ(before.removeDuplicates(), 0);
  ASSERT_FALSE(before.contains(QString()));

  Unplug(gone);
  Plug(kCount);
  ports.Refresh();
  for (int i = 0; i < kCount; ++i) {
    const PortMap::Entry* e = EntryOf(ports, ById(i));
    ASSERT_NE(e, nullptr) << "adapter " << i;
    EXPECT_EQ(e->comName, before[i]) << "adapter " << i;
    EXPECT_EQ(e->present, i != gone) << "adapter " << i;
  }
  const QString newcomer = NumberOf(ports, kCount);
  EXPECT_FALSE(newcomer.isEmpty());
  EXPECT_FALSE(before.contains(newcomer)) << "the unplugged adapter's number is still its own";
  const QString away = ports.Lookup(before[gone]);
  EXPECT_FALSE(away.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(away)) << "the name leads nowhere while its adapter is away";

  Plug(gone);
  ports.Refresh();
  EXPECT_EQ(NumberOf(ports, gone), before[gone]);
  EXPECT_EQ(QFileInfo(ports.Lookup(before[gone])).canonicalFilePath(), adapter[gone].SlavePath());
}

INSTANTIATE_TEST_SUITE_P(Adapter, Unplugging, ::testing::Range(0, Adapters::kCount));

TEST_F(Adapters, RememberedNumbersSurviveARestart) {
  for (int i = 0; i < kCount; ++i) Plug(i);
  ports.Refresh();
  Unplug(0);
  PortMap restarted(folder.Path(), byId.path());
  Plug(kCount);
  restarted.Refresh();
  for (int i = 0; i < kCount; ++i) EXPECT_EQ(NumberOf(restarted, i), NumberOf(ports, i)) << "adapter " << i;
  EXPECT_NE(NumberOf(restarted, kCount), NumberOf(ports, 0));
}

TEST_F(Adapters, AnEngineersLinkTakesTheDeviceAndKeepsItsNumber) {
  folder.Link(1, adapter[0].SlavePath());
  Plug(0);
  Plug(1);
  ports.Refresh();
  EXPECT_TRUE(NumberOf(ports, 0).isEmpty()) << "a linked device gets no second number";
  EXPECT_EQ(ports.Lookup("COM1"), folder.Path() + "/COM1");
  EXPECT_NE(NumberOf(ports, 1), "COM1");
}

// A link whose COM1 was opened on one pseudo-terminal; then the world changes and the lost
// port is to be opened again.
class Reopening : public ::testing::Test {
 public:
  void SetUp() override {
    folder.Link(1, device->SlavePath());
    setup.com_num = "COM1";
    setup.usb = true;
    ASSERT_TRUE(link.Open());
    link.Close();
  }
  // The simulator killed: its terminal closes, its link stays behind.
  void KillDevice() {
    oldPath = device->SlavePath();
    device.reset();
  }
  // Another program's terminal, under the number the device had.
  void ForeignTakesTheNumber() {
    NextClockTick();
    while (spare.size() < 16 && !(device && device->SlavePath() == oldPath)) {
      if (device) spare.push_back(std::move(device));
      device = std::make_unique<test::PtyPair>();
    }
  }
  void RelinkTo(const test::PtyPair& to) {
    NextClockTick();
    folder.Link(1, to.SlavePath());
  }
  bool Reaches(test::PtyPair& pty) {
    const std::vector<uint8_t> frame = {1, 3, 0, 0, 0, 1, 0x84, 0x0A};
    return link.Write(frame.data(), static_cast<int>(frame.size())) && pty.Receive() == frame;
  }

  test::PortsFolder folder;
  std::unique_ptr<test::PtyPair> device = std::make_unique<test::PtyPair>();
  std::vector<std::unique_ptr<test::PtyPair>> spare;
  test::PtyPair other;
  QString oldPath;
  InterfaceSettings setup;
  Pause pause;
  PortMap ports{folder.Path()};
  SerialLink link{setup, ports, pause};
};

struct ReopenCase {
  const char* name;
  std::function<void(Reopening&)> change;
  bool reopens;
};

void PrintTo(const ReopenCase& c, std::ostream* os) { *os << c.name; }

class ReopenAfter : public Reopening, public ::testing::WithParamInterface<ReopenCase> {};

TEST_P(ReopenAfter, OnlyTheSameDeviceOrWhatANewLinkNames) {
  GetParam().change(*this);
  if (!oldPath.isEmpty() && device && device->SlavePath() != oldPath && !GetParam().reopens)
    GTEST_SKIP() << "another process holds " << oldPath.toStdString();
  EXPECT_EQ(link.Reopen(), GetParam().reopens);
  EXPECT_EQ(link.IsOpen(), GetParam().reopens);
  if (GetParam().reopens) {
    test::PtyPair& expected = QFileInfo(folder.Path() + "/COM1").canonicalFilePath() == other.SlavePath() ? other : *device;
    EXPECT_TRUE(Reaches(expected));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pty, ReopenAfter,
    ::testing::Values(
        ReopenCase{"device_still_there", [](Reopening&) {}, true},
        ReopenCase{"link_removed", [](Reopening& t) { QFile::remove(t.folder.Path() + "/COM1"); }, false},
        ReopenCase{"device_gone_link_left", [](Reopening& t) { t.KillDevice(); }, false},
        ReopenCase{"terminal_number_reused_by_another_program",
                   [](Reopening& t) { t.KillDevice(); t.ForeignTakesTheNumber(); }, false},
        ReopenCase{"link_made_again_on_the_reused_number",
                   [](Reopening& t) { t.KillDevice(); t.ForeignTakesTheNumber(); t.RelinkTo(*t.device); }, true},
        ReopenCase{"link_pointed_at_another_device", [](Reopening& t) { t.RelinkTo(t.other); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reopening, NeverOpenedLeavesTheNameToWhateverItLeadsTo) {
  setup.com_num = "COM50";
  EXPECT_FALSE(link.Open());
  folder.Link(50, other.SlavePath());
  EXPECT_TRUE(link.Reopen());
}

}  // namespace
}  // namespace kvn

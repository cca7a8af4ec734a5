// The poll after the simulator's COM link went away: it must not take another port for COM1,
// and it must find the simulator again once the link is back.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "e2e/live_app.h"
#include "support/pty_pair.h"
#include "texts/program_settings.h"

namespace kvn::test {
namespace {

struct AbsenceCase {
  const char* name;
  bool adapterSeenAtStart;  // otherwise plugged in while COM1 has no link
};

void PrintTo(const AbsenceCase& c, std::ostream* os) { *os << c.name; }

// A USB adapter (a pseudo-terminal named like udev names one) beside the simulator: the COM
// name the old numbering would have handed it once COM1's link was gone.
class ComLinkGone : public LiveApp, public ::testing::WithParamInterface<AbsenceCase> {
 protected:
  void SetUp() override {
    LiveApp::SetUp();
    serialById = byId.path();
  }
  void PlugAdapter() { QFile::link(adapter.SlavePath(), byId.filePath("usb-Other_Adapter_0042-if00-port0")); }
  QString AdapterName() {
    app->ports.Refresh();
    for (const PortMap::Entry& e : app->ports.Entries())
      if (QFileInfo(e.path).canonicalFilePath() == adapter.SlavePath()) return e.comName;
    return {};
  }
  QString Com1() const { return WorkDirectory(workBase.path()) + "/ports/COM1"; }

  QTemporaryDir byId;
  PtyPair adapter;
};

TEST_P(ComLinkGone, NoOtherPortIsOpenedAndThePollResumesWhenTheLinkIsBack) {
  if (GetParam().adapterSeenAtStart) PlugAdapter();
  StartProgram();
  Poll();
  ASSERT_TRUE(app->poll.LinkOk);
  const QString adapterName = GetParam().adapterSeenAtStart ? AdapterName() : QString();
  if (GetParam().adapterSeenAtStart) {
    ASSERT_FALSE(adapterName.isEmpty());
  }

  // The simulator stops: its side of the line closes and its link is removed.
  sim().SetFault(devsim::Fault::Disconnect);
  QFile::remove(Com1());
  if (!GetParam().adapterSeenAtStart) PlugAdapter();
  Poll(3);
  EXPECT_FALSE(app->link.IsOpen());
  EXPECT_EQ(Text("lbl_conn_stat"), "Not connected!");
  EXPECT_TRUE(adapter.Receive(100).empty()) << "a request reached the other adapter";
  EXPECT_FALSE(QFileInfo(Com1()).isSymLink()) << "polling handed COM1 to another device";
  if (GetParam().adapterSeenAtStart) {
    EXPECT_EQ(AdapterName(), adapterName) << "the adapter keeps its own number";
  }

  RestartDevice(Options());
  LinkCom1To(SlavePath());
  Poll();
  EXPECT_TRUE(app->poll.LinkOk);
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
  EXPECT_TRUE(adapter.Receive(20).empty());
}

INSTANTIATE_TEST_SUITE_P(Adapter, ComLinkGone,
                         ::testing::Values(AbsenceCase{"seen_at_start", true},
                                           AbsenceCase{"plugged_while_com1_is_gone", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvn::test

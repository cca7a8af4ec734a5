// Connection, identification and the parameter read, on the real window against the simulator.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

#include "device_link/block_table.h"
#include "e2e/live_app.h"
#include "operations/connection.h"
#include "parameters/value_codec.h"
#include "records/records.h"
#include "devsim/factory_setup.h"
#include "support/as_user.h"
#include "support/pty_pair.h"
#include "texts/program_settings.h"
#include "texts/text_record.h"
#include "ui/about_dialog.h"
#include "ui/main_menu.h"

#include <QFileInfo>

namespace kvn::test {
namespace {

using Kind = RecordingPrompts::Kind;

TEST(InterfaceLabel, Rs485AndUsb) {
  InterfaceSettings s;
  s.com_num = "COM3";
  s.baud = 2;
  s.parity = 2;
  s.addr = 12;
  EXPECT_EQ(InterfaceLabelText(s), "COM3; 19200; even");
  s.parity = 1;
  s.baud = 0;
  EXPECT_EQ(InterfaceLabelText(s), "COM3; 4800; odd");
  s.usb = true;
  EXPECT_EQ(InterfaceLabelText(s), "COM3 (USB)");
}

class Connected : public LiveApp {};

TEST_F(Connected, UsbShowsPortAndHidesAddress) {
  StartProgram();
  EXPECT_EQ(Text("lbl_current_if"), "COM1 (USB)");
  EXPECT_FALSE(Control("lbl_loc_modb_addr")->isVisibleTo(&app->Window()));
  Poll();
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
  EXPECT_TRUE(Enabled("cmd_read_param"));
  EXPECT_TRUE(Enabled("cmd_enter_prog"));
  EXPECT_FALSE(Enabled("cmd_save_prog"));
  EXPECT_TRUE(Enabled("cmd_load_log"));
}

// A COM name bound to a serial server's network port: the window reaches the device through it
// as through any port, and its set reads whole.
class OverTheNetwork : public LiveApp {
 protected:
  devsim::SimOptions Options() const override {
    devsim::SimOptions options = LiveApp::Options();
    options.tcpPort = 0;
    return options;
  }
};

TEST_F(OverTheNetwork, AComNameBoundToASerialServerIsReachedAsAnyPort) {
  ASSERT_TRUE(SlavePath().startsWith(QLatin1String("tcp://")));
  StartProgram();
  Poll();
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
  EXPECT_EQ(Text("lbl_serial_num"), "KV2300-0017-0417");
  app->connection->cmd_read_paramClick();
  EXPECT_TRUE(app->setup.setup_loaded) << prompts.Describe().toStdString();
}

class OverRs485 : public LiveApp {
 protected:
  devsim::SimOptions Options() const override {
    devsim::SimOptions o = LiveApp::Options();
    o.model.usb = false;
    return o;
  }
  void PrepareSettings(LocSetupRec& s) const override {
    s.usb = false;
    s.baud = 2;
    s.parity = 0;
    s.addr = 12;
  }
  void SetUp() override {
    LiveApp::SetUp();
    sim().WithModel([](devsim::DeviceModel& m) {
      m.SetWorkingRegister(2040, 12);  // the device's own Modbus address
      return 0;
    });
  }
};

TEST_F(OverRs485, LabelsAndCommands) {
  StartProgram();
  EXPECT_EQ(Text("lbl_current_if"), "COM1; 19200; none");
  EXPECT_EQ(Text("lbl_loc_modb_addr"), "Modbus address: 12");
  Poll();
  ASSERT_EQ(Text("lbl_conn_stat"), "Operating") << prompts.Describe().toStdString();
  EXPECT_EQ(Text("lbl_acc_level"), "-");
  EXPECT_TRUE(Enabled("cmd_read_param"));
  EXPECT_FALSE(Enabled("cmd_enter_prog"));
  EXPECT_FALSE(Enabled("cmd_clr_minmax"));
}

TEST_F(OverRs485, ReadNeverTouchesThePasswordBlock) {
  StartProgram();
  Poll();
  sim().ClearRequests();
  app->connection->cmd_read_paramClick();
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Info, "Parameters read")) << prompts.Describe().toStdString();
  for (const auto& r : sim().Requests()) EXPECT_NE(r.start, 1000) << "password block read";
}

struct IdentityCase {
  const char* name;
  int type, firmware, mode;
  const char* status;  // after two failed polls; empty: accepted
};

class Identification : public LiveApp, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(Identification, StatusAfterTwoPolls) {
  const IdentityCase& c = GetParam();
  sim().faults().deviceType = c.type;
  sim().faults().firmware = c.firmware;
  sim().faults().deviceMode = c.mode;
  StartProgram();
  Poll(2);
  if (*c.status) {
    EXPECT_EQ(Text("lbl_conn_stat"), c.status);
    EXPECT_FALSE(Enabled("cmd_read_param"));
    EXPECT_FALSE(Enabled("cmd_load_log"));
    EXPECT_FALSE(app->poll.LinkOk);
  } else {
    EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
    EXPECT_TRUE(app->poll.LinkOk);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sim, Identification,
    ::testing::Values(IdentityCase{"firmware_115", -1, 115, -1, "Version incompatible"},
                      IdentityCase{"firmware_130", -1, 130, -1, "Version incompatible"},
                      IdentityCase{"firmware_116", -1, 116, -1, ""},
                      IdentityCase{"firmware_129", -1, 129, -1, ""},
                      IdentityCase{"other_type", 2200, -1, -1, "Unknown device"},
                      IdentityCase{"mode_bits_missing", -1, -1, 1, "Device mode mismatch"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Connected, ConfiguredPortTheUserMayNotOpenGivesOneStartupLogLine) {
  if (!RunningAsUser()) {
    PtyPair denied;
    DenyToUser(denied.SlavePath());
    const int status = RerunAsUser({{QStringLiteral("KVN_DENIED_PORT"), denied.SlavePath()}});
    KVN_EXPECT_RERUN_PASSED(status);
    return;
  }
  const QString denied = qEnvironmentVariable("KVN_DENIED_PORT");
  LinkCom1To(denied);
  StartProgram();
  const QString log = ReadTextRecordQuiet(app->WorkDir() + QStringLiteral("/kvn_init.log"), 1 << 16);
  const QString line = QStringLiteral(
      "COM1 (%1): no permission: add yourself to the dialout group and log in again\r\n").arg(denied);
  EXPECT_TRUE(log.endsWith(line)) << log.toStdString();
  EXPECT_EQ(log.count(QStringLiteral("no permission")), 1);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(Connected, FirstFailedPollKeepsTheStatusButDisablesCommands) {
  StartProgram();
  Poll();
  ASSERT_EQ(Text("lbl_conn_stat"), "Operating");
  sim().faults().silent = true;
  Poll();
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
  EXPECT_FALSE(Enabled("cmd_read_param"));
  EXPECT_FALSE(Enabled("cmd_enter_prog"));
  EXPECT_EQ(Text("lbl_serial_num"), "");
  Poll();
  EXPECT_EQ(Text("lbl_conn_stat"), "Not connected!");
}

TEST_F(Connected, ReadAdoptsTheSetClearingBit5OfTheOutputWords) {
  sim().WithModel([](devsim::DeviceModel& m) {
    for (int r = 5500; r < 5505; ++r) m.SetWorkingRegister(r, m.Register(r) | 0x20);
    return 0;
  });
  StartProgram();
  Poll();
  app->connection->cmd_read_paramClick();
  ASSERT_TRUE(prompts.ShowedExactly(Kind::Info, "Parameters read")) << prompts.Describe().toStdString();
  EXPECT_TRUE(app->setup.setup_loaded);
  for (int r = 5500; r < 5505; ++r) EXPECT_EQ(app->images->EditImage[static_cast<size_t>(r)] & 0x20, 0) << r;
  EXPECT_TRUE(app->blocks.CheckBlockCrc(BlockId::Output));
  EXPECT_TRUE(Control("txt_mod_addr")->isEnabled()) << "a loaded set enables the entry fields";
  EXPECT_FALSE(Control<QLineEdit>("txt_teeth")->text().isEmpty());
}

TEST_F(Connected, SameSetAgainAtUserLevelGivesMessage78) {
  StartProgram();
  Poll();
  app->connection->cmd_read_paramClick();
  prompts.ClearCalls();
  app->connection->cmd_read_paramClick();
  EXPECT_TRUE(prompts.ShowedExactly(
      Kind::Info, "Read configuration is same as currently loaded except for admin password."))
      << prompts.Describe().toStdString();
}

TEST_F(Connected, DifferingSetAnsweredCancelKeepsTheForm) {
  StartProgram();
  Poll();
  app->connection->cmd_read_paramClick();
  auto* teeth = Control<QLineEdit>("txt_teeth");
  const QString before = teeth->text();
  sim().WithModel([](devsim::DeviceModel& m) {
    m.SetWorkingRegister(4001, m.Register(4001) + 1);  // number of teeth
    return 0;
  });
  prompts.ClearCalls();
  prompts.QueueConfirm(false);
  app->connection->cmd_read_paramClick();
  EXPECT_EQ(prompts.TextsOf(Kind::Confirm),
            QStringList{"Read configuration differs from current settings. Overwrite current settings?"});
  EXPECT_EQ(teeth->text(), before);
  EXPECT_EQ(Control<QLineEdit>("txt_password")->text(), "");
}

// Every whole set read goes to the unit's records, whether the window takes it or not; the
// same set read again adds nothing.
TEST_F(Connected, ReadsAreRecordedAlsoADeclinedOne) {
  StartProgram();
  Poll();
  app->connection->cmd_read_paramClick();
  app->connection->cmd_read_paramClick();
  sim().WithModel([](devsim::DeviceModel& m) {
    m.SetWorkingRegister(4001, m.Register(4001) + 1);  // number of teeth
    return 0;
  });
  prompts.QueueConfirm(false);
  app->connection->cmd_read_paramClick();
  QString error;
  QStringList summaries;
  for (const RecordEntry& e : Records(app->WorkDir()).Log(QStringLiteral("KV2300-0017-0417"), &error)) summaries << e.summary;
  EXPECT_EQ(summaries, (QStringList{"KV2300-0017-0417: found changed since the last record", "KV2300-0017-0417: first record"}))
      << error.toStdString();
}

TEST_F(Connected, OffLineHidesLivePagesAndStopsPolling) {
  StartProgram();
  app->Window().chk_off_line->setChecked(true);
  EXPECT_EQ(app->setup.offline_mode, 1);
  EXPECT_EQ(Text("lbl_conn_stat"), "Off-Line");
  EXPECT_FALSE(Enabled("cmd_read_param"));
  sim().ClearRequests();
  const int slot = app->plot.samples.WritePosition();
  Poll(2);
  EXPECT_TRUE(sim().Requests().empty()) << "the timer handler does nothing off-line";
  EXPECT_EQ(app->plot.samples.WritePosition(), slot);
}

}  // namespace
}  // namespace kvn::test

namespace kvn::test {
namespace {

// The device grants admin after its password, whatever line it arrives on.
void GrantAdmin(Application& app) {
  std::vector<int32_t> password(8, 0x2020);
  const QByteArray pw = QByteArray(devsim::kDefaultAdminPassword).leftJustified(16, ' ');
  for (int i = 0; i < 8; ++i) password[static_cast<size_t>(i)] = uint8_t(pw[2 * i]) | uint8_t(pw[2 * i + 1]) << 8;
  ASSERT_TRUE(app.master.WriteWithRetry(app.setup.addr, 100, {password.data(), 8}));
}

TEST_F(Connected, UserLevelReadSkipsThePasswordBlock) {
  StartProgram();
  Poll();
  sim().ClearRequests();
  app->connection->cmd_read_paramClick();
  ASSERT_TRUE(app->setup.setup_loaded);
  for (const auto& r : sim().Requests()) EXPECT_NE(r.start, 1000);
}

TEST_F(Connected, AdminReadOverUsbIncludesThePasswordBlock) {
  StartProgram();
  GrantAdmin(*app);
  Poll();
  sim().ClearRequests();
  app->connection->cmd_read_paramClick();
  bool readPassword = false;
  for (const auto& r : sim().Requests()) readPassword |= r.start == 1000;
  EXPECT_TRUE(readPassword);
}

TEST_F(OverRs485, SameSetAtAdminLevelGivesMessage77) {
  StartProgram();
  GrantAdmin(*app);
  Poll();
  app->connection->cmd_read_paramClick();
  prompts.ClearCalls();
  app->connection->cmd_read_paramClick();
  EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Info, "Read configuration is same as currently loaded."))
      << prompts.Describe().toStdString();
}

TEST_F(Connected, SettingsSurviveARestart) {
  StartProgram();
  app->setup.diag_speed_thk = 3;
  app->setup.offline_mode = 1;
  prompts.QueueYesNo(true);
  app->Window().close();
  app.reset();
  StartProgram();
  EXPECT_EQ(app->setup.diag_speed_thk, 3);
  EXPECT_EQ(app->setup.com_num, "COM1");
  EXPECT_TRUE(app->Window().chk_off_line->isChecked()) << "starts off-line as it was left";
  EXPECT_EQ(Text("lbl_conn_stat"), "Off-Line");
}

TEST_F(Connected, AboutBoxTakesTheMainWindowsCurrentCaption) {
  StartProgram();
  app->Window().setWindowTitle(QStringLiteral(" Korvane DE"));
  QString caption;
  QTimer::singleShot(0, app->about.get(), [&] {
    caption = app->about->windowTitle();
    app->about->accept();
  });
  FindMenuItem(*app->Window().men_main, QStringLiteral("men_file_about"))->trigger();
  EXPECT_EQ(caption.toStdString(), " Korvane DE");
}

TEST_F(Connected, QuitAnsweredNoWritesNothing) {
  StartProgram();
  const QString file = WorkDirectory(workBase.path()) + QStringLiteral("/Kvn_Config.cfg");
  const QDateTime before = QFileInfo(file).lastModified();
  app->setup.diag_speed_thk = 3;
  prompts.QueueYesNo(false);
  app->Window().close();
  EXPECT_TRUE(app->Window().isVisible());
  EXPECT_EQ(QFileInfo(file).lastModified(), before);
}

}  // namespace
}  // namespace kvn::test

// Access levels on the real window against the simulator: the admin login, the return to
// user level, and what the window shows of the level the device reports.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QTimer>

#include "device_link/block_table.h"
#include "e2e/live_app.h"
#include "texts/text_record.h"
#include "ui/main_menu.h"

namespace kvn::test {
namespace {

using Kind = RecordingPrompts::Kind;
using devsim::RecordedRequest;

constexpr RecordedRequest kLoginWrite{1, 16, reg::Password, 8};
constexpr RecordedRequest kIdentificationRead{1, 3, 0, 26};

class Access : public LiveApp {
 protected:
  void SetUp() override {
    LiveApp::SetUp();
    StartProgram();
    Poll();
    ASSERT_EQ(Text("lbl_acc_level"), "User") << prompts.Describe().toStdString();
    sim().ClearRequests();
  }
  QAction* Item(const char* name) const {
    return FindMenuItem(*app->Window().men_main, QString::fromLatin1(name));
  }
  // True when the poll timer runs again after the command.
  bool Choose(const char* item) {
    Item(item)->trigger();
    const bool restarted = app->Window().Timer1->isActive();
    app->Window().Timer1->stop();  // the test ticks the poll itself
    return restarted;
  }
  void LogIn(const QString& typed) {
    prompts.QueueInput(typed);
    EXPECT_TRUE(Choose("men_perm_admin"));
  }
  QCheckBox* ActivatePassword() const { return Control<QCheckBox>("chk_act_pass"); }
  // Registers 100..107 as the device received them (they read back as 0 over Modbus).
  std::vector<uint16_t> EntryRegisters() {
    return sim().WithModel([](devsim::DeviceModel& m) {
      return std::vector<uint16_t>(m.Raw().begin() + reg::Password, m.Raw().begin() + reg::Password + 8);
    });
  }
  // Whether the window shows the level: label, check marks, the admin-password row.
  void ExpectShown(bool admin) {
    EXPECT_EQ(Text("lbl_acc_level"), admin ? "Admin" : "User");
    EXPECT_EQ(Item("men_perm_admin")->isChecked(), admin);
    EXPECT_EQ(Item("men_perm_user")->isChecked(), !admin);
    EXPECT_EQ(Enabled("chk_act_pass"), admin);
    EXPECT_EQ(Enabled("lbl_show_pass"), admin);
    EXPECT_TRUE(Enabled("men_perm"));
  }
};

// Two characters per register, the first in the low byte.
std::vector<uint16_t> Packed(const QByteArray& sixteen) {
  std::vector<uint16_t> words;
  for (int i = 0; i < 16; i += 2)
    words.push_back(static_cast<uint16_t>(uint8_t(sixteen[i + 1]) << 8 | uint8_t(sixteen[i])));
  return words;
}

struct LoginCase {
  const char* typed;
  const char* sent;  // the 16 characters the device must receive
  bool granted;
};

TEST_F(Access, LoginSendsSixteenCharactersAndTheDeviceDecides) {
  const LoginCase cases[] = {
      {"", "                ", false},
      {"ab", "ab              ", false},
      {"abcdefghijklmnopqrst", "abcdefghijklmnop", false},
      {"admin", "admin           ", true},
  };
  for (const LoginCase& c : cases) {
    SCOPED_TRACE(c.typed);
    prompts.ClearCalls();
    sim().ClearRequests();
    LogIn(QString::fromLatin1(c.typed));
    EXPECT_EQ(EntryRegisters(), Packed(c.sent));
    EXPECT_EQ(sim().Requests(), (std::vector<RecordedRequest>{kLoginWrite, kIdentificationRead}));
    const RecordingPrompts::Call input{Kind::Input, "Enter password", app->Window().windowTitle(), {}, {}, true};
    ASSERT_EQ(prompts.Calls().size(), 2u) << prompts.Describe().toStdString();
    EXPECT_EQ(prompts.Calls()[0], input);
    EXPECT_EQ(prompts.Calls()[1], (RecordingPrompts::Call{c.granted ? Kind::Info : Kind::Error,
                                                          c.granted ? "Admin access granted." : "Admin access denied."}));
    // A refused login leaves "User" checked although choosing "Admin" ticks that item itself.
    ExpectShown(c.granted);
  }
}

TEST_F(Access, CancelledLoginSendsNothing) {
  prompts.QueueInput(std::nullopt);
  EXPECT_FALSE(Choose("men_perm_admin")) << "nothing sent, the timer untouched";
  EXPECT_TRUE(sim().Requests().empty());
  ExpectShown(false);
}

TEST_F(Access, LoginWithTheDeviceSilentShowsOnlyTheLinkMessage) {
  sim().SetFault(devsim::Fault::Silent);
  LogIn(QStringLiteral("admin"));
  EXPECT_EQ(prompts.TextsOf(Kind::Error), QStringList{"No Connection! (Time-Out)-Function aborted."});
  EXPECT_TRUE(prompts.TextsOf(Kind::Info).isEmpty());
  ExpectShown(false);
}

TEST_F(Access, ActivatingThePasswordEntryNeedsAdminAndAPollDroppingTheLevelUnticksItSilently) {
  LogIn(QStringLiteral("admin"));
  ActivatePassword()->click();
  EXPECT_TRUE(ActivatePassword()->isChecked());
  EXPECT_TRUE(Enabled("txt_password"));
  ActivatePassword()->click();
  EXPECT_FALSE(Enabled("txt_password"));
  ActivatePassword()->click();
  prompts.ClearCalls();
  sim().WithModel([](devsim::DeviceModel& m) { m.PowerCycle(); });  // the device forgets the login
  Poll();
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  EXPECT_FALSE(ActivatePassword()->isChecked());
  EXPECT_FALSE(Enabled("txt_password"));
  ExpectShown(false);
}

TEST_F(Access, UserLevelLogsOutAndShowsUserWhateverTheWriteGave) {
  for (const bool reachable : {true, false}) {
    SCOPED_TRACE(reachable ? "device answers" : "device silent");
    sim().SetFault(devsim::Fault::None);
    LogIn(QStringLiteral("admin"));
    ASSERT_EQ(Text("lbl_acc_level"), "Admin");
    ActivatePassword()->click();
    prompts.ClearCalls();
    sim().ClearRequests();
    if (!reachable) sim().SetFault(devsim::Fault::Silent);
    EXPECT_TRUE(Choose("men_perm_user"));
    ASSERT_FALSE(sim().Requests().empty());
    EXPECT_EQ(sim().Requests().front(), kLoginWrite);
    // A silent device carries nothing out: it still holds the login.
    EXPECT_EQ(EntryRegisters(), reachable ? std::vector<uint16_t>(8, 0xFFFF) : Packed("admin           "));
    if (reachable) {
      EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
      EXPECT_EQ(sim().WithModel([](devsim::DeviceModel& m) { return m.AccessLevel(); }), 0);
    } else {
      EXPECT_EQ(prompts.TextsOf(Kind::Error), QStringList{"No Connection! (Time-Out)-Function aborted."});
    }
    EXPECT_FALSE(ActivatePassword()->isChecked());
    EXPECT_EQ(Cell(app->images->EditImage, 1000), 0x2020) << "password entry cleared";
    ExpectShown(false);
  }
}

// No level off-line, nor for a level the program does not know.
TEST_F(Access, NoLevelDisablesThePermissionMenuAndShowsADash) {
  LogIn(QStringLiteral("admin"));
  ActivatePassword()->click();
  ASSERT_TRUE(Enabled("txt_password"));
  QCheckBox* offline = Control<QCheckBox>("chk_off_line");
  offline->click();
  EXPECT_EQ(Text("lbl_acc_level"), "-");
  EXPECT_FALSE(Enabled("men_perm"));
  EXPECT_FALSE(ActivatePassword()->isChecked());
  EXPECT_FALSE(Enabled("chk_act_pass"));
  EXPECT_FALSE(Enabled("txt_password"));
  offline->click();
  Poll();
  EXPECT_EQ(Text("lbl_acc_level"), "Admin") << "the device still grants admin";
  EXPECT_TRUE(Enabled("men_perm"));

  sim().faults().accessLevel = 2;
  Poll();
  EXPECT_EQ(Text("lbl_acc_level"), "-");
  EXPECT_FALSE(Enabled("men_perm"));
  EXPECT_FALSE(Enabled("chk_act_pass"));
  Poll();
  EXPECT_FALSE(Enabled("men_perm")) << "stays disabled while the level stays unknown";
}

// Quitting never leaves the device at admin level for whoever comes next; a device that does
// not hear the logout does not keep the program open, and the start-up log says so.
struct QuitCase {
  const char* name;
  bool admin;     // logged in before quitting
  bool silent;    // the device stops answering before the quit
  int levelAfter; // what the device grants afterwards
  bool logged;    // the start-up log tells of the failed logout
};

class QuitAtLevel : public Access, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitAtLevel, LeavesTheDeviceAtUserLevelOrSaysWhyNot) {
  const QuitCase& c = GetParam();
  if (c.admin) LogIn(QStringLiteral("admin"));
  sim().ClearRequests();
  if (c.silent) sim().SetFault(devsim::Fault::Silent);
  prompts.QueueYesNo(true);
  EXPECT_TRUE(app->Window().close());
  EXPECT_EQ(sim().WithModel([](devsim::DeviceModel& m) { return m.AccessLevel(); }), c.levelAfter);
  if (!c.admin) {
    EXPECT_TRUE(sim().Requests().empty());
  } else if (!c.silent) {
    EXPECT_EQ(sim().Requests(), (std::vector<RecordedRequest>{kLoginWrite, kIdentificationRead}));
  }
  const QString log = ReadTextRecordQuiet(app->WorkDir() + QStringLiteral("/kvn_init.log"), 1 << 16);
  EXPECT_EQ(log.contains(QStringLiteral("Logout at quit failed")), c.logged) << log.toStdString();
  EXPECT_FALSE(app->Window().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Quit, QuitAtLevel,
                         ::testing::Values(QuitCase{"admin", true, false, 0, false},
                                           QuitCase{"admin_device_silent", true, true, 1, true},
                                           QuitCase{"user", false, false, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class AccessOverRs485 : public Access {
 protected:
  devsim::SimOptions Options() const override {
    devsim::SimOptions o = LiveApp::Options();
    o.model.usb = false;
    return o;
  }
  void PrepareSettings(LocSetupRec& s) const override {
    s.usb = false;
    s.baud = 5;
    s.parity = 0;
    s.addr = 1;
  }
  void SetUp() override {
    LiveApp::SetUp();
    StartProgram();
    Poll();
  }
};

TEST_F(AccessOverRs485, NoLevelAndNoMenu) {
  ASSERT_EQ(Text("lbl_conn_stat"), "Operating") << prompts.Describe().toStdString();
  EXPECT_EQ(Text("lbl_acc_level"), "-");
  EXPECT_FALSE(Enabled("men_perm"));
  EXPECT_FALSE(Enabled("chk_act_pass"));
  EXPECT_FALSE(Enabled("txt_password"));
}

}  // namespace
}  // namespace kvn::test

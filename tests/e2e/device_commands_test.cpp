// The device commands on the real window against the simulator: clear min/max, reset the
// error memory, test-and-reset switched and pulsed, and the test buttons after every poll.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>
#include <functional>

#include "device_link/block_table.h"
#include "e2e/live_app.h"

namespace kvn::test {
namespace {

using Kind = RecordingPrompts::Kind;
using devsim::RecordedRequest;

constexpr RecordedRequest kTestWrite{1, 16, reg::TestReset, 1};
constexpr int kTestAction = 4514;  // "Test and reset action" of the diagnostics block

const char* const kWithDiagnostics =
    "Activating 'Test and reset' will switch the relays selected after \u2018Diagnostics (safe state)\u2019 "
    "and \u2018Test and reset\u2019 on the OUTPUT tab. Press [OK] to proceed or [Cancel] to abort.";
const char* const kTestOnly =
    "Activating 'Test and reset' will switch the relays selected after 'Test and reset' on the OUTPUT "
    "tab. Press [OK] to proceed or [Cancel] to abort.";

// A pause that lets the test look at the device while the program waits.
class WatchedPause : public Pause {
 public:
  std::function<void(int)> onWait;
  void Wait(int milliseconds) override {
    if (onWait) onWait(milliseconds);
    Pause::Wait(milliseconds);
  }
};

class DeviceCommandsTest : public LiveApp {
 protected:
  Pause& ProgramPause() override { return watched; }
  void SetUp() override {
    LiveApp::SetUp();
    SetTestAction(1);
    StartProgram();
    Poll();
    ASSERT_EQ(Text("lbl_conn_stat"), "Operating") << prompts.Describe().toStdString();
    sim().ClearRequests();
  }
  void SetTestAction(int action) {
    sim().WithModel([action](devsim::DeviceModel& m) { m.SetWorkingRegister(kTestAction, static_cast<uint16_t>(action)); });
  }
  QPushButton* Button(const char* name) const { return Control<QPushButton>(name); }
  // True when the poll timer runs again after the command.
  bool Press(const char* name) {
    Button(name)->click();
    const bool restarted = app->Window().Timer1->isActive();
    app->Window().Timer1->stop();  // the test ticks the poll itself
    return restarted;
  }
  std::vector<RecordedRequest> Writes() {
    std::vector<RecordedRequest> writes;
    for (const RecordedRequest& r : sim().Requests())
      if (r.function == 16) writes.push_back(r);
    return writes;
  }
  uint16_t Written(int r) {
    return sim().WithModel([r](devsim::DeviceModel& m) { return m.Raw()[static_cast<size_t>(r)]; });
  }
  bool DeviceTestActive() { return Written(reg::TestReset) != 0; }

  WatchedPause watched;
};

TEST_F(DeviceCommandsTest, ClearCommandsWriteRegister111WithoutAQuestion) {
  const struct {
    const char* button;
    uint16_t value;
  } cases[] = {{"cmd_clr_minmax", 1}, {"cmd_reset_err", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    sim().ClearRequests();
    ASSERT_TRUE(Button(c.button)->isEnabled());
    EXPECT_TRUE(Press(c.button));
    EXPECT_EQ(Writes(), (std::vector<RecordedRequest>{{1, 16, reg::ClearCommand, 1}}));
    EXPECT_EQ(Written(reg::ClearCommand), c.value);
    EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  }
}

TEST_F(DeviceCommandsTest, ConfirmationTextFollowsTheTestActionAndCancelWritesNothing) {
  const struct {
    int action;
    const char* question;
  } actions[] = {{1, kWithDiagnostics}, {0, kTestOnly}};
  for (const auto& a : actions) {
    SetTestAction(a.action);
    app->poll.ConfigBlocksPolled = false;  // the next poll reads the diagnostics block again
    Poll();
    for (const char* button : {"cmd_ppt_on", "cmd_ppt_pulse"}) {
      SCOPED_TRACE(std::string(button) + " action " + std::to_string(a.action));
      prompts.ClearCalls();
      sim().ClearRequests();
      EXPECT_FALSE(Press(button)) << "cancelled before the timer was touched";
      EXPECT_EQ(prompts.TextsOf(Kind::Confirm), QStringList{QString::fromUtf8(a.question)});
      EXPECT_TRUE(Writes().empty());
      EXPECT_EQ(Button("cmd_ppt_on")->text(), "Test and reset ON");
    }
  }
}

TEST_F(DeviceCommandsTest, TestSwitchedOnAfterTheQuestionAndOffAtOnce) {
  prompts.QueueConfirm(true);
  EXPECT_TRUE(Press("cmd_ppt_on"));
  EXPECT_EQ(Writes(), std::vector<RecordedRequest>{kTestWrite});
  EXPECT_TRUE(DeviceTestActive());
  Poll();
  EXPECT_EQ(Button("cmd_ppt_on")->text(), "Test and reset OFF");
  EXPECT_TRUE(Button("cmd_ppt_on")->isEnabled());
  EXPECT_FALSE(Button("cmd_ppt_pulse")->isEnabled());

  prompts.ClearCalls();
  sim().ClearRequests();
  EXPECT_TRUE(Press("cmd_ppt_on"));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  EXPECT_EQ(Writes(), std::vector<RecordedRequest>{kTestWrite});
  EXPECT_FALSE(DeviceTestActive());
  Poll();
  EXPECT_EQ(Button("cmd_ppt_on")->text(), "Test and reset ON");
  EXPECT_TRUE(Button("cmd_ppt_pulse")->isEnabled());
}

TEST_F(DeviceCommandsTest, PulseWritesOneThenZeroWithOneQuestionAndNoPollBetween) {
  std::vector<int> waits;
  bool activeDuringPause = false, timerStoppedDuringPause = false;
  size_t requestsBeforePause = 0;
  watched.onWait = [&](int ms) {
    waits.push_back(ms);
    activeDuringPause = DeviceTestActive();
    timerStoppedDuringPause = !app->Window().Timer1->isActive();
    requestsBeforePause = sim().Requests().size();
  };
  prompts.QueueConfirm(true);
  EXPECT_TRUE(Press("cmd_ppt_pulse"));
  EXPECT_EQ(prompts.TextsOf(Kind::Confirm).size(), 1);
  EXPECT_EQ(waits, std::vector<int>{100});
  EXPECT_TRUE(activeDuringPause);
  EXPECT_TRUE(timerStoppedDuringPause);
  EXPECT_EQ(requestsBeforePause, 1u);
  EXPECT_EQ(sim().Requests(), (std::vector<RecordedRequest>{kTestWrite, kTestWrite})) << "nothing between the writes";
  EXPECT_FALSE(DeviceTestActive());
}

TEST_F(DeviceCommandsTest, PulseEndsTheTestAlsoWhenTheFirstWriteFailed) {
  sim().faults().corruptCrcNext = 3;  // every attempt of the first write carried out, its answer spoilt
  prompts.QueueConfirm(true);
  EXPECT_TRUE(Press("cmd_ppt_pulse"));
  EXPECT_EQ(prompts.TextsOf(Kind::Error), QStringList{"No Connection! (CRC)-Function aborted."});
  EXPECT_EQ(Writes(), std::vector<RecordedRequest>(4, kTestWrite));
  EXPECT_FALSE(DeviceTestActive());
}

TEST_F(DeviceCommandsTest, RemoteTestInputDisablesBothTestButtons) {
  sim().WithModel([](devsim::DeviceModel& m) { m.SetRemoteTestInput(true); });
  Poll();
  EXPECT_EQ(Button("cmd_ppt_on")->text(), "Test and reset OFF");
  EXPECT_FALSE(Button("cmd_ppt_on")->isEnabled());
  EXPECT_FALSE(Button("cmd_ppt_pulse")->isEnabled());
  EXPECT_TRUE(Button("cmd_clr_minmax")->isEnabled());
  EXPECT_TRUE(Button("cmd_reset_err")->isEnabled());
  EXPECT_EQ(Cell(app->images->DeviceImage, reg::TestReset), 0) << "the request register stays off";
}

}  // namespace
}  // namespace kvn::test

// The poll, the plot feed and the live values, on the real window against the simulator.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QScrollBar>
#include <QTimer>

#include "device_link/block_table.h"
#include "devsim/factory_setup.h"
#include "e2e/live_app.h"
#include "ui/live_data.h"
#include "parameters/value_codec.h"
#include "texts/setting_colour.h"
#include "ui/main_menu.h"
#include "ui/setup_diag_dialog.h"

namespace kvn::test {
namespace {

class LivePoll : public LiveApp {
 protected:
  // The newest n samples, oldest first.
  std::vector<float> Newest(int n) const {
    std::vector<float> out;
    const SampleRing& ring = app->plot.samples;
    int k = ring.NewestSlot();
    for (int i = 0; i < n; ++i) {
      out.insert(out.begin(), ring.Slot(k));
      k = k > 1 ? k - 1 : kPlotSlots;
    }
    return out;
  }
  int Written() const { return app->plot.samples.WritePosition(); }
};

TEST_F(LivePoll, GoodPollShowsValuesAndFeedsTheSpeed) {
  sim().WithModel([](devsim::DeviceModel& m) { m.ForceSpeed(1234.5f); return 0; });
  StartProgram();
  const int before = Written();
  Poll();
  EXPECT_EQ(Written(), before + 1);
  EXPECT_FLOAT_EQ(Newest(1)[0], ReadFloat(app->images->DeviceImage, 500));
  EXPECT_FALSE(Text("lbl_proc_speed_val").isEmpty());
  EXPECT_EQ(Text("lbl_fw_ver"), "1.20");
  EXPECT_EQ(Text("lbl_ppt_input_stat"), "Open");
  EXPECT_EQ(Text("lbl_serial_num").size(), 16);
  EXPECT_EQ(app->Window().Timer1->interval(), 500);
}

TEST_F(LivePoll, UnplugThenReplugFeedsGapsAndRereadsParameterBlocks) {
  StartProgram();
  Poll();
  ASSERT_TRUE(app->poll.LinkOk);
  sim().faults().silent = true;
  Poll();
  EXPECT_EQ(Newest(1), std::vector<float>{-1.0f});
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating") << "one failed poll keeps the status";
  EXPECT_EQ(app->Window().Timer1->interval(), 1000);
  Poll();
  EXPECT_EQ(Newest(3), (std::vector<float>{-1.0f, -1.0f, -1.0f}));
  EXPECT_EQ(Text("lbl_conn_stat"), "Not connected!");
  EXPECT_FALSE(app->poll.ConfigBlocksPolled);

  sim().faults().silent = false;
  sim().ClearRequests();
  Poll();
  const auto last = Newest(2);
  EXPECT_EQ(last[0], -1.0f);
  EXPECT_GE(last[1], 0.0f);
  bool readOutputBlock = false;
  for (const auto& r : sim().Requests()) readOutputBlock |= r.start == 5500;
  EXPECT_TRUE(readOutputBlock) << "parameter blocks are read again after a reset";
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
}

TEST_F(LivePoll, NoiseBurstBeforeAnAdminIdentificationCostsOnePoll) {
  StartProgram();
  // Admin level: register 14 reads 1, so the tail of a misaligned identification answer
  // holds a byte equal to the slave address.
  std::vector<int32_t> password(8, 0x2020);
  const std::string pw = devsim::kDefaultAdminPassword;
  for (size_t i = 0; i < pw.size(); ++i)
    password[i / 2] = (i % 2) ? ((password[i / 2] & 0xFF) | (pw[i] << 8)) : ((password[i / 2] & 0xFF00) | pw[i]);
  ASSERT_TRUE(app->master.WriteWithRetry(1, reg::Password, {password.data(), 8}));
  Poll();
  ASSERT_TRUE(app->poll.LinkOk);
  ASSERT_EQ(app->images->DeviceImage[reg::AccessLevel], 1);

  sim().faults().addressBurstNext = 24;
  Poll();
  EXPECT_FALSE(app->poll.LinkOk);
  sim().ClearRequests();
  Poll();
  EXPECT_TRUE(app->poll.LinkOk) << "the next poll is whole again";
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
  EXPECT_EQ(app->Window().Timer1->interval(), 500);
}

TEST_F(LivePoll, StopAcquisitionStopsSamplesNotValues) {
  StartProgram();
  Poll();
  Control<QCheckBox>("chk_stop_acq")->setChecked(true);
  const int position = Written();
  sim().WithModel([](devsim::DeviceModel& m) { m.ForceSpeed(777.0f); return 0; });
  Poll(2);
  EXPECT_EQ(Written(), position);
  EXPECT_EQ(Text("lbl_proc_speed_val").left(3), "777");
}

// OK in the plot dialog, as the menu opens it, with the rated-speed line in a new colour.
void ChooseRatedLineColour(Application& app, const QColor& colour) {
  QTimer::singleShot(0, app.setupPlot.get(), [&app, colour] {
    app.setupPlot->findChild<ColourSwatch*>(QStringLiteral("shp_col_rated"))->SetColour(colour);
    app.setupPlot->findChild<QAbstractButton*>(QStringLiteral("cmd2_ok"))->click();
  });
  FindMenuItem(*app.Window().men_main, QStringLiteral("men_settings_plot"))->trigger();
  ASSERT_EQ(app.setup.diag_rated_col, SettingOfColor(colour));
}

bool Shows(const QImage& picture, const QColor& colour) {
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (picture.pixelColor(x, y) == colour) return true;
  return false;
}

// The picture takes a new look from the next poll's redraw, not when the dialog closes; off-line
// no poll draws and the picture stays as it was.
TEST_F(LivePoll, PlotSettingsShowAtTheNextTickAndNeverOffLine) {
  StartProgram();
  Poll();
  QWidget* canvas = Control("img_plot");
  const QImage before = canvas->grab().toImage();
  ChooseRatedLineColour(*app, Qt::green);
  EXPECT_EQ(canvas->grab().toImage(), before) << "drawn at once";
  Poll();
  EXPECT_TRUE(Shows(canvas->grab().toImage(), Qt::green)) << "not drawn at the next tick";

  app->Window().chk_off_line->setChecked(true);
  const QImage offLine = canvas->grab().toImage();
  ChooseRatedLineColour(*app, Qt::blue);
  Poll();
  EXPECT_EQ(canvas->grab().toImage(), offLine);
}

TEST_F(LivePoll, SixErrorsScrollToEntriesThreeToSix) {
  sim().WithModel([](devsim::DeviceModel& m) { m.SetErrors(0b111111 << 3); return 0; });
  StartProgram();
  Poll();
  auto* bar = Control<QScrollBar>("scr_err_lab");
  ASSERT_TRUE(bar->isEnabled());
  EXPECT_EQ(bar->maximum(), 2);
  EXPECT_TRUE(Text("lbl_err_text_1").endsWith("  Parity error")) << Text("lbl_err_text_1").toStdString();
  bar->setValue(2);
  EXPECT_TRUE(Text("lbl_err_text_1").endsWith("  ROM CRC error")) << "entry 3: bit 5";
  EXPECT_TRUE(Text("lbl_err_text_4").endsWith("  Watchdog reset"));
}

TEST_F(LivePoll, SafetyRelaysAlwaysShowTheirDiagnosticsAlarm) {
  sim().WithModel([](devsim::DeviceModel& m) {
    for (int r = 5500; r < 5505; ++r) m.SetWorkingRegister(r, m.Register(r) & ~0x40);  // no diagnostics
    m.SetWorkingRegister(5502, m.Register(5502) | 0x04);  // relay 3: overspeed
    return 0;
  });
  StartProgram();
  Poll();
  for (const char* name : {"lbl_proc_diag_1", "lbl_proc_diag_2"}) {
    EXPECT_TRUE(Text(name) == "Active" || Text(name) == "Inactive") << name << ": " << Text(name).toStdString();
  }
  EXPECT_EQ(Text("lbl_proc_diag_3"), "Not used");
  EXPECT_NE(Text("lbl_proc_vmax_3"), "Not used");
  EXPECT_TRUE(Text("lbl_proc_out_1") == "Open" || Text("lbl_proc_out_1") == "Closed");
}

TEST(ErrorListsTimes, FirstSeenSurvivesAndRenews) {
  const QDateTime start(QDate(2026, 12, 9), QTime(10, 0, 0));
  ErrorLists lists(start);
  const QDateTime t1 = start.addSecs(902), t2 = start.addSecs(960), t3 = start.addSecs(1000);
  lists.Update(1u << 7, 0, t1);
  lists.Update(1u << 7, 1u << 7, t2);
  ASSERT_EQ(lists.Current().size(), 1u);
  EXPECT_EQ(lists.Current()[0].firstSeen, t1) << "stays while the bit stays set";
  EXPECT_EQ(lists.Memory()[0].firstSeen, t1);
  lists.Update(0, 1u << 7, t2);
  EXPECT_TRUE(lists.Current().empty());
  lists.Update(1u << 7, 1u << 7, t3);
  EXPECT_EQ(lists.Current()[0].firstSeen, t3) << "renewed when it reappears";
  lists.Update(0, 1u << 3, t3);
  EXPECT_EQ(lists.Memory()[0].firstSeen, start) << "a bit never current shows the program start";
}

TEST_F(LivePoll, ReplugAfterLongAbsenceReconnects) {
  StartProgram();
  Poll();
  sim().SetFault(devsim::Fault::Disconnect);
  Poll(4);
  EXPECT_EQ(Text("lbl_conn_stat"), "Not connected!");
  RestartDevice(Options());
  LinkCom1To(SlavePath());
  Poll();
  EXPECT_TRUE(app->poll.LinkOk) << "the port is reopened by the poll";
  EXPECT_EQ(Text("lbl_conn_stat"), "Operating");
}

}  // namespace
}  // namespace kvn::test

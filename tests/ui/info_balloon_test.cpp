#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "parameters/qstring_print.h"
#include "parameters/value_codec.h"
#include "ui/info_balloon.h"
#include "window_fixture.h"

namespace kvn {
namespace {

class InfoBalloonTest : public ::testing::Test {
 protected:
  void SetUp() override { w.Start().show(); }
  void Hover(const char* name) {
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w.Control(name), &enter);
  }
  void Leave(const char* name) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w.Control(name), &leave);
  }
  InfoBalloon& Balloon() { return *w.form->BalloonHint1; }
  test::WindowUnderTest w;
};

TEST_F(InfoBalloonTest, OverspeedLimitShowsItsCaptionAndTheCurrentSpeedRange) {
  // Factory speed limits 0..5000 RPM with a rated speed of 1600: two decimals.
  WriteFloat(w.images->EditImage, 6006, 0.0f);
  WriteFloat(w.images->EditImage, 6004, 5000.0f);
  WriteFloat(w.images->EditImage, 4008, 1600.0f);
  Hover("lbl_i_vmax_lim");
  EXPECT_TRUE(Balloon().isVisible());
  EXPECT_EQ(Balloon().Title(), QStringLiteral("Overspeed limit"));
  EXPECT_EQ(Balloon().Description(),
            QStringLiteral("[INPUT] [range:  0.00 - 5000.00  RPM]\r\n"
                           "Trip is initiated when this limit is exceeded.\r\n"));
  Leave("lbl_i_vmax_lim");
  EXPECT_FALSE(Balloon().isVisible());
}

// The three command buttons: no title, their caption, then what they are for.
TEST_F(InfoBalloonTest, ButtonBalloonHasNoTitleAndStartsWithTheCaptionThenThePurpose) {
  const struct {
    const char* button;
    QString caption;
    QString purpose;
  } rows[] = {
      {"cmd_clr_minmax", "Clear Min/Max", "Clear displayed min/max values for speed and acceleration"},
      {"cmd_ppt_on", "Test and reset ON",
       "Test and reset activation/deactivation request.\r\nTest and reset ON: test is activated based on 'Test "
       "and reset action' on the DIAGNOSTICS tab.\r\nTest and reset OFF: test is deactivated and latched errors "
       "are reset."},
      {"cmd_ppt_pulse", "Test and reset pulse", "Test and reset pulsed activation request.\r\n"},
  };
  for (const auto& row : rows) {
    Hover(row.button);
    EXPECT_TRUE(Balloon().isVisible()) << row.button;
    EXPECT_TRUE(Balloon().Title().isEmpty()) << row.button;
    EXPECT_TRUE(Balloon().Description().startsWith(row.caption + "\r\n" + row.purpose))
        << Balloon().Description().toStdString();
    Leave(row.button);
  }
}

TEST_F(InfoBalloonTest, TitleFollowsTheTranslatedCaption) {
  w.texts.CurrentTexts[w.texts.CurrentTexts.indexOf(QStringLiteral("Location tag"))] =
      QStringLiteral("Standort");
  Hover("lbl_i_usr_tag1");
  EXPECT_EQ(Balloon().Title(), QStringLiteral("Standort"));
  EXPECT_TRUE(Balloon().Description().startsWith(QStringLiteral("[TEXT] [range: 16 characters]")));
}

TEST_F(InfoBalloonTest, ControlWithoutCaptionShowsNothing) {
  auto* mark = w.Control<QLabel>("lbl_i_teeth");
  mark->setText(QString());
  Hover("lbl_i_teeth");
  EXPECT_FALSE(Balloon().isVisible());
}

TEST(ComposeBalloon, EveryMatchingRowAddsOneExpandedPieceAndTheLastTitleRowWins) {
  Texts texts;
  texts.FillFromDefaults();
  const int caption = [&] {
    for (int i = 0; i < kTextRowCount; ++i)
      if (QLatin1String(TextTable[i].key) == QLatin1String("lbl_resp_time")) return i;
    return -1;
  }();
  ASSERT_GE(caption, 0);
  texts.CurrentTexts[caption] = QStringLiteral("Reaction");
  int substitutions = 0;
  const BalloonText shown = ComposeBalloon(QStringLiteral("lbl_i_resp_time"), texts,
                                           [&](const QString& text) {
                                             ++substitutions;
                                             return text;
                                           });
  EXPECT_EQ(shown.title, QStringLiteral("Reaction"));
  EXPECT_EQ(substitutions, 1);
  // Four bars: four breaks and one extra, then the piece's own CR LF.
  EXPECT_TRUE(shown.description.startsWith(QStringLiteral("[OUTPUT]\r\nHardware reaction time")));
  EXPECT_TRUE(shown.description.endsWith(QStringLiteral("in this field.\r\n\r\n")));
  EXPECT_TRUE(ComposeBalloon(QStringLiteral("no_such_control"), texts, {}).description.isEmpty());
}

}  // namespace
}  // namespace kvn

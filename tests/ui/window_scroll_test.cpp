#include <gtest/gtest.h>

#include <QFrame>
#include <QScrollBar>
#include <QTabWidget>
#include <ostream>

#include "ui/window_scroll.h"
#include "window_fixture.h"

namespace kvn {
namespace {

// A window that fits exactly: pages 600 high at top 10, panel 200 wide at left 700.
ScrollFrame Fitting() {
  ScrollFrame f;
  f.pagesHeight = 600;
  f.pagesHomeTop = 10;
  f.panelWidth = 200;
  f.panelHomeLeft = 700;
  f.horizontalBarHeight = 16;
  f.verticalBarWidth = 17;
  f.windowWidth = 700 + 200 + kFrameExtraWidth;
  f.windowHeight = 10 + 600 + kFrameExtraHeight;
  return f;
}

struct ScrollCase {
  const char* what;
  int narrower;  // pixels less than the fitting width
  int lower;     // pixels less than the fitting height
  ScrollBarState horizontal;
  ScrollBarState vertical;
};

void PrintTo(const ScrollCase& c, std::ostream* out) { *out << c.what; }

class FitScrollBarsTest : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(FitScrollBarsTest, BarsShowTheShortfall) {
  const ScrollCase& c = GetParam();
  ScrollFrame f = Fitting();
  f.windowWidth -= c.narrower;
  f.windowHeight -= c.lower;
  ScrollBarState h;
  ScrollBarState v;
  FitScrollBars(f, h, v);
  EXPECT_EQ(h.visible, c.horizontal.visible) << c.what;
  EXPECT_EQ(v.visible, c.vertical.visible) << c.what;
  if (c.horizontal.visible) {
    EXPECT_EQ(h.maximum, c.horizontal.maximum) << c.what;
  }
  if (c.vertical.visible) {
    EXPECT_EQ(v.maximum, c.vertical.maximum) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shortfalls, FitScrollBarsTest,
    ::testing::Values(
        ScrollCase{"fits", 0, 0, {false, 0, 0}, {false, 0, 0}},
        ScrollCase{"larger", -50, -50, {false, 0, 0}, {false, 0, 0}},
        // No room below for the horizontal bar: it needs a vertical bar for its own height,
        // which in turn takes width.
        ScrollCase{"narrower, no room for the bar", 100, 0, {true, 100 + 17, 0}, {true, 16, 0}},
        ScrollCase{"narrower, room for the bar", 100, -16, {true, 100, 0}, {false, 0, 0}},
        ScrollCase{"lower, room for the bar", -17, 30, {false, 0, 0}, {true, 30, 0}},
        ScrollCase{"lower, no room for the bar", 0, 30, {true, 17, 0}, {true, 30 + 16, 0}},
        ScrollCase{"both", 100, 30, {true, 117, 0}, {true, 46, 0}}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST(FitScrollBars, PositionIsPulledDownToTheNewMaximum) {
  ScrollFrame f = Fitting();
  f.windowHeight += 16;
  f.windowWidth -= 100;
  ScrollBarState h{true, 150, 120};
  ScrollBarState v;
  const ScrollChange change = FitScrollBars(f, h, v);
  EXPECT_EQ(h.maximum, 100);
  EXPECT_EQ(h.position, 100);
  EXPECT_FALSE(change.horizontalToggled);
  EXPECT_FALSE(change.verticalToggled);
}

TEST(FitScrollBars, WideningHidesTheBarsAndReportsTheChange) {
  ScrollFrame f = Fitting();
  ScrollBarState h{true, 100, 40};
  ScrollBarState v{true, 16, 3};
  const ScrollChange change = FitScrollBars(f, h, v);
  EXPECT_FALSE(h.visible);
  EXPECT_FALSE(v.visible);
  EXPECT_TRUE(change.horizontalToggled);
  EXPECT_TRUE(change.verticalToggled);
}

// The real window: bars, their ranges and the scrolled positions of pages and panel.
class WindowScrollTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = &w.Start();
    start = form->size();
    barHeight = form->scr_main_hor->sizeHint().height();
    barWidth = form->scr_main_vert->sizeHint().width();
  }
  void ResizeTo(int width, int height) {
    form->resize(width, height);
    form->FormResize();
  }
  test::WindowUnderTest w;
  TMain_Form* form = nullptr;
  QSize start;
  int barHeight = 0;
  int barWidth = 0;
};

TEST_F(WindowScrollTest, StartSizeFitsWithoutBars) {
  form->FormResize();
  EXPECT_TRUE(form->scr_main_hor->isHidden());
  EXPECT_TRUE(form->scr_main_vert->isHidden());
  EXPECT_EQ(form->pnl_status->y(), form->pg_ctrl1->y());
  EXPECT_EQ(form->pnl_status->height(), form->pg_ctrl1->height());
  EXPECT_EQ(start.height(), form->pg_ctrl1->y() + form->pg_ctrl1->height() + kFrameExtraHeight);
  EXPECT_EQ(start.width(), form->pnl_status->x() + form->pnl_status->width() + kFrameExtraWidth);
}

TEST_F(WindowScrollTest, NarrowerWindowScrollsPagesAndPanelTogether) {
  ResizeTo(start.width() - 100, start.height() + barHeight);
  ASSERT_FALSE(form->scr_main_hor->isHidden());
  EXPECT_TRUE(form->scr_main_vert->isHidden());
  EXPECT_EQ(form->scr_main_hor->maximum(), 100);
  EXPECT_EQ(form->scr_main_hor->pageStep(), 10);

  form->scr_main_hor->setValue(40);
  EXPECT_EQ(form->pg_ctrl1->x(), form->PagesHome().x() - 40);
  EXPECT_EQ(form->pnl_status->x(), form->PanelHome().x() - 40);

  ResizeTo(start.width(), start.height());
  EXPECT_TRUE(form->scr_main_hor->isHidden());
  EXPECT_EQ(form->pg_ctrl1->pos(), form->PagesHome());
  EXPECT_EQ(form->pnl_status->pos(), form->PanelHome());
}

TEST_F(WindowScrollTest, TooNarrowAndTooLowShowsBothBarsWithEachOthersThickness) {
  ResizeTo(start.width() - 100, start.height() - 30);
  ASSERT_FALSE(form->scr_main_hor->isHidden());
  ASSERT_FALSE(form->scr_main_vert->isHidden());
  EXPECT_EQ(form->scr_main_vert->maximum(), 30 + barHeight);
  EXPECT_EQ(form->scr_main_hor->maximum(), 100 + barWidth);

  form->scr_main_vert->setValue(25);
  EXPECT_EQ(form->pg_ctrl1->y(), form->PagesHome().y() - 25);
  EXPECT_EQ(form->pnl_status->y(), form->PanelHome().y() - 25);
}

TEST_F(WindowScrollTest, ShrinkingTheShortfallPullsTheScrolledPositionBack) {
  ResizeTo(start.width() - 100, start.height() + barHeight);
  form->scr_main_hor->setValue(90);
  ResizeTo(start.width() - 50, start.height() + barHeight);
  EXPECT_EQ(form->scr_main_hor->maximum(), 50);
  EXPECT_EQ(form->scr_main_hor->value(), 50);
  EXPECT_EQ(form->pg_ctrl1->x(), form->PagesHome().x() - 50);
}

}  // namespace
}  // namespace kvn

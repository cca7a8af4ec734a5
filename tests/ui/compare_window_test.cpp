// Where the comparison goes so that the engineer sees both it and the work: beside the main
// window where the screen has room, else in the largest free band beside the field.
#include <gtest/gtest.h>

#include <QRect>

#include "ui/compare_window.h"

namespace kvn {
namespace {

const QRect kScreen(0, 0, 1920, 1080);
const QSize kWindow(600, 400);

struct Placement {
  const char* what;
  QRect screen;
  QRect mainFrame;
  QRect keep;  // empty: no field to keep clear of
  QRect expected;
};

const Placement kPlacements[] = {
    {"right of the main window", kScreen, {100, 100, 1200, 800}, {}, {1300, 100, 600, 400}},
    {"left of it when the right has no room", kScreen, {700, 100, 1200, 800}, {900, 300, 100, 20}, {100, 100, 600, 400}},
    {"raised to stay on the screen", kScreen, {100, 800, 1000, 200}, {}, {1100, 680, 600, 400}},
    {"a screen the main window fills, nothing to keep clear of", kScreen, {0, 0, 1920, 1080}, {}, {}},
    {"below a field high on a full screen", kScreen, {0, 0, 1920, 1080}, {100, 100, 200, 20}, {0, 120, 600, 400}},
    {"above a field low on a full screen", kScreen, {0, 0, 1920, 1080}, {100, 900, 200, 20}, {0, 0, 600, 400}},
    {"right of a tall field", kScreen, {0, 0, 1920, 1080}, {100, 0, 200, 1080}, {300, 0, 600, 400}},
    {"made smaller where no band holds it whole", {0, 0, 800, 600}, {0, 0, 800, 600}, {100, 150, 600, 300},
     {0, 450, 600, 150}},
    {"a screen not at the origin", {1920, 0, 1280, 1024}, {2540, 100, 600, 700}, {}, {1940, 100, 600, 400}},
};

class PlaceClearTest : public ::testing::TestWithParam<Placement> {};

TEST_P(PlaceClearTest, LeavesTheMainWindowOrTheFieldInSight) {
  const Placement& p = GetParam();
  const QRect at = PlaceClear(kWindow, p.mainFrame, p.keep, p.screen);
  EXPECT_EQ(at, p.expected) << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
  if (at.isNull()) return;
  EXPECT_TRUE(p.screen.contains(at));
  EXPECT_FALSE(at.intersects(p.keep));
}

INSTANTIATE_TEST_SUITE_P(Placements, PlaceClearTest, ::testing::ValuesIn(kPlacements),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace kvn

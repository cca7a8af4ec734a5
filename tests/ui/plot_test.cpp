#include <gtest/gtest.h>

#include "device_link/block_table.h"
#include "parameters/parameter_table.h"
#include "parameters/qstring_print.h"

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "parameters/value_codec.h"
#include "ui/plot_canvas.h"
#include "reports/speed_plot.h"

namespace kvn {
namespace {

// ---------------------------------------------------------------------------------------------
// Sample ring and the poll's feed

std::vector<float> Slots(const SampleRing& ring, int first, int last) {
  std::vector<float> v;
  for (int k = first; k <= last; ++k) v.push_back(ring.Slot(k));
  return v;
}

TEST(SampleRing, StartsEmptyAtSlotOne) {
  SampleRing ring;
  EXPECT_EQ(ring.WritePosition(), 1);
  EXPECT_EQ(ring.NewestSlot(), kPlotSlots);
  for (int k = 1; k <= kPlotSlots; ++k) EXPECT_EQ(ring.Slot(k), kNoSample) << k;
}

TEST(SampleRing, WrapsAfterSlot121AndReadsNewestFromIt) {
  SampleRing ring;
  for (int i = 1; i <= kPlotSlots; ++i) ring.AppendSample(float(i));
  EXPECT_EQ(ring.WritePosition(), 1);
  EXPECT_EQ(ring.NewestSlot(), 121);
  EXPECT_EQ(ring.Slot(121), 121.0f);
  ring.AppendSample(500.0f);
  EXPECT_EQ(ring.Slot(1), 500.0f);
  EXPECT_EQ(ring.WritePosition(), 2);
  EXPECT_EQ(ring.NewestSlot(), 1);
}

TEST(SampleRing, ResetWritePositionKeepsTheSamples) {
  SampleRing ring;
  for (float v : {10.0f, 20.0f, 30.0f}) ring.AppendSample(v);
  ring.ResetWritePosition();
  EXPECT_EQ(ring.WritePosition(), 1);
  EXPECT_EQ(Slots(ring, 1, 3), (std::vector<float>{10.0f, 20.0f, 30.0f}));
  ring.AppendSample(40.0f);
  EXPECT_EQ(ring.Slot(1), 40.0f);
}

struct FeedCase {
  const char* name;
  bool poll_ok;
  bool previous_failed;
  bool stop_ticked;
  std::vector<float> appended;
};

class FeedContract : public ::testing::TestWithParam<FeedCase> {};

TEST_P(FeedContract, AppendsWhatTheTickStandsFor) {
  const FeedCase& c = GetParam();
  SampleRing ring;
  ring.AppendSample(7.0f);  // something older that must stay
  FeedSamples(ring, c.poll_ok, c.previous_failed, c.stop_ticked, 1234.5f);
  EXPECT_EQ(ring.WritePosition(), 2 + int(c.appended.size()));
  EXPECT_EQ(ring.Slot(1), 7.0f);
  EXPECT_EQ(Slots(ring, 2, 1 + int(c.appended.size())), c.appended);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, FeedContract,
    ::testing::Values(FeedCase{"GoodAfterGood", true, false, false, {1234.5f}},
                      FeedCase{"GoodAfterFailed", true, true, false, {kNoSample, 1234.5f}},
                      FeedCase{"FailedAfterGood", false, false, false, {kNoSample}},
                      FeedCase{"FailedAfterFailed", false, true, false, {kNoSample, kNoSample}},
                      FeedCase{"StopGood", true, false, true, {}},
                      FeedCase{"StopGoodAfterFailed", true, true, true, {}},
                      FeedCase{"StopFailed", false, false, true, {}},
                      FeedCase{"StopFailedAfterFailed", false, true, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Scale labels

struct ScaleCase {
  float x;
  bool extra;
  char separator;
  float value;  // checked only without extra
  const char* text;
};

class NiceScaleTable : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(NiceScaleTable, RoundsToTheRowOfX) {
  const ScaleCase& c = GetParam();
  const ScaleLabel label = NiceScale(c.x, c.extra, NumberFormat(QLatin1Char(c.separator)));
  EXPECT_EQ(label.text, QString::fromLatin1(c.text)) << c.x;
  if (!c.extra) {
    EXPECT_FLOAT_EQ(label.value, c.value) << c.x;
  }
}

INSTANTIATE_TEST_SUITE_P(
    KnownAnswers, NiceScaleTable,
    ::testing::Values(
        // Rated 1500: full scale 1800, rated label with one decimal.
        ScaleCase{1500.0f * 1.2f, false, '.', 1800.0f, "1800"},
        ScaleCase{1500.0f, true, '.', 0, "1500.0"}, ScaleCase{1500.0f, true, ',', 0, "1500,0"},
        // Rated 3.3: full scale 3.96, rated label 3.300.
        ScaleCase{3.3f * 1.2f, false, '.', 3.96f, "3.96"},
        ScaleCase{3.3f * 1.2f, false, ',', 3.96f, "3,96"}, ScaleCase{3.3f, true, '.', 0, "3.300"},
        // Row boundaries: each limit belongs to the row below it.
        ScaleCase{100.0f, false, '.', 100.0f, "100.0"}, ScaleCase{100.5f, false, '.', 101.0f, "101"},
        ScaleCase{10.0f, false, '.', 10.0f, "10.00"}, ScaleCase{10.5f, false, '.', 10.5f, "10.5"},
        ScaleCase{1.0f, false, '.', 1.0f, "1.000"}, ScaleCase{1.5f, false, '.', 1.5f, "1.50"},
        ScaleCase{0.1f, false, '.', 0.1f, "0.1000"}, ScaleCase{0.5f, false, '.', 0.5f, "0.500"},
        ScaleCase{0.012f, false, '.', 0.012f, "0.0120"}, ScaleCase{0.05f, true, '.', 0, "0.05000"},
        // Three significant figures, half up in the last step.
        ScaleCase{1234.5f, false, '.', 1235.0f, "1235"}, ScaleCase{1234.4f, false, '.', 1234.0f, "1234"},
        ScaleCase{56.78f, false, '.', 56.8f, "56.8"}, ScaleCase{56.74f, false, '.', 56.7f, "56.7"},
        ScaleCase{2400.0f, true, ',', 0, "2400,0"}, ScaleCase{12.0f, true, '.', 0, "12.00"}));

TEST(NiceScale, AbsurdValuesGiveATextInsteadOfOverflowing) {
  const NumberFormat numbers(QLatin1Char('.'));
  EXPECT_FALSE(NiceScale(3.0e38f, false, numbers).text.isEmpty());
  EXPECT_FALSE(NiceScale(-3.0e38f, true, numbers).text.isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Geometry, Y and text placement

struct GeometryCase {
  QSize canvas;
  PlotTextExtents text;
  int x0, dx, x1, y0, dy, y1;
};

class GeometryTable : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GeometryTable, GridOfSixtyByTwentyCellsInsideTheCanvas) {
  const GeometryCase& c = GetParam();
  const PlotGeometry g = ComputePlotGeometry(c.canvas, c.text);
  EXPECT_EQ(g.left, 0);
  EXPECT_EQ(g.top, 0);
  EXPECT_EQ(g.right, c.canvas.width());
  EXPECT_EQ(g.bottom, c.canvas.height());
  EXPECT_EQ(g.x0, c.x0);
  EXPECT_EQ(g.dx, c.dx);
  EXPECT_EQ(g.x1, c.x1);
  EXPECT_EQ(g.y0, c.y0);
  EXPECT_EQ(g.dy, c.dy);
  EXPECT_EQ(g.y1, c.y1);
  EXPECT_LE(g.x1, g.right - 1);
  EXPECT_LE(g.y1, g.bottom - c.text.th + 2);
}

INSTANTIATE_TEST_SUITE_P(
    Canvases, GeometryTable,
    ::testing::Values(GeometryCase{{819, 222}, {14, 40}, 42, 12, 762, 23, 9, 203},
                      GeometryCase{{900, 400}, {13, 43}, 45, 14, 885, 21, 18, 381},
                      GeometryCase{{663, 183}, {15, 41}, 43, 10, 643, 24, 7, 164}));

PlotGeometry GridOf(int y0, int y1, float full_scale) {
  PlotGeometry g;
  g.y0 = y0;
  g.y1 = y1;
  g.full_scale = full_scale;
  return g;
}

TEST(PlotY, ScalesToTheGridAndSticksAboveFullScale) {
  const PlotGeometry g = GridOf(23, 203, 1800.0f);
  EXPECT_EQ(g.Y(1500.0f), 203 - 150);
  EXPECT_EQ(g.Y(1800.0f), g.y0);
  EXPECT_EQ(g.Y(1800.5f), g.y0);
  EXPECT_EQ(g.Y(1.0e30f), g.y0);
  EXPECT_EQ(g.Y(0.0f), g.y1);
  EXPECT_EQ(g.Y(-180.0f), g.y1 + 18);  // not clipped below
}

TEST(PlotY, HalfPixelsRoundToEven) {
  // 160 px for 64 RPM: one RPM is exactly 2.5 px.
  const PlotGeometry g = GridOf(0, 160, 64.0f);
  EXPECT_EQ(g.Y(1.0f), 160 - 2);  // 2.5 -> 2
  EXPECT_EQ(g.Y(3.0f), 160 - 8);  // 7.5 -> 8
}

struct PlacementCase {
  HAlign h;
  VAlign v;
  QPoint origin;
};

TEST(TextPlacement, AlignsWithTruncatingHalves) {
  // A text 11 wide and 7 high anchored at (100, 50).
  for (const PlacementCase& c :
       {PlacementCase{HAlign::Left, VAlign::Top, {100, 50}},
        PlacementCase{HAlign::Center, VAlign::Top, {95, 50}},
        PlacementCase{HAlign::Right, VAlign::Top, {89, 50}},
        PlacementCase{HAlign::Left, VAlign::Center, {100, 47}},
        PlacementCase{HAlign::Right, VAlign::Center, {89, 47}},
        PlacementCase{HAlign::Center, VAlign::Bottom, {95, 43}}}) {
    EXPECT_EQ(PlacedTextOrigin(100, 50, 11, 7, c.h, c.v), c.origin)
        << int(c.h) << "/" << int(c.v);
  }
}

// ---------------------------------------------------------------------------------------------
// Curve runs

class CurveTest : public ::testing::Test {
 protected:
  SampleRing ring;
  PlotGeometry g = [] {
    PlotGeometry g = ComputePlotGeometry(QSize(819, 222), {14, 40});
    g.full_scale = 1800.0f;
    return g;
  }();

  // Fills the ring oldest first; the last value given is the newest.
  void Fill(const std::vector<float>& values) {
    for (float v : values) ring.AppendSample(v);
  }
};

TEST_F(CurveTest, NewestAtRightEdgeOldestAtLeftEdge) {
  std::vector<float> values;
  for (int i = 1; i <= kPlotSlots; ++i) values.push_back(float(i * 10));
  Fill(values);  // write position back at 1: the newest sits in slot 121
  const auto runs = CurveRuns(ring, g);
  ASSERT_EQ(runs.size(), 1u);
  const QPolygon& run = runs[0];
  ASSERT_EQ(run.size(), kPlotSlots);
  EXPECT_EQ(run[0], QPoint(g.x1, g.Y(1210.0f)));
  EXPECT_EQ(run[1], QPoint(g.x1 - g.dx / 2, g.Y(1200.0f)));
  EXPECT_EQ(run[2], QPoint(g.x1 - g.dx, g.Y(1190.0f)));
  EXPECT_EQ(run[120], QPoint(g.x0, g.Y(10.0f)));
}

TEST_F(CurveTest, LoneSampleBetweenGapsDrawsNothing) {
  Fill({kNoSample, 900.0f, kNoSample});
  EXPECT_TRUE(CurveRuns(ring, g).empty());
  Fill({900.0f});  // the newest alone at the right edge
  EXPECT_TRUE(CurveRuns(ring, g).empty());
}

TEST_F(CurveTest, GapsSplitTheCurve) {
  Fill({100.0f, 200.0f, 300.0f, kNoSample, kNoSample, 600.0f, 700.0f});
  const auto runs = CurveRuns(ring, g);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], QPolygon({QPoint(g.x1, g.Y(700.0f)), QPoint(g.x1 - g.dx / 2, g.Y(600.0f))}));
  ASSERT_EQ(runs[1].size(), 3);
  // Slots 3 and 4 back from the newest are the gap: the older run starts two columns left.
  EXPECT_EQ(runs[1][0], QPoint(g.x1 - 2 * g.dx, g.Y(300.0f)));
  EXPECT_EQ(runs[1][2], QPoint(g.x1 - 3 * g.dx, g.Y(100.0f)));
}

TEST_F(CurveTest, ZeroSpeedIsASampleNotAGap) {
  Fill({0.0f, 0.0f});
  const auto runs = CurveRuns(ring, g);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0][0].y(), g.y1);
}

// ---------------------------------------------------------------------------------------------
// Drawing on an image

constexpr int32_t kRed = 0x0000FF;    // speed curve
constexpr int32_t kBlue = 0xFF0000;   // rated line
constexpr int32_t kGreen = 0x00FF00;  // underspeed markers
constexpr int32_t kCyan = 0xFFFF00;   // overspeed markers

class DrawPlotTest : public ::testing::Test {
 protected:
  DrawPlotTest() {
    rec.diag_speed_col = kRed;
    rec.diag_rated_col = kBlue;
    for (int i = 0; i < kPlotOutputs; ++i) {
      rec.diag_min_col[i] = kGreen;
      rec.diag_max_col[i] = kCyan;
    }
    g = ComputePlotGeometry(image);
  }

  void SetRated(float r) { WriteFloat(images->DeviceImage, ParamRegs().ratedSpeed, r); }

  void Draw(QChar separator = QLatin1Char('.')) {
    const NumberFormat numbers(separator);
    QPainter painter(&image);
    painter.setFont(PlotFont());
    painter.setBrush(Qt::white);
    DrawPlot(painter, g, {images->DeviceImage, rec, ring, numbers});
  }

  QColor At(int x, int y) const { return image.pixelColor(x, y); }
  int Count(int32_t bgr) const {
    const QRgb wanted = ColorFromBgr(bgr).rgb();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == wanted;
    return n;
  }
  // Pixels that are neither white, silver nor a grey of the labels.
  int CountColoured() const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = At(x, y);
        n += !(c.red() == c.green() && c.green() == c.blue());
      }
    return n;
  }

  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  LocSetupRec rec;
  SampleRing ring;
  QImage image{900, 400, QImage::Format_RGB32};
  PlotGeometry g;
};

TEST_F(DrawPlotTest, GridAloneBelowARatedSpeedOfOneHundredth) {
  for (float rated : {0.0f, 0.0099f, -1500.0f}) {
    SetRated(rated);
    rec.diag_min_act[0] = true;
    ring.AppendSample(100.0f);
    ring.AppendSample(100.0f);
    image.fill(Qt::black);
    Draw();
    EXPECT_EQ(CountColoured(), 0) << rated;
    EXPECT_EQ(At(g.x0 + 1, g.y0 + 1), QColor(Qt::white)) << rated;
    EXPECT_EQ(At(g.x0, g.y0 + 1), QColor(192, 192, 192)) << rated;
    EXPECT_EQ(At(g.x1, g.y1 - 1), QColor(192, 192, 192)) << rated;
  }
}

TEST_F(DrawPlotTest, RatedSpeedThatIsNoNumberDrawsOnlyTheGrid) {
  images->DeviceImage[ParamRegs().ratedSpeed] = 0;
  images->DeviceImage[ParamRegs().ratedSpeed + 1] = 0x7FC0;  // quiet NaN
  ring.AppendSample(5.0f);
  ring.AppendSample(5.0f);
  Draw();
  EXPECT_EQ(CountColoured(), 0);
}

TEST_F(DrawPlotTest, RatedLineAtItsShareOfFullScale) {
  SetRated(1500.0f);
  Draw();
  EXPECT_FLOAT_EQ(g.full_scale, 1800.0f);
  const int y = g.Y(1500.0f);
  EXPECT_EQ(y, g.y1 - int(std::nearbyint((g.y1 - g.y0) * 1500.0 / 1800.0)));
  EXPECT_EQ(At((g.x0 + g.x1) / 2, y), ColorFromBgr(kBlue));
  EXPECT_EQ(At(g.x0 + 1, y), ColorFromBgr(kBlue));
  EXPECT_EQ(Count(kRed), 0);  // no samples yet
}

TEST_F(DrawPlotTest, SampleAboveFullScaleRunsAlongTheTopLine) {
  SetRated(1500.0f);
  for (int i = 0; i < 6; ++i) ring.AppendSample(5000.0f);
  Draw();
  const int x = g.x1 - g.dx - 2;  // between two vertical grid lines
  EXPECT_EQ(At(x, g.y0), ColorFromBgr(kRed));
  EXPECT_EQ(At(x, g.y0 + 3), QColor(Qt::white));
}

TEST_F(DrawPlotTest, LoneGoodSampleBetweenGapsLeavesNoMark) {
  SetRated(1500.0f);
  for (float v : {kNoSample, 900.0f, kNoSample, kNoSample}) ring.AppendSample(v);
  Draw();
  EXPECT_EQ(Count(kRed), 0);
}

TEST_F(DrawPlotTest, GapIsNeverBridged) {
  SetRated(1500.0f);
  // Newest first from the right: 2 good, 4 gaps, 2 good.
  for (float v : {600.0f, 600.0f, kNoSample, kNoSample, kNoSample, kNoSample, 600.0f, 600.0f})
    ring.AppendSample(v);
  Draw();
  const int y = g.Y(600.0f);
  // Newer run from x1 half a column left; older run from three columns left of x1.
  EXPECT_EQ(At(g.x1 - g.dx / 4, y), ColorFromBgr(kRed));
  EXPECT_EQ(At(g.x1 - 3 * g.dx - g.dx / 4, y), ColorFromBgr(kRed));
  for (int x = g.x1 - g.dx / 2 - 2; x > g.x1 - 3 * g.dx + 1; --x)
    EXPECT_NE(At(x, y), ColorFromBgr(kRed)) << x;
}

TEST_F(DrawPlotTest, MarkersFollowTheirSwitchesAndLimits) {
  SetRated(1500.0f);
  WriteFloat(images->DeviceImage, ParamRegs().underspeedLimit1 + 2 * 2, 0.0f);    // output 3
  WriteFloat(images->DeviceImage, ParamRegs().overspeedLimit1 + 2 * 4, 1650.0f);  // output 5
  WriteFloat(images->DeviceImage, ParamRegs().overspeedLimit1, 900.0f);           // output 1, off
  WriteFloat(images->DeviceImage, ParamRegs().underspeedLimit1 + 2 * 3, 450.0f);  // output 4, off
  rec.diag_min_act[2] = true;
  rec.diag_max_act[4] = true;
  Draw();
  const int mid = (g.x0 + g.x1) / 2;
  EXPECT_EQ(At(mid, g.y1), ColorFromBgr(kGreen));  // limit 0 on the bottom line
  EXPECT_EQ(At(mid, g.Y(1650.0f)), ColorFromBgr(kCyan));
  EXPECT_NE(At(mid, g.Y(900.0f)), ColorFromBgr(kCyan));
  EXPECT_NE(At(mid, g.Y(450.0f)), ColorFromBgr(kGreen));
  // Only one marker of each kind is switched on: one line's worth of pixels each.
  EXPECT_LE(Count(kCyan), g.x1 - g.x0 + 3);
  EXPECT_GE(Count(kCyan), g.x1 - g.x0);
}

TEST_F(DrawPlotTest, PenWidthIsThicknessIndexPlusOne) {
  SetRated(1500.0f);
  for (int i = 0; i < 10; ++i) ring.AppendSample(1000.0f);
  for (int index = 0; index <= 3; ++index) {
    rec.diag_speed_thk = index;
    Draw();
    int rows = 0;
    for (int y = g.y0; y <= g.y1; ++y) rows += At(g.x1 - 2 * g.dx, y) == ColorFromBgr(kRed);
    EXPECT_EQ(rows, index + 1) << index;
  }
}

TEST(PlotColours, BgrOrderWithRedInTheLowByte) {
  EXPECT_EQ(ColorFromBgr(255), QColor(255, 0, 0));
  EXPECT_EQ(ColorFromBgr(8388736), QColor(128, 0, 128));   // purple
  EXPECT_EQ(ColorFromBgr(8388608), QColor(0, 0, 128));     // navy
  EXPECT_EQ(ColorFromBgr(32896), QColor(128, 128, 0));     // olive
  EXPECT_EQ(BgrFromColor(QColor(255, 255, 0)), 65535);     // yellow
  EXPECT_EQ(BgrFromColor(ColorFromBgr(0x00123456)), 0x00123456);
  EXPECT_EQ(ColorFromBgr(int32_t(0xFF00FF00u)), QColor(0, 255, 0));
}

// ---------------------------------------------------------------------------------------------
// The page's canvas

class PlotCanvasTest : public ::testing::Test {
 protected:
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  LocSetupRec rec;
  NumberFormat numbers{QLatin1Char('.')};
  SpeedPlot plot;
  PlotCanvas canvas{plot, {images->DeviceImage, rec, plot.samples, numbers}};
};

TEST_F(PlotCanvasTest, TakesTheScreenGeometryFromItsSize) {
  canvas.resize(PlotCanvas::kDesignSize);
  canvas.ComputeGeometry();
  EXPECT_EQ(canvas.objectName(), QStringLiteral("img_plot"));
  EXPECT_EQ(plot.geometry.right, 819);
  EXPECT_EQ(plot.geometry.bottom, 222);
  EXPECT_EQ(plot.geometry.x0, canvas.TextExtents().label_width + 2);
  EXPECT_EQ(plot.geometry.x1 - plot.geometry.x0, 60 * plot.geometry.dx);
  EXPECT_GT(plot.geometry.dx, 0);
  EXPECT_GT(plot.geometry.dy, 0);
}

TEST_F(PlotCanvasTest, RepaintWhileSuspendedLeavesTheReportGeometryAlone) {
  canvas.resize(PlotCanvas::kDesignSize);
  canvas.ComputeGeometry();
  const PlotGeometry screen = plot.geometry;
  WriteFloat(images->DeviceImage, ParamRegs().ratedSpeed, 1500.0f);

  PlotGeometry page = ComputePlotGeometry(QSize(1030, 279), {30, 90});
  page.left = 148;
  page.full_scale = 1.0f;
  plot.geometry = page;
  plot.drawing_suspended = true;
  const QImage shown = canvas.grab().toImage();
  EXPECT_EQ(plot.geometry.left, 148);
  EXPECT_EQ(plot.geometry.x0, page.x0);
  EXPECT_FLOAT_EQ(plot.geometry.full_scale, 1.0f);
  // The screen got its own grid, not the page's.
  EXPECT_EQ(shown.pixelColor(screen.x0, screen.y0 + 1), QColor(192, 192, 192));

  plot.drawing_suspended = false;
  canvas.show();
  canvas.resize(700, 200);  // a resize outside a report re-points the geometry
  EXPECT_EQ(plot.geometry.right, 700);
}

}  // namespace
}  // namespace kvn

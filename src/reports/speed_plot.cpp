#include "device_link/block_table.h"
#include "parameters/parameter_table.h"
#include "reports/speed_plot.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "parameters/value_codec.h"

namespace kvn {

namespace {

const QColor kGridColor{192, 192, 192};   // silver
const QColor kLabelColor{128, 128, 128};  // gray

// One row of the scale table: above `above`, use these.
struct ScaleStep {
  float above;
  int64_t multiplier;
  int decimals;
  int64_t divisor;
};
// Rows are tried in order; the last one catches everything from 0.1 down.
constexpr ScaleStep kScaleSteps[] = {
    {100.0f, 1000, 0, 1},
    {10.0f, 10000, 1, 10},
    {1.0f, 100000, 2, 100},
    {0.1f, 1000000, 3, 1000},
};
constexpr ScaleStep kSmallestScale = {0.0f, 10000000, 4, 10000};

const ScaleStep& ScaleStepFor(float x) {
  for (const ScaleStep& step : kScaleSteps)
    if (x > step.above) return step;
  return kSmallestScale;
}

// Nearest integer, ties to even, held inside a range where the later arithmetic cannot
// overflow (the device can report any bit pattern as a float).
int64_t RoundHeld(double v, double limit) {
  if (std::isnan(v)) return 0;
  return static_cast<int64_t>(std::nearbyint(std::clamp(v, -limit, limit)));
}

QPen LinePen(int32_t bgr, int32_t thicknessIndex) {
  return QPen(ColorFromBgr(bgr), PenWidthFor(thicknessIndex), Qt::SolidLine, Qt::RoundCap,
              Qt::RoundJoin);
}

void DrawLevelLine(QPainter& painter, const PlotGeometry& g, float v) {
  const int y = g.Y(v);
  painter.drawLine(g.x0, y, g.x1, y);
}

void DrawMarkers(QPainter& painter, const PlotGeometry& g, const PlotInputs& in) {
  const LocSetupRec& a = in.appearance;
  for (int i = 0; i < kPlotOutputs; ++i) {
    if (!a.diag_min_act[i]) continue;
    painter.setPen(LinePen(a.diag_min_col[i], a.diag_min_thk[i]));
    DrawLevelLine(painter, g, ReadFloat(in.device, ParamRegs().underspeedLimit1 + 2 * i));
  }
  for (int i = 0; i < kPlotOutputs; ++i) {
    if (!a.diag_max_act[i]) continue;
    painter.setPen(LinePen(a.diag_max_col[i], a.diag_max_thk[i]));
    DrawLevelLine(painter, g, ReadFloat(in.device, ParamRegs().overspeedLimit1 + 2 * i));
  }
}

}  // namespace

// --- Sample ring ---------------------------------------------------------------------------

void SampleRing::AppendSample(float v) {
  slots_[static_cast<size_t>(write_position_ - 1)] = v;
  write_position_ = write_position_ >= kPlotSlots ? 1 : write_position_ + 1;
}

void FeedSamples(SampleRing& ring, bool pollOk, bool previousFailed, bool stopTicked,
                 float speed) {
  if (stopTicked) return;
  if (previousFailed) ring.AppendSample(kNoSample);
  ring.AppendSample(pollOk ? speed : kNoSample);
}

// --- Geometry ------------------------------------------------------------------------------

int PlotGeometry::Y(float v) const {
  const float r = v > full_scale ? 1.0f : v / full_scale;
  // A grid is at most a few thousand pixels high; the hold only matters for absurd limits.
  return y1 - static_cast<int>(RoundHeld(double(y1 - y0) * double(r), 1.0e6));
}

QFont PlotFont() {
  QFont font(QStringLiteral("Arial"), 8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

PlotTextExtents MeasurePlotText(const QFontMetrics& metrics) {
  // A text's height is the font's line height, whatever the characters.
  return {metrics.height(), metrics.horizontalAdvance(QStringLiteral("000.000"))};
}

PlotGeometry ComputePlotGeometry(QSize canvas, const PlotTextExtents& text) {
  PlotGeometry g;
  g.right = canvas.width();
  g.bottom = canvas.height();
  g.x0 = text.label_width + 2;
  g.dx = (g.right - 1 - g.x0) / kPlotColumns;
  g.x1 = g.x0 + kPlotColumns * g.dx;
  g.y0 = text.th + text.th / 2 + 2;
  g.dy = (g.bottom - text.th + 2 - g.y0) / kPlotRows;
  g.y1 = g.y0 + kPlotRows * g.dy;
  return g;
}

PlotGeometry ComputePlotGeometry(const QPaintDevice& canvas) {
  const QFontMetrics metrics(PlotFont(), &canvas);
  return ComputePlotGeometry(QSize(canvas.width(), canvas.height()), MeasurePlotText(metrics));
}

// --- Appearance ----------------------------------------------------------------------------

QColor ColorFromBgr(int32_t bgr) {
  const auto u = static_cast<uint32_t>(bgr);
  return QColor(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
}

int32_t BgrFromColor(const QColor& color) {
  return int32_t(color.red()) | (int32_t(color.green()) << 8) | (int32_t(color.blue()) << 16);
}

int PenWidthFor(int32_t thicknessIndex) { return std::clamp(thicknessIndex, 0, 3) + 1; }

// --- Scale and text ------------------------------------------------------------------------

ScaleLabel NiceScale(float x, bool extra, const NumberFormat& numbers) {
  const ScaleStep& step = ScaleStepFor(x);
  const int64_t multiplier = extra ? step.multiplier * 10 : step.multiplier;
  const int decimals = extra ? step.decimals + 1 : step.decimals;
  // The product is formed in single precision, as the scale has always been computed.
  const float product = x * static_cast<float>(multiplier);
  int64_t n = RoundHeld(double(product), 9.0e18);
  n = (n + 500) / 1000;
  return {static_cast<float>(double(n) / double(step.divisor)), numbers.FormatScaled(n, decimals)};
}

QPoint PlacedTextOrigin(int x, int y, int w, int h, HAlign h_align, VAlign v_align) {
  switch (h_align) {
    case HAlign::Left: break;
    case HAlign::Center: x -= w / 2; break;
    case HAlign::Right: x -= w; break;
  }
  switch (v_align) {
    case VAlign::Top: break;
    case VAlign::Center: y -= h / 2; break;
    case VAlign::Bottom: y -= h; break;
  }
  return {x, y};
}

void PlaceText(QPainter& painter, int x, int y, const QString& text, HAlign h_align,
               VAlign v_align) {
  const QFontMetrics metrics = painter.fontMetrics();
  const QPoint origin = PlacedTextOrigin(x, y, metrics.horizontalAdvance(text), metrics.height(),
                                         h_align, v_align);
  const QPen line_pen = painter.pen();
  painter.setPen(kLabelColor);
  painter.drawText(origin.x(), origin.y() + metrics.ascent(), text);
  painter.setPen(line_pen);
}

// --- Drawing -------------------------------------------------------------------------------

std::vector<QPolygon> CurveRuns(const SampleRing& ring, const PlotGeometry& g) {
  std::vector<QPolygon> runs;
  QPolygon run;
  auto close_run = [&] {
    if (run.size() >= 2) runs.push_back(run);
    run.clear();
  };
  int k = ring.NewestSlot();
  for (int i = 1; i <= kPlotSlots; ++i) {
    int x = g.x1 - ((i - 1) / 2) * g.dx;
    if (i % 2 == 0) x -= g.dx / 2;
    const float v = ring.Slot(k);
    if (v < 0.0f)
      close_run();
    else
      run << QPoint(x, g.Y(v));
    k = k > 1 ? k - 1 : kPlotSlots;
  }
  close_run();
  return runs;
}

void DrawGrid(QPainter& painter, const PlotGeometry& g) {
  painter.setPen(QPen(kGridColor, 1));
  painter.fillRect(QRect(g.left, g.top, g.right - g.left, g.bottom - g.top), painter.brush());
  for (int k = 0; k <= kPlotRows; ++k) {
    const int y = g.y0 + k * g.dy;
    painter.drawLine(g.x0, y, g.x1, y);
  }
  for (int k = 0; k <= kPlotColumns; ++k) {
    const int x = g.x0 + k * g.dx;
    painter.drawLine(x, g.y0, x, g.y1);
  }
  PlaceText(painter, g.x0, g.y1 + 3, QStringLiteral("0"), HAlign::Left, VAlign::Top);
  PlaceText(painter, g.left + (g.x1 - g.x0) / 2, g.y1 + 3, QStringLiteral("Time[s]"),
            HAlign::Center, VAlign::Top);
  PlaceText(painter, g.x1, g.y1 + 3, QStringLiteral("60"), HAlign::Right, VAlign::Top);
  PlaceText(painter, g.x0, g.top, QStringLiteral("[RPM]"), HAlign::Center, VAlign::Top);
  PlaceText(painter, g.x0 - 2, g.y1, QStringLiteral("0"), HAlign::Right, VAlign::Center);
}

void DrawPlot(QPainter& painter, PlotGeometry& g, const PlotInputs& in) {
  DrawGrid(painter, g);
  const float rated = ReadFloat(in.device, ParamRegs().ratedSpeed);
  // A rated speed that is no finite number (any bit pattern can come from the device) gives
  // no usable scale, just as one that is zero.
  const float top_speed = static_cast<float>(double(rated) * 1.2);
  if (!(double(rated) >= 0.01) || !std::isfinite(top_speed)) return;

  const ScaleLabel top = NiceScale(top_speed, false, in.numbers);
  g.full_scale = top.value;
  PlaceText(painter, g.x0 - 2, g.y0, top.text, HAlign::Right, VAlign::Center);

  const int y_rated = g.Y(rated);
  PlaceText(painter, g.x0 - 2, y_rated, NiceScale(rated, true, in.numbers).text, HAlign::Right,
            VAlign::Center);
  const LocSetupRec& a = in.appearance;
  painter.setPen(LinePen(a.diag_rated_col, a.diag_rated_thk));
  painter.drawLine(g.x0, y_rated, g.x1, y_rated);

  DrawMarkers(painter, g, in);

  painter.setPen(LinePen(a.diag_speed_col, a.diag_speed_thk));
  for (const QPolygon& run : CurveRuns(in.samples, g)) painter.drawPolyline(run);
}

}  // namespace kvn

#pragma once
#include <QColor>
#include <QFont>
#include <QPolygon>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "device_link/register_image.h"
#include "texts/setup_record.h"

class QFontMetrics;
class QPaintDevice;
class QPainter;

namespace kvn {

class NumberFormat;

// ---------------------------------------------------------------------------------------------
// Sample ring: the last 60 seconds of speed, one slot per half second.

inline constexpr int kPlotSlots = 121;     // 60 s at 2 samples/s, both ends included
inline constexpr float kNoSample = -1.0f;  // a gap: failed poll or nothing measured
inline constexpr int kPlotColumns = 60;    // grid columns (seconds)
inline constexpr int kPlotRows = 20;       // grid rows
inline constexpr int kPlotOutputs = 5;     // relays 1-4 and the digital output, one marker pair each
inline constexpr QSize kPlotDesignSize{819, 222};  // the screen plot as the page was designed

// 121 float slots used as a ring; positions are 1-based as the poll and the settings speak of
// them. A negative value breaks the curve.
class SampleRing {
 public:
  SampleRing() { slots_.fill(kNoSample); }

  // Stores v at the write position and advances it, wrapping from 121 to 1.
  void AppendSample(float v);
  // Settings load puts the next sample back at slot 1 without clearing anything.
  void ResetWritePosition() { write_position_ = 1; }

  int WritePosition() const { return write_position_; }
  // Slot k, 1..121.
  float Slot(int k) const { return slots_[static_cast<size_t>(k - 1)]; }
  // The slot written last: one before the write position, 121 when that is slot 1.
  int NewestSlot() const { return write_position_ > 1 ? write_position_ - 1 : kPlotSlots; }

 private:
  std::array<float, kPlotSlots> slots_;
  int write_position_ = 1;
};

// What one poll tick adds to the ring. A tick after a failed poll comes 1000 ms later and so
// stands for two slots: a gap first, then the new speed (or a second gap).
void FeedSamples(SampleRing& ring, bool pollOk, bool previousFailed, bool stopTicked,
                 float speed);

// ---------------------------------------------------------------------------------------------
// Geometry, shared by the screen and the plot report (which points it at a PDF page).

struct PlotGeometry {
  int left = 0, top = 0;       // origin of the drawing frame
  int right = 0, bottom = 0;   // far corner of the frame (on screen: the canvas size)
  int x0 = 0, x1 = 0;          // left and right edge of the grid
  int y0 = 0, y1 = 0;          // top and bottom edge of the grid
  int dx = 0, dy = 0;          // one grid column, one grid row
  float full_scale = 0.0f;     // speed at the top grid line; set by each DrawPlot

  // Vertical pixel of speed v. Speeds above full scale stick to the top line; nothing is
  // clipped below, so a negative limit lands under the grid.
  int Y(float v) const;
};

// The two text extents the grid layout is built from, measured in the plot font.
struct PlotTextExtents {
  int th = 0;          // height of "[RPM]"
  int label_width = 0; // width of "000.000", the widest scale label the grid leaves room for
};

// Arial 8 pt, normal style (any installed fallback serves where Arial is missing).
QFont PlotFont();
PlotTextExtents MeasurePlotText(const QFontMetrics& metrics);
// The screen geometry for a canvas of this size.
PlotGeometry ComputePlotGeometry(QSize canvas, const PlotTextExtents& text);
// The same, measuring the plot font on the canvas's own resolution.
PlotGeometry ComputePlotGeometry(const QPaintDevice& canvas);

// ---------------------------------------------------------------------------------------------
// Appearance and drawing.

// 0x00BBGGRR <-> QColor (the high byte is ignored).
QColor ColorFromBgr(int32_t bgr);
int32_t BgrFromColor(const QColor& color);
// Pen width in pixels for a thickness index; indexes outside 0..3 are held to that range.
int PenWidthFor(int32_t thicknessIndex);

struct ScaleLabel {
  float value = 0.0f;
  QString text;
};

// A round scale value near x and its label: about three significant figures, one decimal
// more with extra (the rated-speed label, whose value is not used).
ScaleLabel NiceScale(float x, bool extra, const NumberFormat& numbers);

// Text alignment relative to the anchor point.
enum class HAlign { Left = 0, Center = 1, Right = 2 };
enum class VAlign { Top = 0, Center = 1, Bottom = 2 };

// Top-left corner of a w × h text anchored at (x, y).
QPoint PlacedTextOrigin(int x, int y, int w, int h, HAlign h_align, VAlign v_align);
// Draws text with the painter's font in the label grey, measured on the painter's device.
void PlaceText(QPainter& painter, int x, int y, const QString& text, HAlign h_align,
               VAlign v_align);

// The connected runs of the speed curve, newest sample at x1, each older one half a column
// further left. A run holds at least two points: a lone sample between gaps draws nothing.
std::vector<QPolygon> CurveRuns(const SampleRing& ring, const PlotGeometry& geometry);

// Everything DrawPlot reads besides the canvas and the geometry.
struct PlotInputs {
  const RegisterImage& device;        // DeviceImage: rated speed, limits
  const LocSetupRec& appearance;      // only its diag_ fields are read
  const SampleRing& samples;
  const NumberFormat& numbers;        // decimal separator of the scale labels
};

// Background, grid and axis labels. The frame is filled with the painter's current brush and
// the labels use its current font, so the caller chooses both (white and Arial 8 on screen).
void DrawGrid(QPainter& painter, const PlotGeometry& geometry);
// The whole picture from scratch; sets geometry.full_scale. Below a rated speed of 0.01 (or
// a rated speed that is not a finite number) only the grid is drawn.
void DrawPlot(QPainter& painter, PlotGeometry& geometry, const PlotInputs& inputs);

// The plot's program-wide state: created once and passed by reference.
struct SpeedPlot {
  SampleRing samples;
  PlotGeometry geometry;
  // Set by the window from the chosen plot report file to its last box: the screen keeps the
  // picture the report was asked for while the poll goes on.
  bool drawing_suspended = false;
};

}  // namespace kvn

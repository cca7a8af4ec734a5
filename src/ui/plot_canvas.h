#pragma once
#include <QPixmap>
#include <QWidget>

#include "reports/speed_plot.h"

namespace kvn {

// The image `img_plot` on the PROCESS DATA page. Like the image it stands for, it holds a
// picture: the poll's redraw draws the plot into it and a paint only shows it. So a repaint
// the window system asks for (a dialog closing over the page) never shows newer settings or
// samples than the last tick, and off-line, where no tick draws, the picture stays as it was.
class PlotCanvas : public QWidget {
  Q_OBJECT

 public:
  // Size of the plot as the page was designed.
  static constexpr QSize kDesignSize = kPlotDesignSize;

  PlotCanvas(SpeedPlot& plot, const PlotInputs& inputs, QWidget* parent = nullptr);

  // The periodic redraw of the poll; skipped while drawing is suspended.
  void Redraw();
  // The empty grid of the start-up, drawn with the shared geometry.
  void DrawEmptyGrid();
  // Points the shared geometry back at this canvas (start-up and after a plot report). The
  // picture keeps what it shows until the next redraw.
  void ComputeGeometry();
  // Text extents of the plot font on this canvas; the plot report lays out its page with them.
  PlotTextExtents TextExtents() const;

  QSize sizeHint() const override { return kDesignSize; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A picture of the canvas's size; a new one shows the empty grid in this canvas's own
  // geometry, leaving the shared one alone (a report may hold it).
  QPixmap& Picture();

  SpeedPlot& plot_;
  PlotInputs inputs_;
  QPixmap picture_;
};

}  // namespace kvn

#pragma once
#include <QWidget>

#include "ui/speed_plot.h"

namespace kvn {

// The image `img_plot` on the PROCESS DATA page. It holds no picture of its own: every paint
// draws the plot from the shared state, so the poll's redraw is just Redraw().
class PlotCanvas : public QWidget {
  Q_OBJECT

 public:
  // Size of the plot as the page was designed.
  static constexpr QSize kDesignSize{819, 222};

  PlotCanvas(SpeedPlot& plot, const PlotInputs& inputs, QWidget* parent = nullptr);

  // The periodic redraw of the poll; skipped while drawing is suspended.
  void Redraw();
  // Points the shared geometry back at this canvas (start-up and after a plot report).
  void ComputeGeometry();
  // Text extents of the plot font on this canvas; the plot report lays out its page with them.
  PlotTextExtents TextExtents() const;

  QSize sizeHint() const override { return kDesignSize; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  SpeedPlot& plot_;
  PlotInputs inputs_;
};

}  // namespace kvn

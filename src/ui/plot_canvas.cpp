#include "ui/plot_canvas.h"

#include <QFontMetrics>
#include <QPainter>

namespace kvn {

PlotCanvas::PlotCanvas(SpeedPlot& plot, const PlotInputs& inputs, QWidget* parent)
    : QWidget(parent), plot_(plot), inputs_(inputs) {
  setObjectName(QStringLiteral("img_plot"));
  setFont(PlotFont());
  // Every paint fills the whole frame first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotCanvas::Redraw() {
  if (!plot_.drawing_suspended) update();
}

void PlotCanvas::ComputeGeometry() { plot_.geometry = ComputePlotGeometry(*this); }

PlotTextExtents PlotCanvas::TextExtents() const {
  return MeasurePlotText(QFontMetrics(PlotFont(), this));
}

void PlotCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(PlotFont());
  painter.setBrush(Qt::white);
  if (!plot_.drawing_suspended) {
    DrawPlot(painter, plot_.geometry, inputs_);
    return;
  }
  // While a report holds the shared geometry, a repaint the window system asks for (a dialog
  // moved over the page) must neither use nor change it.
  PlotGeometry screen = ComputePlotGeometry(*this);
  DrawPlot(painter, screen, inputs_);
}

void PlotCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!plot_.drawing_suspended) ComputeGeometry();
}

}  // namespace kvn

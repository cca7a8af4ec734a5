#include "ui/plot_canvas.h"

#include <QFontMetrics>
#include <QPainter>

namespace kvn {

namespace {

// The canvas settings of the start-up: white brush, the plot font.
void PrepareCanvas(QPainter& painter) {
  painter.setFont(PlotFont());
  painter.setBrush(Qt::white);
}

}  // namespace

PlotCanvas::PlotCanvas(SpeedPlot& plot, const PlotInputs& inputs, QWidget* parent)
    : QWidget(parent), plot_(plot), inputs_(inputs) {
  setObjectName(QStringLiteral("img_plot"));
  setFont(PlotFont());
  // The picture covers the whole canvas.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotCanvas::Redraw() {
  if (plot_.drawing_suspended || size().isEmpty()) return;
  QPainter painter(&Picture());
  PrepareCanvas(painter);
  DrawPlot(painter, plot_.geometry, inputs_);
  painter.end();
  update();
}

void PlotCanvas::DrawEmptyGrid() {
  if (size().isEmpty()) return;
  QPainter painter(&Picture());
  PrepareCanvas(painter);
  DrawGrid(painter, plot_.geometry);
  painter.end();
  update();
}

void PlotCanvas::ComputeGeometry() { plot_.geometry = ComputePlotGeometry(*this); }

PlotTextExtents PlotCanvas::TextExtents() const {
  return MeasurePlotText(QFontMetrics(PlotFont(), this));
}

QPixmap& PlotCanvas::Picture() {
  const qreal ratio = devicePixelRatioF();
  if (picture_.deviceIndependentSize().toSize() == size() && picture_.devicePixelRatio() == ratio)
    return picture_;
  picture_ = QPixmap(size() * ratio);
  picture_.setDevicePixelRatio(ratio);
  QPainter painter(&picture_);
  PrepareCanvas(painter);
  DrawGrid(painter, ComputePlotGeometry(*this));
  return picture_;
}

void PlotCanvas::paintEvent(QPaintEvent*) {
  const QPixmap& picture = Picture();
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture);
}

void PlotCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!plot_.drawing_suspended) ComputeGeometry();
}

}  // namespace kvn

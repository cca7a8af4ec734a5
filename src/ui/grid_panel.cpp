#include "ui/grid_panel.h"

#include <QGridLayout>
#include <QPainter>

#include "ui/theme.h"

namespace kvn {

GridPanel::GridPanel(const QString& name, Look look, QWidget* parent)
    : QWidget(parent), look_(look) {
  setObjectName(name);
}

void GridPanel::SetCaption(const QString& caption) {
  caption_ = caption;
  updateGeometry();
  update();
}

QSize GridPanel::sizeHint() const {
  if (look_ != Look::Tag) return QWidget::sizeHint();
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(caption_) + 16, fm.height() + 6};
}

QSize GridPanel::minimumSizeHint() const {
  if (look_ != Look::Tag) return QWidget::minimumSizeHint();
  return sizeHint();
}

void GridPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  switch (look_) {
    case Look::Plain: break;
    case Look::Section: PaintSection(painter); break;
    case Look::Tag: PaintTag(painter); break;
  }
}

// Alternate shading makes long parameter lists easy to follow across the row.
void GridPanel::PaintSection(QPainter& painter) const {
  painter.fillRect(rect(), theme::kPanelColor);
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    const int firstBody = property("kvn_header_rows").toInt();
    for (int row = firstBody; row < grid->rowCount(); ++row) {
      if ((row - firstBody) % 2 == 0) continue;
      QRect band = grid->cellRect(row, 0);
      if (!band.isValid()) continue;
      band.setLeft(1);
      band.setRight(width() - 2);
      painter.fillRect(band, theme::kBandColor);
    }
    if (firstBody > 0) {
      const QRect header = grid->cellRect(firstBody - 1, 0);
      if (header.isValid()) {
        painter.setPen(theme::kGridLineColor);
        painter.drawLine(1, header.bottom() + 1, width() - 2, header.bottom() + 1);
      }
    }
  }
  painter.setPen(theme::kBorderColor);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void GridPanel::PaintTag(QPainter& painter) const {
  painter.fillRect(rect(), theme::kPanelColor);
  painter.setPen(theme::kBorderColor);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.setFont(font());
  painter.drawText(rect(), Qt::AlignCenter, caption_);
}

}  // namespace kvn

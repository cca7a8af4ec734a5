#include "ui/info_mark.h"

#include <QPainter>

#include "ui/theme.h"

namespace kvn {

namespace {

const QString& MarkText() {
  static const QString text = QStringLiteral("ⓘ ");
  return text;
}

}  // namespace

InfoMark::InfoMark(const QString& name, QWidget* parent) : QLabel(MarkText(), parent) {
  setObjectName(name);
  theme::StyleInfoMark(*this);
}

QSize InfoMark::sizeHint() const {
  const int side = fontMetrics().height();
  return {side + 4, side};
}

void InfoMark::paintEvent(QPaintEvent* event) {
  if (!text().startsWith(MarkText().at(0))) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = isEnabled() ? palette().color(QPalette::WindowText)
                                    : palette().color(QPalette::Disabled, QPalette::WindowText);
  const qreal side = std::min(width() - 4, height()) - 3.0;
  const QRectF circle((width() - 4 - side) / 2.0, (height() - side) / 2.0, side, side);
  painter.setPen(QPen(colour, 1.4));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(circle);
  QFont letter = font();
  letter.setBold(true);
  letter.setPixelSize(qRound(side * 0.72));
  painter.setFont(letter);
  painter.drawText(circle, Qt::AlignCenter, QStringLiteral("i"));
}

}  // namespace kvn

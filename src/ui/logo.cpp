#include "ui/logo.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include "ui/theme.h"

namespace kvn {

namespace {

constexpr int kTeeth = 12;

// A toothed speed wheel: the device counts these teeth passing its sensor.
QPainterPath SpeedWheel(QPointF centre, qreal outer, qreal inner) {
  QPainterPath path;
  const qreal step = 2 * M_PI / kTeeth;
  for (int tooth = 0; tooth < kTeeth; ++tooth) {
    const qreal a = tooth * step;
    const qreal corners[4] = {a, a + step * 0.18, a + step * 0.5, a + step * 0.68};
    const qreal radii[4] = {inner, outer, outer, inner};
    for (int k = 0; k < 4; ++k) {
      const QPointF p(centre.x() + radii[k] * qCos(corners[k]), centre.y() + radii[k] * qSin(corners[k]));
      if (tooth == 0 && k == 0) path.moveTo(p);
      else path.lineTo(p);
    }
    const qreal next = a + step;
    path.lineTo(centre.x() + inner * qCos(next), centre.y() + inner * qSin(next));
  }
  path.closeSubpath();
  path.addEllipse(centre, inner * 0.42, inner * 0.42);
  return path;
}

void DrawPulseTrain(QPainter& painter, QRectF area) {
  QPainterPath pulses;
  const qreal y0 = area.bottom();
  const qreal y1 = area.top();
  const qreal w = area.width() / 9;
  pulses.moveTo(area.left(), y0);
  for (int i = 0; i < 4; ++i) {
    const qreal x = area.left() + w * (2 * i + 1);
    pulses.lineTo(x, y0);
    pulses.lineTo(x, y1);
    pulses.lineTo(x + w, y1);
    pulses.lineTo(x + w, y0);
  }
  pulses.lineTo(area.right(), y0);
  painter.drawPath(pulses);
}

}  // namespace

QPixmap BuiltInLogo(QSize size, qreal devicePixelRatio) {
  QPixmap pixmap(size * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);

  const qreal h = size.height();
  const qreal outer = h * 0.40;
  const QPointF centre(outer + 4, h * 0.5);
  painter.setPen(Qt::NoPen);
  painter.setBrush(theme::kHeadingColor);
  painter.drawPath(SpeedWheel(centre, outer, outer * 0.80));

  // The sensor's pulse train leaves the wheel towards the word mark.
  QPen pulsePen(QColor(214, 92, 38), qMax(1.5, h * 0.035));
  pulsePen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pulsePen);
  painter.setBrush(Qt::NoBrush);
  const qreal textLeft = centre.x() + outer + h * 0.12;
  DrawPulseTrain(painter, QRectF(textLeft, h * 0.62, size.width() - textLeft - 4, h * 0.16));

  QFont font(QStringLiteral("Arial"));
  font.setBold(true);
  font.setPixelSize(qRound(h * 0.30));
  font.setLetterSpacing(QFont::PercentageSpacing, 108);
  painter.setFont(font);
  painter.setPen(theme::kHeadingColor);
  painter.drawText(QRectF(textLeft, h * 0.14, size.width() - textLeft, h * 0.42),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KORVANE"));
  return pixmap;
}

}  // namespace kvn

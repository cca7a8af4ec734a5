#include "ui/logo.h"

#include <QPainter>
#include <QPainterPath>
#include <QStringList>
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

// The icon on a square of side 1: wheel in the logo's blue, its hub marked in the pulse colour.
constexpr qreal kIconOuter = 0.47;
constexpr qreal kIconInner = kIconOuter * 0.80;
constexpr qreal kIconHub = kIconInner * 0.24;
const QColor kPulseColor(214, 92, 38);

QPainterPath IconWheel(qreal side) {
  const QPointF centre(side / 2, side / 2);
  return SpeedWheel(centre, side * kIconOuter, side * kIconInner);
}

QString SvgNumber(qreal value) { return QString::number(value, 'f', 2); }

QString SvgPathData(const QPainterPath& path) {
  QStringList parts;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    const QString xy = SvgNumber(e.x) + QLatin1Char(' ') + SvgNumber(e.y);
    if (e.isMoveTo()) parts << QStringLiteral("M") + xy;
    else if (e.isLineTo()) parts << QStringLiteral("L") + xy;
    else if (e.type == QPainterPath::CurveToElement) parts << QStringLiteral("C") + xy;
    else parts << xy;  // the control points that follow a curve
  }
  return parts.join(QLatin1Char(' ')) + QStringLiteral(" Z");
}

}  // namespace

QImage BuiltInIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(theme::kHeadingColor);
  painter.drawPath(IconWheel(size));
  painter.setBrush(kPulseColor);
  painter.drawEllipse(QPointF(size / 2.0, size / 2.0), size * kIconHub, size * kIconHub);
  return image;
}

QByteArray BuiltInIconSvg() {
  constexpr int kSide = 256;
  const qreal half = kSide / 2.0;
  const QString svg =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
          "  <path fill=\"%2\" fill-rule=\"evenodd\" d=\"%3\"/>\n"
          "  <circle fill=\"%4\" cx=\"%5\" cy=\"%5\" r=\"%6\"/>\n"
          "</svg>\n")
          .arg(kSide)
          .arg(theme::kHeadingColor.name(), SvgPathData(IconWheel(kSide)), kPulseColor.name(),
               SvgNumber(half), SvgNumber(kSide * kIconHub));
  return svg.toUtf8();
}

QIcon BuiltInIconSet() {
  QIcon icon;
  for (const int size : kIconSizes) icon.addPixmap(QPixmap::fromImage(BuiltInIcon(size)));
  return icon;
}

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
  QPen pulsePen(kPulseColor, qMax(1.5, h * 0.035));
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

#include "ui/info_balloon.h"

#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "texts/texts.h"
#include "ui/theme.h"

namespace kvn {

namespace {

constexpr int kMaxTextWidth = 420;

QString TitleKey(const QString& name) {
  const qsizetype at = name.indexOf(QStringLiteral("_i"));
  if (at < 0) return QString();
  return QString(name).remove(at, 2);
}

// CR LF is the program's line break; the label wants plain new lines and no trailing ones.
QString ForDisplay(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  while (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  return text;
}

}  // namespace

BalloonText ComposeBalloon(const QString& name, const Texts& texts,
                           const std::function<QString(const QString&)>& substituteRange) {
  BalloonText result;
  const QString titleKey = TitleKey(name);
  for (int row = 0; row < kTextRowCount; ++row) {
    const QLatin1String key(TextTable[row].key);
    const QString& text = texts.CurrentTexts[row];
    if (key == name) {
      const QString shown = substituteRange ? substituteRange(text) : text;
      result.description += ExpandLines(shown) + QStringLiteral("\r\n");
    } else if (!titleKey.isEmpty() && key == titleKey) {
      result.title = text;
    }
  }
  return result;
}

InfoBalloon::InfoBalloon(QWidget* parent) : QFrame(parent, Qt::ToolTip) {
  setObjectName(QStringLiteral("BalloonHint1"));
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(255, 255, 238));
  p.setColor(QPalette::WindowText, Qt::black);
  setPalette(p);
  title_ = new QLabel(this);
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  description_ = new QLabel(this);
  description_->setWordWrap(true);
  description_->setMaximumWidth(kMaxTextWidth);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(8, 6, 8, 6);
  column->setSpacing(4);
  column->addWidget(title_);
  column->addWidget(description_);
}

void InfoBalloon::SetText(const BalloonText& text) {
  text_ = text;
  title_->setText(text.title.trimmed());
  title_->setVisible(!text.title.trimmed().isEmpty());
  description_->setText(ForDisplay(text.description));
  adjustSize();
}

void InfoBalloon::ShowAt(const QWidget& control) {
  adjustSize();
  QPoint at = control.mapToGlobal(QPoint(control.width() / 2, control.height() + 2));
  if (const QScreen* screen = control.screen()) {
    const QRect area = screen->availableGeometry();
    at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - width())));
    if (at.y() + height() > area.bottom())
      at.setY(control.mapToGlobal(QPoint(0, 0)).y() - height() - 2);
  }
  move(at);
  show();
  raise();
}

}  // namespace kvn

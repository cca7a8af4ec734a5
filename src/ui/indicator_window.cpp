#include "ui/indicator_window.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace kvn {
namespace {

constexpr char kIndicatorProperty[] = "kvnIndicator";

}  // namespace

void ShowIndicatorCentred(QWidget& indicator) {
  QRect area;
  if (const QWidget* owner = indicator.parentWidget()) {
    area = owner->window()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) indicator.move(area.center() - indicator.rect().center());
  indicator.setProperty(kIndicatorProperty, true);
  indicator.show();
  indicator.raise();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

IndicatorsStandAside::IndicatorsStandAside() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!top->isVisible() || !top->property(kIndicatorProperty).toBool()) continue;
    top->hide();
    hidden_ << top;
  }
}

IndicatorsStandAside::~IndicatorsStandAside() {
  for (const QPointer<QWidget>& indicator : hidden_)
    if (indicator) indicator->show();
}

}  // namespace kvn

#include "ui/indicator_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kvn {

void ShowIndicatorCentred(QWidget& indicator) {
  QRect area;
  if (const QWidget* owner = indicator.parentWidget()) {
    area = owner->window()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) indicator.move(area.center() - indicator.rect().center());
  indicator.show();
  indicator.raise();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace kvn

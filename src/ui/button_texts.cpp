#include "ui/button_texts.h"

#include <QCoreApplication>
#include <QLayout>
#include <QPushButton>
#include <QStyle>

namespace kvn {

QString StandardButtonText(const char* text) {
  return QCoreApplication::translate("QPlatformTheme", text);
}

int ButtonWidthForText(const QPushButton& button) {
  const QString shown = QString(button.text()).remove(QLatin1Char('&'));
  const QStyle& style = *button.style();
  const int frame = style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
  const int margin = style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
  return button.fontMetrics().horizontalAdvance(shown) + 2 * (frame + margin);
}

void FitButtonsToTexts(QWidget& root) {
  for (QPushButton* button : root.findChildren<QPushButton*>()) {
    const int needed = ButtonWidthForText(*button);
    const bool fixed = button->minimumWidth() == button->maximumWidth();
    const QWidget* parent = button->parentWidget();
    const bool byHand = parent != nullptr && parent->layout() == nullptr;
    if (fixed) {
      if (button->maximumWidth() < needed) button->setFixedWidth(needed);
    } else if (byHand) {
      if (button->width() < needed) button->resize(needed, button->height());
    } else if (button->minimumWidth() < needed && button->minimumWidth() > 0) {
      button->setMinimumWidth(needed);  // a minimum of its own outweighs its text in a layout
    }
  }
}

}  // namespace kvn

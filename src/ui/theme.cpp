#include "ui/theme.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace kvn::theme {

QFont BaseFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(kBaseFontPoints);
  return font;
}

void ApplyLightTheme(QApplication& app) {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
  QPalette palette = app.style()->standardPalette();
  palette.setColor(QPalette::Window, kWindowColor);
  palette.setColor(QPalette::Base, Qt::white);
  // A field that cannot be edited (no parameter set loaded, level too low) must look it.
  palette.setColor(QPalette::Disabled, QPalette::Base, QColor(238, 238, 238));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
  palette.setColor(QPalette::AlternateBase, kBandColor);
  palette.setColor(QPalette::Button, QColor(244, 244, 244));
  palette.setColor(QPalette::Highlight, QColor(48, 110, 186));
  palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 240));
  palette.setColor(QPalette::ToolTipText, Qt::black);
  app.setPalette(palette);
  app.setFont(BaseFont());
}

void StyleHeading(QWidget& label) {
  QFont font = label.font();
  font.setBold(true);
  font.setPointSize(kHeadingFontPoints);
  label.setFont(font);
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, kHeadingColor);
  label.setPalette(palette);
}

void StyleInfoMark(QWidget& label) {
  QFont font = label.font();
  font.setBold(true);
  label.setFont(font);
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, kInfoMarkColor);
  label.setPalette(palette);
  label.setCursor(Qt::WhatsThisCursor);
}

void StyleValue(QWidget& label) {
  label.setStyleSheet(QStringLiteral(
      "QLabel { background: %1; border: 1px solid %2; border-radius: 2px; padding: 0px 4px; }")
                          .arg(kValueColor.name(), kBorderColor.name()));
}

void StyleUnit(QWidget& label) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, kUnitColor);
  label.setPalette(palette);
}

void StyleColumnHeader(QWidget& label) {
  QFont font = label.font();
  font.setBold(true);
  label.setFont(font);
  if (auto* text = qobject_cast<QLabel*>(&label)) text->setAlignment(Qt::AlignCenter);
}

}  // namespace kvn::theme

#pragma once
#include <QColor>
#include <QFont>

class QApplication;
class QWidget;

namespace kvn::theme {

// The window's look in one place: a light grey frame, white section cards, dark-blue headings.
inline const QColor kWindowColor{235, 235, 235};
inline const QColor kPanelColor{255, 255, 255};
inline const QColor kBandColor{243, 245, 248};
inline const QColor kBorderColor{196, 200, 206};
inline const QColor kGridLineColor{214, 218, 224};
inline const QColor kHeadingColor{28, 63, 110};
inline const QColor kInfoMarkColor{31, 95, 168};
inline const QColor kValueColor{238, 241, 245};
inline const QColor kUnitColor{70, 70, 70};

inline constexpr int kBaseFontPoints = 9;
inline constexpr int kHeadingFontPoints = 10;
inline constexpr int kRowHeight = 21;      // one parameter row
inline constexpr int kControlHeight = 19;  // entry fields inside a row

QFont BaseFont();

// Fusion with a light palette; the window reads the same without it.
void ApplyLightTheme(QApplication& app);

// Fonts and colours of the kinds of controls on the pages.
void StyleHeading(QWidget& label);
void StyleInfoMark(QWidget& label);
void StyleValue(QWidget& label);
void StyleUnit(QWidget& label);
void StyleColumnHeader(QWidget& label);

}  // namespace kvn::theme

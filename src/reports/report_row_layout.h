#pragma once
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

#include "reports/config_report.h"

class QFontMetrics;
class QPainter;

namespace kvn {

struct ReportLayout;

// One line of text where a report page shows it: its box in page units (top-left corner, the
// text's width and its font's line height), the font height, and whether a rule goes under it.
struct PlacedText {
  QRect box;
  QString text;
  int fontHeight = 0;
  bool underlined = false;

  bool operator==(const PlacedText&) const = default;
};

// The lines a text takes in a column this wide: the text as it is when it fits, otherwise
// broken at blanks, and a word wider than the column broken where it must be. Leading blanks
// stay on the first line.
QStringList WrapToWidth(const QFontMetrics& metrics, const QString& text, int width);

// Where each text of the rows goes, from layout.y down; layout.y ends below the last row. A
// row whose texts fit its columns stands exactly at the columns' positions; a wider text
// wraps inside its own column and the row grows, so no text runs into another or past the
// right margin. The surface measures the texts in the report fonts and ends in the body font.
std::vector<PlacedText> LayOutReportRows(QPainter& surface, ReportLayout& layout,
                                         const std::vector<ReportRow>& rows);

// Draws texts placed by LayOutReportRows, in black.
void DrawPlacedTexts(QPainter& surface, const std::vector<PlacedText>& texts);

}  // namespace kvn

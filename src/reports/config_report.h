#pragma once
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;
class QWidget;

namespace kvn {

class Texts;
struct ReportLayout;

// One printed row of the configuration report, holding the texts exactly as they are printed
// (labels untrimmed, plain values and units trimmed, relay matrix values as the fields hold
// them, check boxes already as "ON"/"OFF").
struct ReportRow {
  enum class Kind {
    Space,          // half_lines of blank space
    Heading,        // label underlined in the heading font
    ColumnHeaders,  // cells: the five relay column captions
    Value,          // label, cells[0] value, unit
    Range,          // label, cells: from, word, to; unit
    Relay,          // label, cells: the five columns; unit
  };
  Kind kind = Kind::Space;
  QString label;
  QStringList cells;
  QString unit;
  int half_lines = 0;

  bool operator==(const ReportRow&) const = default;
};

// One report page: the parameter page it prints (container code) and its rows.
struct ReportPageRows {
  int container = 0;
  std::vector<ReportRow> rows;
};

// The report check boxes of the REPORT page that are ticked, in the fixed page order.
std::vector<int> SelectedReportPages(const QWidget& window);

// The rows of one parameter page, read from the window's controls and changing none of them.
// Names the window lacks are added to missing (and print as empty texts).
ReportPageRows BuildReportPage(const QWidget& window, const Texts& texts, int container,
                               QStringList* missing = nullptr);

// Draws the rows below the page header, starting at layout.y.
void DrawReportRows(QPainter& surface, ReportLayout& layout, const std::vector<ReportRow>& rows);

// Column positions in thousandths of the right margin.
namespace report_column {
inline constexpr int kValue = 624;       // right edge of a value, of a range's from-value
inline constexpr int kUnit = 634;        // left edge of a unit, of a range's word
inline constexpr int kRangeTo = 724;     // right edge of a range's to-value
inline constexpr int kRangeUnit = 734;   // left edge of a range's unit
inline constexpr int kRelayValue[5] = {370, 497, 624, 751, 878};
inline constexpr int kRelayHeader[5] = {380, 507, 634, 761, 888};
inline constexpr int kRelayUnit = 888;
}  // namespace report_column

}  // namespace kvn

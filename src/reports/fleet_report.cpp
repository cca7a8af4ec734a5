#include "reports/fleet_report.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <array>

#include "reports/report_page.h"

namespace kvn {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("kvn::FleetReport", text); }

// A line of the report: a heading across the page, or cells at the column starts (thousandths
// of the width between the margins).
struct Line {
  bool heading = false;
  bool bold = false;
  QStringList cells;
  std::vector<int> columns;
};

const std::vector<int> kSummaryColumns{0, 170, 420, 600, 900};
const std::vector<int> kDifferenceColumns{0, 160, 580, 800};

std::vector<Line> LinesOf(const std::vector<FleetReportUnit>& units) {
  std::vector<Line> lines;
  lines.push_back({true, true, {Tr("Units")}, {0}});
  lines.push_back({false, true, {Tr("Unit"), Tr("Port"), Tr("Serial number"), Tr("Verdict"), Tr("Read at")}, kSummaryColumns});
  for (const FleetReportUnit& u : units)
    lines.push_back({false, false, {u.name, u.port, u.serialNumber, u.verdict, u.read.toString(QStringLiteral("HH:mm:ss"))},
                     kSummaryColumns});
  for (const FleetReportUnit& u : units) {
    if (u.differences.empty()) continue;
    lines.push_back({true, false, {}, {0}});
    lines.push_back({true, true, {QStringLiteral("%1 (%2): %3").arg(u.name, u.serialNumber, u.verdict)}, {0}});
    lines.push_back({false, true, {Tr("Page"), Tr("Parameter"), Tr("Device"), Tr("Released")}, kDifferenceColumns});
    for (const QStringList& row : u.differences) lines.push_back({false, false, row, kDifferenceColumns});
  }
  return lines;
}

void DrawLine(QPainter& surface, const ReportLayout& l, const Line& line) {
  QFont font = ReportFont(kBodyFontHeight);
  font.setBold(line.bold);
  surface.setFont(font);
  const QFontMetrics metrics(font);
  const int width = l.right - l.left;
  for (size_t c = 0; c < static_cast<size_t>(line.cells.size()); ++c) {
    const int x = l.left + line.columns[c] * width / 1000;
    const int end = c + 1 < line.columns.size() ? l.left + line.columns[c + 1] * width / 1000 - l.half_line : l.right;
    const QString text = metrics.elidedText(line.cells[static_cast<qsizetype>(c)], Qt::ElideRight, end - x);
    draw_text(surface, x, l.y, text, HAlign::Left, VAlign::Top);
  }
}

}  // namespace

bool WriteFleetReport(const QString& path, const std::vector<FleetReportUnit>& units, const QDateTime& created,
                      DateTimeSeparators separators, const Texts& texts, QString* error) {
  const QString title = Tr("Fleet run");
  const std::vector<Line> lines = LinesOf(units);
  return WriteReportDocument(path, title, error, [&](ReportDocument& document) {
    ReportLayout& l = document.layout;
    const int step = 2 * l.half_line;
    const int first = 10 * l.half_line + l.top;  // where the header leaves the first body line
    const int bottom = l.page_height - l.top;
    const int perPage = std::max(1, (bottom - first) / step);
    l.page_count = static_cast<int>((lines.size() + static_cast<size_t>(perPage) - 1) / static_cast<size_t>(perPage));
    const ReportHeaderFacts facts = HeaderFacts(texts, created, separators, QString());
    QPainter* surface = &document.Surface();
    draw_page_header(*surface, l, title, facts);
    int onPage = 0;
    for (const Line& line : lines) {
      if (onPage == perPage) {
        surface = &next_report_page(document);
        ++l.page_no;
        draw_page_header(*surface, l, title, facts);
        onPage = 0;
      }
      DrawLine(*surface, l, line);
      l.y += step;
      ++onPage;
    }
  });
}

}  // namespace kvn

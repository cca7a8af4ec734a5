#include "reports/plot_report.h"

#include <QFontMetrics>

#include "reports/report_page.h"
#include "texts/texts.h"

namespace kvn {

namespace {

constexpr int kPlotTitle = 16;  // "Korvane plot report"

}  // namespace

PlotGeometry PlotPageGeometry(const ReportLayout& l, QSize image, const PlotTextExtents& text) {
  PlotGeometry g;
  g.left = l.left;
  g.top = l.y + 5 * l.half_line;
  g.right = l.right;
  g.bottom = image.width() > 0 ? g.top + (l.right - l.left) * image.height() / image.width() : g.top;
  g.x0 = l.left + text.label_width + 2;
  g.dx = (l.right - 1 - g.x0) / kPlotColumns;
  g.x1 = g.x0 + kPlotColumns * g.dx;
  // The page leaves a little more room above the grid than the screen does.
  g.y0 = g.top + text.th + text.th / 2 + 6;
  g.dy = (g.bottom - text.th + 2 - g.y0) / kPlotRows;
  g.y1 = g.y0 + kPlotRows * g.dy;
  return g;
}

bool WritePlotReport(const QString& path, const PlotReportInput& input, QString* error) {
  const QString title = input.texts.GetReportText(kPlotTitle);
  const ReportHeaderFacts facts =
      HeaderFacts(input.texts, input.now, input.separators, input.serialNumber);
  const PlotTextExtents screenText =
      input.screenText ? *input.screenText : MeasurePlotText(QFontMetrics(PlotFont()));
  return WriteReportDocument(path, title, error, [&](ReportDocument& document) {
    ReportLayout& layout = document.layout;
    layout.page_count = 1;
    layout.page_no = 1;
    QPainter& surface = document.Surface();
    draw_page_header(surface, layout, title, facts);
    SetReportFont(surface, kPlotLabelFontHeight);
    PlotGeometry geometry = PlotPageGeometry(layout, input.image, screenText);
    DrawPlot(surface, geometry, input.plot);
  });
}

}  // namespace kvn

#include "reports/report_commands.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLocale>

#include "parameters/file_dialogs.h"
#include "parameters/form/find_control.h"
#include "reports/config_report.h"
#include "reports/plot_report.h"
#include "reports/report_page.h"
#include "texts/containers.h"
#include "texts/prompts.h"
#include "texts/texts.h"
#include "ui/plot_canvas.h"

namespace kvn {
namespace {

constexpr int kMsgNoPagesSelected = 65;  // "No configuration blocks selected for report"

enum ReportText {
  kConfigTitle = 2,    // "Korvane configuration report"
  kReportSaved = 10,
  kReportFileType = 11,
  kReportDialogTitle = 12,
  kPlotFileType = 13,
  kPlotDialogTitle = 14,
  kPlotSaved = 15,
  kPlotTitle = 16,     // "Korvane plot report"
};

const QString kPdfExtension = QStringLiteral("pdf");

QString SerialNumberShown(const QWidget& window) {
  const auto* label = qobject_cast<const QLabel*>(
      FindControl(window, QStringLiteral("lbl_serial_num"), container::Status));
  return label ? label->text() : QString();
}

// Points the shared geometry back at the screen and lets the poll redraw again, however the
// report ended.
class SuspendedPlotDrawing {
 public:
  SuspendedPlotDrawing(SpeedPlot& plot, PlotCanvas* canvas) : plot_(plot), canvas_(canvas) {
    plot_.drawing_suspended = true;
  }
  ~SuspendedPlotDrawing() {
    if (canvas_) canvas_->ComputeGeometry();
    plot_.drawing_suspended = false;
  }
  SuspendedPlotDrawing(const SuspendedPlotDrawing&) = delete;
  SuspendedPlotDrawing& operator=(const SuspendedPlotDrawing&) = delete;

 private:
  SpeedPlot& plot_;
  PlotCanvas* canvas_;
};

}  // namespace

void Reports::cmd_out_reportClick() {
  const std::vector<int> pages = SelectedReportPages(s_.window);
  if (pages.empty()) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgNoPagesSelected));
    return;
  }
  const QString path = AskSaveFileName(s_.prompts, s_.texts.GetReportText(kReportFileType),
                                       s_.texts.GetReportText(kReportDialogTitle), kPdfExtension);
  if (path.isEmpty()) return;
  if (write_config_report(path, pages)) s_.prompts.ShowInfo(s_.texts.GetReportText(kReportSaved));
}

bool Reports::write_config_report(const QString& path, const std::vector<int>& pages) {
  // The rows are read first: the window as it is when the engineer asked for the report.
  std::vector<ReportPageRows> rows;
  for (int page : pages) rows.push_back(BuildReportPage(s_.window, s_.texts, page));
  const QString title = s_.texts.GetReportText(kConfigTitle);
  const ReportHeaderFacts facts = HeaderFacts(s_.texts, s_.now(), SeparatorsOf(QLocale::system()),
                                              SerialNumberShown(s_.window));
  return write_report_file({s_.prompts, s_.texts}, path, title, [&](ReportDocument& document) {
    ReportLayout& layout = document.layout;
    layout.page_count = static_cast<int>(rows.size());
    layout.page_no = 1;
    for (const ReportPageRows& page : rows) {
      QPainter& surface = layout.page_no == 1 ? document.Surface() : next_report_page(document);
      draw_page_header(surface, layout, title, facts);
      DrawReportRows(surface, layout, page.rows);
      ++layout.page_no;
    }
  });
}

void Reports::cmd_plot_pdfClick() {
  const QString path = AskSaveFileName(s_.prompts, s_.texts.GetReportText(kPlotFileType),
                                       s_.texts.GetReportText(kPlotDialogTitle), kPdfExtension);
  if (path.isEmpty()) return;
  // The poll keeps running behind the overwrite question and the information box; it must not
  // draw the screen with the page's geometry.
  const SuspendedPlotDrawing suspended(s_.plot, s_.canvas());
  if (write_plot_report(path)) s_.prompts.ShowInfo(s_.texts.GetReportText(kPlotSaved));
}

bool Reports::write_plot_report(const QString& path) {
  const QString title = s_.texts.GetReportText(kPlotTitle);
  const ReportHeaderFacts facts = HeaderFacts(s_.texts, s_.now(), SeparatorsOf(QLocale::system()),
                                              SerialNumberShown(s_.window));
  const PlotCanvas* canvas = s_.canvas();
  const QSize image = canvas ? canvas->size() : PlotCanvas::kDesignSize;
  const PlotTextExtents screenText =
      canvas ? canvas->TextExtents() : MeasurePlotText(QFontMetrics(PlotFont()));
  return write_report_file({s_.prompts, s_.texts}, path, title, [&](ReportDocument& document) {
    ReportLayout& layout = document.layout;
    layout.page_count = 1;
    layout.page_no = 1;
    QPainter& surface = document.Surface();
    draw_page_header(surface, layout, title, facts);
    SetReportFont(surface, kPlotLabelFontHeight);
    s_.plot.geometry = PlotPageGeometry(layout, image, screenText);
    DrawPlot(surface, s_.plot.geometry, s_.plotInputs);
  });
}

}  // namespace kvn

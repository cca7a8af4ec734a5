#include "ui/report_commands.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <memory>

#include "parameters/file_dialogs.h"
#include "parameters/form/find_control.h"
#include "parameters/form/parameter_form.h"
#include "texts/containers.h"
#include "texts/prompts.h"
#include "texts/texts.h"
#include "ui/plot_canvas.h"

namespace kvn {
namespace {

constexpr int kMsgNoPagesSelected = 65;  // "No configuration blocks selected for report"

enum ReportText {
  kReportSaved = 10,
  kReportFileType = 11,
  kReportDialogTitle = 12,
  kPlotFileType = 13,
  kPlotDialogTitle = 14,
  kPlotSaved = 15,
};

const QString kPdfExtension = QStringLiteral("pdf");

// The REPORT page's check box of a parameter page.
const char* PageBoxOf(int page) {
  switch (page) {
    case container::Device: return "chk_rep_device";
    case container::Measure: return "chk_rep_meas";
    case container::Output: return "chk_rep_output";
    case container::Diag: return "chk_rep_diag";
    default: return nullptr;
  }
}

// The screen plot is not redrawn from the chosen file to the last box, and gets its own
// geometry back however the report ended (a resize meanwhile left it alone).
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

// Asks before an existing file is replaced, then writes; a failure is shown.
bool WriteAfterAsking(Prompts& prompts, const Texts& texts, const QString& path,
                      const std::function<bool(QString*)>& write) {
  if (!ConfirmOverwrite(prompts, texts, path)) return false;
  QString error;
  if (write(&error)) return true;
  prompts.ShowError(error);
  return false;
}

}  // namespace

std::vector<int> SelectedReportPages(const QWidget& window) {
  std::vector<int> pages;
  for (int page : ReportPageOrder()) {
    const char* name = PageBoxOf(page);
    const auto* box = name ? qobject_cast<const QCheckBox*>(FindControl(window, QLatin1String(name), container::Report))
                           : nullptr;
    if (box && box->isChecked()) pages.push_back(page);
  }
  return pages;
}

QString Reports::SerialNumberShown() const {
  const auto* label = qobject_cast<const QLabel*>(
      FindControl(s_.window, QStringLiteral("lbl_serial_num"), container::Status));
  return label ? label->text() : QString();
}

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
  // The set and the header as they are when the engineer asked, not after the overwrite box.
  const auto set = std::make_unique<RegisterImage>(s_.set);
  const ConfigReportInput input{*set,
                                s_.texts,
                                s_.numbers,
                                pages,
                                SerialNumberShown(),
                                s_.now(),
                                SeparatorsOf(QLocale::system()),
                                s_.form.RowsShownEmpty()};
  return WriteAfterAsking(s_.prompts, s_.texts, path, [&](QString* error) {
    return WriteConfigurationReport(path, input, error);
  });
}

void Reports::cmd_plot_pdfClick() {
  const QString path = AskSaveFileName(s_.prompts, s_.texts.GetReportText(kPlotFileType),
                                       s_.texts.GetReportText(kPlotDialogTitle), kPdfExtension);
  if (path.isEmpty()) return;
  // The poll keeps running behind the overwrite question and the information box.
  const SuspendedPlotDrawing suspended(s_.plot, s_.canvas());
  if (write_plot_report(path)) s_.prompts.ShowInfo(s_.texts.GetReportText(kPlotSaved));
}

bool Reports::write_plot_report(const QString& path) {
  const PlotCanvas* canvas = s_.canvas();
  PlotReportInput input{s_.plotInputs, s_.texts, SerialNumberShown(), s_.now(),
                        SeparatorsOf(QLocale::system())};
  if (canvas) {
    input.image = canvas->size();
    input.screenText = canvas->TextExtents();
  }
  return WriteAfterAsking(s_.prompts, s_.texts, path, [&](QString* error) {
    return WritePlotReport(path, input, error);
  });
}

}  // namespace kvn

#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

#include "device_link/register_image.h"
#include "reports/config_report.h"
#include "reports/plot_report.h"
#include "reports/speed_plot.h"

class QWidget;

namespace kvn {

class NumberFormat;
class ParameterForm;
class PlotCanvas;
class Prompts;
class Texts;

// The report check boxes of the REPORT page that are ticked, in the fixed page order.
std::vector<int> SelectedReportPages(const QWidget& window);

// The window's two PDF report commands: the configuration report of the REPORT page and the
// plot report of the PROCESS DATA page. They gather what the window shows (the set in
// EditImage and the fields left empty, the ticked pages, the serial number label, the screen
// plot's size) and hand it to the reports, which draw from it and change nothing; the window
// asks the questions and shows the outcome.
class Reports {
 public:
  struct Services {
    Prompts& prompts;
    const Texts& texts;
    const QWidget& window;
    const RegisterImage& set;      // EditImage
    const ParameterForm& form;     // which fields the engineer left empty
    const NumberFormat& numbers;
    SpeedPlot& plot;
    PlotInputs plotInputs;
    // img_plot, made later in the start-up than the operations; nullptr in a window without it.
    std::function<PlotCanvas*()> canvas;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
  };
  explicit Reports(Services services) : s_(std::move(services)) {}

  void cmd_out_reportClick();
  void cmd_plot_pdfClick();

  // The report of these parameter pages (container codes, in page order) to path, asking
  // before an existing file is replaced; false when nothing was written.
  bool write_config_report(const QString& path, const std::vector<int>& pages);
  bool write_plot_report(const QString& path);

 private:
  QString SerialNumberShown() const;

  Services s_;
};

}  // namespace kvn

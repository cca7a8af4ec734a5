#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

#include "ui/speed_plot.h"

class QWidget;

namespace kvn {

class PlotCanvas;
class Prompts;
class Texts;

// The two PDF reports of the window: the configuration report of the REPORT page and the plot
// report of the PROCESS DATA page. Both read the window and the plot and change nothing but
// the plot's drawing-suspended flag, which the plot report holds while the shared plot
// geometry describes its page.
class Reports {
 public:
  struct Services {
    Prompts& prompts;
    const Texts& texts;
    const QWidget& window;
    SpeedPlot& plot;
    PlotInputs plotInputs;
    // img_plot, made later in the start-up than the operations; nullptr in a window without it.
    std::function<PlotCanvas*()> canvas;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
  };
  explicit Reports(Services services) : s_(std::move(services)) {}

  void cmd_out_reportClick();
  void cmd_plot_pdfClick();

  // The report of these parameter pages (container codes, in page order) to path; false when
  // nothing was written.
  bool write_config_report(const QString& path, const std::vector<int>& pages);
  bool write_plot_report(const QString& path);

 private:
  Services s_;
};

}  // namespace kvn

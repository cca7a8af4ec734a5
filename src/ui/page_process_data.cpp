#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPixmap>

#include "ui/page_builder.h"
#include "ui/pages.h"
#include "ui/theme.h"

namespace kvn {

namespace {

using namespace pages;

constexpr int kValueColumn = 104;

constexpr Column kMeasureColumns[] = {
    {"lbl_proc_cur_val", "Current value", kValueColumn},
    {"lbl_proc_min", "Minimum", kValueColumn},
    {"lbl_proc_max", "Maximum", kValueColumn},
};

constexpr Row kMeasureRows[] = {
    {"proc_speed", "Speed",
     {Value("lbl_proc_speed_val"), Value("lbl_proc_speed_min"), Value("lbl_proc_speed_max"),
      Unit("lbl_u_proc_speed", "RPM")}},
    {"proc_acc", "Acceleration",
     {Value("lbl_proc_acc_val"), Value("lbl_proc_acc_min"), Value("lbl_proc_acc_max"),
      Unit("lbl_u_proc_acc", "RPM/s")}},
    {"proc_freq", "Input frequency", {Value("lbl_proc_freq_val"), Unit("lbl_u_proc_freq", "Hz")}},
    {"proc_aout", "Analog output", {Value("lbl_proc_aout_val"), Unit("lbl_u_proc_aout", "mA")}},
    {"proc_aofb", "Output feedback", {Value("lbl_proc_aofb_val"), Unit("lbl_u_proc_aofb", "mA")}},
    {"ppt_input", "Remote test and reset input", {Value("lbl_ppt_input_stat")}},
};

constexpr Control kCommands[] = {
    Button("cmd_clr_minmax", "Clear Min/Max", kDisabled),
    Button("cmd_ppt_on", "Test and reset ON", kDisabled),
    Button("cmd_ppt_pulse", "Test and reset pulse", kDisabled),
};

constexpr Control kPlotCommands[] = {
    Button("cmd_plot_pdf", "Generate PDF plot report"),
    Check("chk_stop_acq", kNone, "Stop data acquisition"),
};

constexpr Column kOutputColumns[] = {
    {"lbl_proc_rel1", "Relay 1", kValueColumn}, {"lbl_proc_rel2", "Relay 2", kValueColumn},
    {"lbl_proc_rel3", "Relay 3", kValueColumn}, {"lbl_proc_rel4", "Relay 4", kValueColumn},
    {"lbl_proc_pst", "Digital output", kValueColumn},
};

constexpr Row kOutputRows[] = {
    {"proc_vmax", "Overspeed alarm",
     {Value("lbl_proc_vmax_1"), Value("lbl_proc_vmax_2"), Value("lbl_proc_vmax_3"),
      Value("lbl_proc_vmax_4"), Value("lbl_proc_vmax_5")}},
    {"proc_vmin", "Underspeed alarm",
     {Value("lbl_proc_vmin_1"), Value("lbl_proc_vmin_2"), Value("lbl_proc_vmin_3"),
      Value("lbl_proc_vmin_4"), Value("lbl_proc_vmin_5")}},
    {"proc_amax", "Acceleration alarm",
     {Value("lbl_proc_acc_1"), Value("lbl_proc_acc_2"), Value("lbl_proc_acc_3"),
      Value("lbl_proc_acc_4"), Value("lbl_proc_acc_5")}},
    {"proc_selfchk", "Diagnostics alarm",
     {Value("lbl_proc_diag_1"), Value("lbl_proc_diag_2"), Value("lbl_proc_diag_3"),
      Value("lbl_proc_diag_4"), Value("lbl_proc_diag_5")}},
    {"proc_pptest", "Test and reset",
     {Value("lbl_proc_ppt_1"), Value("lbl_proc_ppt_2"), Value("lbl_proc_ppt_3"),
      Value("lbl_proc_ppt_4"), Value("lbl_proc_ppt_5")}},
    {"proc_contact", "Output status",
     {Value("lbl_proc_out_1"), Value("lbl_proc_out_2"), Value("lbl_proc_out_3"),
      Value("lbl_proc_out_4"), Value("lbl_proc_out_5")}},
};

// Holds the plot's place on the page, an empty framed canvas, until the speed plot's own
// canvas is installed in its stead.
QLabel* MakePlotImage(QWidget& page) {
  auto* image = new QLabel(&page);
  image->setObjectName(QStringLiteral("img_plot"));
  image->setFixedSize(kPlotImageWidth, kPlotImageHeight);
  QPixmap canvas(kPlotImageWidth, kPlotImageHeight);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  painter.setPen(theme::kBorderColor);
  painter.drawRect(canvas.rect().adjusted(0, 0, -1, -1));
  painter.end();
  image->setPixmap(canvas);
  return image;
}

}  // namespace

void BuildProcessDataPage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_process_data", "Process data");
  b.Table("gpl_proc_meas", kMeasureColumns, kMeasureRows);
  b.ButtonStack(kCommands);
  b.Heading("lbl_process_dout", "Digital outputs");
  b.Table("gpl_proc_dout", kOutputColumns, kOutputRows);

  // The plot commands come first, on a line of their own, then the plot under its heading.
  b.Gap(4);
  b.ButtonLine(kPlotCommands);
  b.Heading("lbl_process_plot", "Speed plot");
  b.Add(MakePlotImage(page));
  b.Finish();
}

QWidget* InstallPlotImage(QWidget& page, QWidget* canvas) {
  QWidget* placeholder = page.findChild<QWidget*>(QStringLiteral("img_plot"));
  if (placeholder == nullptr || canvas == nullptr || placeholder == canvas) return nullptr;
  canvas->setParent(&page);
  canvas->setObjectName(QStringLiteral("img_plot"));
  canvas->setFixedSize(kPlotImageWidth, kPlotImageHeight);
  QLayoutItem* old = page.layout()->replaceWidget(placeholder, canvas);
  delete old;
  delete placeholder;
  canvas->show();
  return canvas;
}

}  // namespace kvn

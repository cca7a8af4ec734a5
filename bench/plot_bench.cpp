// Time to draw the whole speed plot from scratch, as the poll does every tick, on a 900 x 400
// image. Prints the mean time per draw and its ratio to the 2 ms budget (below 1 is good).
// With a file name as argument it also saves the drawn picture there as PNG.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <memory>

#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "reports/speed_plot.h"

namespace {

constexpr double kBudgetMs = 2.0;
constexpr int kWarmUp = 20;
constexpr int kDraws = 2000;

// A realistic picture: rated 1500, a run-up with a dropout, two limit markers.
void PrepareRealisticPlot(kvn::RegisterImages& images, kvn::LocSetupRec& rec,
                          kvn::SampleRing& ring) {
  kvn::WriteFloat(images.DeviceImage, kvn::ParamRegs().ratedSpeed, 1500.0f);
  kvn::WriteFloat(images.DeviceImage, kvn::ParamRegs().overspeedLimit1, 1650.0f);
  kvn::WriteFloat(images.DeviceImage, kvn::ParamRegs().underspeedLimit1 + 2, 300.0f);
  rec.diag_max_act[0] = true;
  rec.diag_min_act[1] = true;
  rec.diag_max_col[0] = 255;       // red
  rec.diag_min_col[1] = 32768;     // green
  rec.diag_max_thk[0] = 1;
  rec.diag_speed_col = 0;          // black
  rec.diag_speed_thk = 1;
  rec.diag_rated_col = 8388736;    // purple
  for (int i = 0; i < kvn::kPlotSlots; ++i) {
    const bool dropout = i >= 70 && i < 76;
    const float ramp = std::min(1550.0f, 25.0f * float(i));
    const float ripple = 20.0f * std::sin(float(i) * 0.7f);
    ring.AppendSample(dropout ? kvn::kNoSample : std::max(0.0f, ramp + ripple));
  }
}

void Draw(QImage& image, kvn::PlotGeometry& geometry, const kvn::PlotInputs& inputs) {
  QPainter painter(&image);
  painter.setFont(kvn::PlotFont());
  painter.setBrush(Qt::white);
  kvn::DrawPlot(painter, geometry, inputs);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  auto images = kvn::MakeRegisterImages();
  kvn::LocSetupRec rec;
  kvn::SampleRing ring;
  PrepareRealisticPlot(*images, rec, ring);
  const kvn::NumberFormat numbers(QLatin1Char('.'));
  const kvn::PlotInputs inputs{images->DeviceImage, rec, ring, numbers};

  QImage image(900, 400, QImage::Format_RGB32);
  kvn::PlotGeometry geometry = kvn::ComputePlotGeometry(image);
  for (int i = 0; i < kWarmUp; ++i) Draw(image, geometry, inputs);

  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < kDraws; ++i) Draw(image, geometry, inputs);
  const double per_draw_ms = double(timer.nsecsElapsed()) / 1e6 / kDraws;

  std::printf("plot draw 900x400: %.3f ms per draw over %d draws, ratio to %.1f ms budget: %.3f\n",
              per_draw_ms, kDraws, kBudgetMs, per_draw_ms / kBudgetMs);
  if (argc > 1 && !image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "could not write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

// The real poll of the program, on its timer, against the simulator (its own process) pacing
// 115200 8N1, for a while (60 s unless a number of seconds is given). Prints ratios measured in this run:
//   CPU of the GUI thread per second of polling, as a share of one core (target < 0.5 %)
//   longest time one poll blocked the GUI thread over that poll's wire time (target <= 1.1)
//   time to draw the plot over the 2 ms target (target < 1)
#include <time.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "sim_process.h"
#include "app/application.h"
#include "device_link/pause.h"
#include "ui/live_data.h"
#include "support/work_dir.h"
#include "ui/plot_canvas.h"
#include "support/recording_prompts.h"

namespace {

double ThreadCpu() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// A good poll after the first: block 9 twice, then blocks 10..13 (registers per read).
constexpr int kGoodPoll[] = {26, 26, 13, 63, 44, 26};

// Wire time of a poll's reads: request and answer bytes plus both 3.5-character gaps, at 10
// bits a character.
template <size_t N>
double WireSeconds(const int (&counts)[N], int baud) {
  const double character = 10.0 / baud;
  double total = 0;
  for (int count : counts) total += (8 + 5 + 2 * count + 7) * character;
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  constexpr int kBaud = 115200;

  // The device in its own process, paced at the USB line's character time.
  kvn::bench::ProgramOnSimulator program;
  if (!program.app) return 1;
  kvn::Application& app = *program.app;
  QTimer& timer = *app.Window().Timer1;
  // The program's own timer drives the poll; each tick is timed from outside by a second
  // connection made before and after it (Qt calls slots in connection order).
  QObject::disconnect(&timer, &QTimer::timeout, nullptr, nullptr);
  double worstRatio = 0, worstMs = 0;
  int polls = 0;
  double pollCpu = 0;  // inside the poll handler itself
  std::vector<double> ratios;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QElapsedTimer t;
    t.start();
    const double c = ThreadCpu();
    app.live->PollDevice();
    pollCpu += ThreadCpu() - c;
    const double ms = t.nsecsElapsed() / 1e6;
    const double wire = WireSeconds(kGoodPoll, kBaud) * 1e3;
    if (polls++ > 0 && wire > 0) {  // the first poll also reads the parameter blocks
      worstRatio = std::max(worstRatio, ms / wire);
      worstMs = std::max(worstMs, ms);
      ratios.push_back(ms / wire);
    }
  });
  // The same window with the poll timer stopped, for comparison: what the window costs
  // by itself (cursor blink, event loop).
  auto runLoop = [&](int ms) {
    const double c0 = ThreadCpu();
    QElapsedTimer w;
    w.start();
    // exit(), not quit(): quit() would ask the window to close, and the window asks first.
    QTimer::singleShot(ms, &qt, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    return std::pair{(ThreadCpu() - c0) / (w.nsecsElapsed() / 1e9), w.nsecsElapsed() / 1e9};
  };
  timer.stop();
  const double idleShare = runLoop(10000).first;
  timer.start();
  const auto [cpuShare, wallSeconds] = runLoop(seconds * 1000);
  program.sim->terminate();
  program.sim->waitForFinished(3000);

  // The plot as the screen draws it, on an image of the canvas's size.
  QImage image(app.canvas->size(), QImage::Format_ARGB32_Premultiplied);
  kvn::PlotGeometry geometry = kvn::ComputePlotGeometry(image);
  const kvn::PlotInputs inputs{app.images->DeviceImage, app.setup, app.plot.samples, app.codec};
  constexpr int kDraws = 300;
  QElapsedTimer draw;
  draw.start();
  for (int i = 0; i < kDraws; ++i) {
    QPainter painter(&image);
    painter.setBrush(Qt::white);
    painter.setFont(kvn::PlotFont());
    kvn::DrawPlot(painter, geometry, inputs);
  }
  const double drawMs = draw.nsecsElapsed() / 1e6 / kDraws;

  std::printf("poll_bench: %d s of polling at 115200 8N1, %d polls\n", seconds, polls);
  std::printf("  GUI-thread CPU per second of polling   %.3f %% of one core  (target < 0.5 %%)\n", 100 * cpuShare);
  std::printf("  of which inside the poll handler       %.3f %% of one core\n", 100 * pollCpu / wallSeconds);
  std::printf("  same window, timer stopped             %.3f %% of one core\n", 100 * idleShare);
  std::sort(ratios.begin(), ratios.end());
  auto quantile = [&](double q) { return ratios.empty() ? 0.0 : ratios[static_cast<size_t>(q * (ratios.size() - 1))]; };
  std::printf("  poll / its wire time: median %.3f, 95th percentile %.3f\n", quantile(0.5), quantile(0.95));
  std::printf("  longest poll / its wire time           %.3f  (%.1f ms; target <= 1.1)\n", worstRatio, worstMs);
  std::printf("  plot draw time / 2 ms                  %.3f  (%.3f ms on %dx%d)\n", drawMs / 2.0, drawMs,
              image.width(), image.height());
  if (!program.prompts.NothingShown()) std::printf("boxes shown:\n%s\n", qPrintable(program.prompts.Describe()));
  return 0;
}

// Time to write the two PDF reports of the program and their file sizes, against the
// simulator (its own process) after a parameter read and a few polls: the four-page
// configuration report (targets: under 150 ms, under 100 KB) and the plot report (targets:
// under 50 ms, under 60 KB), each with its embedded font. Prints the best mean of three rounds
// and the ratio to the target (below 1 is good). With a folder as argument the two reports
// are also left there (config_report.pdf, plot_report.pdf).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "sim_process.h"
#include "app/application.h"
#include "device_link/pause.h"
#include "operations/connection.h"
#include "ui/live_data.h"
#include "ui/report_commands.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"
#include "texts/containers.h"
#include "ui/plot_canvas.h"

namespace {

constexpr int kRounds = 3;
constexpr int kWrites = 20;

struct Figures {
  double ms = 1e9;
  qint64 bytes = 0;
};

// Best mean time of one write, the file removed between writes (outside the timing) so no
// overwrite question is asked.
Figures MeasureWrites(const QString& path, const std::function<bool(const QString&)>& write) {
  Figures f;
  for (int round = 0; round < kRounds; ++round) {
    qint64 total = 0;
    for (int i = 0; i < kWrites; ++i) {
      QFile::remove(path);
      QElapsedTimer clock;
      clock.start();
      if (!write(path)) std::fprintf(stderr, "write failed: %s\n", qPrintable(path));
      total += clock.nsecsElapsed();
    }
    f.ms = std::min(f.ms, double(total) / kWrites / 1e6);
  }
  f.bytes = QFileInfo(path).size();
  return f;
}

void Print(const char* name, const Figures& f, double targetMs, double targetKb) {
  std::printf("  %-28s %7.2f ms (%.3f of %.0f ms)   %7.1f KB (%.3f of %.0f KB)\n", name, f.ms,
              f.ms / targetMs, targetMs, f.bytes / 1024.0, f.bytes / 1024.0 / targetKb, targetKb);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  kvn::bench::ProgramOnSimulator program;
  if (!program.app) return 1;
  kvn::Application& app = *program.app;
  program.ReadDevice();
  for (int i = 0; i < 40; ++i) app.live->PollDevice();  // twenty seconds of curve

  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : program.base.path();
  QDir().mkpath(out);
  namespace c = kvn::container;
  const Figures config = MeasureWrites(out + QStringLiteral("/config_report.pdf"), [&](const QString& p) {
    return app.reports->write_config_report(p, {c::Device, c::Measure, c::Output, c::Diag});
  });
  const Figures plot = MeasureWrites(out + QStringLiteral("/plot_report.pdf"), [&](const QString& p) {
    const bool ok = app.reports->write_plot_report(p);
    app.canvas->ComputeGeometry();
    return ok;
  });
  std::printf("report_bench: best of %d rounds of %d writes, fonts embedded\n", kRounds, kWrites);
  Print("configuration report, 4 pages", config, 150.0, 100.0);
  Print("plot report, 1 page", plot, 50.0, 60.0);
  return program.prompts.TextsOf(kvn::RecordingPrompts::Kind::Error).isEmpty() ? 0 : 1;
}

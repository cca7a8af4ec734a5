// Loading a full event log (3000 entries, 300 requests of 50 registers) through the program's
// own button against the simulator pacing 115200 8N1, and the same read by the log's core alone
// (as the command line reads it, no window). Prints ratios measured in this run:
//   whole load / the wire time of its requests and answers (target <= 1.05)
//   the core's read / the wire time, and the window's load / the core's read
//   time to fill the grid with the 3000 rows over the 100 ms target (target < 1)
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/application.h"
#include "device_link/pause.h"
#include "devsim/pty_device.h"
#include "operations/event_log.h"
#include "ui/live_data.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"
#include "texts/containers.h"

namespace {

constexpr int kBaud = 115200;
constexpr int kRuns = 5;

// On a real line: request (8 bytes) and answer (5 + 2 per register) at 10 bits a character,
// each followed by its 3.5-character gap.
double WireMs(int registers) { return (8 + 5 + 2 * registers + 7) * 10.0 / kBaud * 1e3; }
// What the simulator paces on the pseudo-terminal, which delivers the request at once: the
// gap before the answer and the answer. The load's own overhead shows against this.
double PacedMs(int registers) { return (3.5 + 5 + 2 * registers) * 10.0 / kBaud * 1e3; }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  kvn::devsim::SimOptions options;
  options.model.usb = true;
  options.model.eventCapacity = 3100;
  options.pacing = {kBaud, 10};
  kvn::devsim::PtyDevice sim(options);
  sim.WithModel([](kvn::devsim::DeviceModel& m) {
    m.ForceSpeed(1500.0f);
    m.Advance(2000);
    m.Events().Clear();
    for (uint32_t i = 0; i < 3050; ++i)
      m.Events().AddRaw(m.DeviceClock() - 5000 + i, static_cast<uint8_t>(i % 24 + 1), i * 7);
    return 0;
  });

  QTemporaryDir base;
  kvn::test::PrepareWorkDirectory(base.path(), QString::fromStdString(sim.SlavePath()));
  kvn::RecordingPrompts prompts;
  kvn::Pause pause;
  kvn::Application app(prompts, pause, {base.path(), QLatin1Char('.')});
  kvn::TMain_Form& w = app.Window();
  w.Timer1->stop();
  w.show();
  w.ShowPage(w.pg_ctrl1->indexOf(w.Page(kvn::container::Log)));
  app.live->PollDevice();
  auto* button = w.findChild<QPushButton*>(QStringLiteral("cmd_load_log"));
  if (!button || !button->isEnabled()) {
    std::fprintf(stderr, "the program did not accept the simulated device\n%s\n", qPrintable(prompts.Describe()));
    return 1;
  }

  double wire = WireMs(2), paced = PacedMs(2);  // the device clock
  for (int block = 0; block < 300; ++block) {
    wire += WireMs(50);
    paced += PacedMs(50);
  }

  kvn::EventLog core(kvn::EventLog::Services{app.master, app.texts, prompts,
                                              kvn::LocaleEventFormats(QLatin1Char('.'))});
  std::vector<double> loads, fills, coreReads;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer t;
    t.start();
    button->click();
    loads.push_back(t.nsecsElapsed() / 1e6);
    w.Timer1->stop();
    t.restart();
    app.eventLogPage->FillGrid();
    fills.push_back(t.nsecsElapsed() / 1e6);
    t.restart();
    if (!core.Load(app.setup.addr)) return 1;
    coreReads.push_back(t.nsecsElapsed() / 1e6);
  }
  const size_t entries = app.eventLog->Entries().size();
  const double load = Median(loads), fill = Median(fills), coreRead = Median(coreReads);
  std::printf("event_log_bench: %zu entries at 115200 8N1, median of %d loads\n", entries, kRuns);
  std::printf("  wire time of 301 requests and answers   %.1f ms\n", wire);
  std::printf("  whole load (button click)               %.1f ms (best %.1f, worst %.1f)\n", load,
              *std::min_element(loads.begin(), loads.end()), *std::max_element(loads.begin(), loads.end()));
  std::printf("  whole load / wire time                  %.3f  (target <= 1.05)\n", load / wire);
  std::printf("  the core's read alone (no window)       %.1f ms  -> %.3f of the wire time\n", coreRead,
              coreRead / wire);
  std::printf("  window's load / the core's read         %.3f\n", load / coreRead);
  std::printf("  grid fill, 3000 rows                    %.1f ms  -> %.3f of 100 ms (target < 1)\n", fill, fill / 100.0);
  std::printf("  whole load / the simulator's paced part  %.3f  (answers and their gaps, %.1f ms)\n",
              load / paced, paced);
  if (!prompts.NothingShown()) std::printf("boxes shown:\n%s\n", qPrintable(prompts.Describe()));
  return entries == 3000 && core.Entries().size() == 3000 ? 0 : 1;
}

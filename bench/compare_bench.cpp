// Comparing and keeping the device's set, with the whole program against the simulator in its
// own process, pacing 115200 8N1. Prints, measured side by side in this run:
//   "Compare with device" (read into a scratch image, difference list, window shown) over the
//   wire time of the blocks it reads (target <= 1.05);
//   the difference list of two full parameter sets that differ everywhere (target < 1 ms);
//   what a write operation adds to a session: the backup (identification and stored blocks
//   read, committed to the records when they changed) and the outcome's commit (difference
//   list, message, commit), over the backup's read wire time plus 20 ms (target <= 1).
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "sim_process.h"
#include "app/application.h"
#include "device_link/pause.h"
#include "operations/comparison.h"
#include "operations/connection.h"
#include "operations/change_record.h"
#include "operations/device_backup.h"
#include "ui/live_data.h"
#include "parameters/config_file.h"
#include "parameters/difference_list.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "support/recording_prompts.h"
#include "support/work_dir.h"

namespace {

constexpr int kBaud = 115200;

// One read at 10 bits a character: request, answer and both 3.5-character gaps.
double ReadMs(int count) { return (8 + 5 + 2 * count + 7) * 10.0 / kBaud * 1e3; }

// The stored blocks as the reads go, 125 registers at most each.
double StoredBlocksWireMs() {
  double ms = 0;
  for (const kvn::BlockDescriptor& b : kvn::BlockTable) {
    if (!kvn::IsStoredBlock(b)) continue;
    for (int left = b.count; left > 0; left -= 125) ms += ReadMs(std::min(left, 125));
  }
  return ms;
}

struct Ratio {
  double sum = 0, worst = 0;
  int n = 0;
  void Add(double r) { sum += r; worst = std::max(worst, r); ++n; }
  double Mean() const { return n ? sum / n : 0; }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 10;

  kvn::bench::ProgramOnSimulator program;
  if (!program.app) return 1;
  kvn::Application& app = *program.app;
  kvn::RecordingPrompts& prompts = program.prompts;
  program.ReadDevice();
  // One limit typed in the window: the comparison has a row to show (an equal pair is a box).
  const int limit = kvn::RegisterOfName("txt_vmax_lim_1");
  kvn::WriteFloat(app.images->EditImage, limit, kvn::ReadFloat(app.images->EditImage, limit) + 10.0f);

  const double compareWire = StoredBlocksWireMs();
  const double backupWire = compareWire + ReadMs(26);  // and the identification block
  Ratio compare, backup;
  std::vector<kvn::BlockDescriptor> stored;  // what a full write gives the device
  for (const kvn::BlockDescriptor& b : kvn::BlockTable)
    if (kvn::IsStoredBlock(b)) stored.push_back(b);
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer t;
    t.start();
    app.comparison->men_file_cmp_devClick();
    compare.Add(t.nsecsElapsed() / 1e6 / compareWire);
    app.Window().Timer1->stop();  // the handler starts the poll again; it stays off here

    // What a write operation adds to a session: the backup before it, the outcome's commit after.
    kvn::ChangeRecord record({app.blocks, prompts, app.texts, app.codec, app.WorkDir(), QLatin1Char(','),
                              [run] { return QDateTime::currentDateTime().addSecs(run); }});
    t.restart();
    record.Begin(QStringLiteral("Program device settings"));
    const bool kept = record.BeforeWrite();
    record.Record(QStringLiteral("Parameter update complete."), &app.images->EditImage, stored);
    if (kept && record.LastBackup().ok) backup.Add(t.nsecsElapsed() / 1e6 / (backupWire + 20.0));
  }

  // Two full sets that differ in every register of every stored block.
  auto other = std::make_unique<kvn::RegisterImage>(app.images->EditImage);
  for (const kvn::BlockDescriptor& b : kvn::BlockTable)
    if (kvn::IsStoredBlock(b))
      for (int r = b.start; r < b.start + b.count; ++r) (*other)[static_cast<size_t>(r)] += 1;
  constexpr int kLists = 1000;
  size_t rows = 0;
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < kLists; ++i) rows += kvn::DifferenceList(app.images->EditImage, *other, app.texts, app.codec).size();
  const double listMs = t.nsecsElapsed() / 1e6 / kLists;

  std::printf("compare_bench: 115200 8N1, %d runs\n", runs);
  std::printf("  compare with device / wire of the blocks read (%.1f ms): mean %.3f, worst %.3f  (target <= 1.05)\n",
              compareWire, compare.Mean(), compare.worst);
  std::printf("  difference list of two full sets (%zu rows): %.3f ms, / 1 ms: %.3f  (target < 1)\n",
              rows / kLists, listMs, listMs / 1.0);
  std::printf("  backup + history line / (the backup's read wire %.1f ms + 20 ms): mean %.3f, worst %.3f over %d  (target <= 1)\n",
              backupWire, backup.Mean(), backup.worst, backup.n);
  if (!prompts.NothingShown()) std::printf("boxes shown:\n%s\n", qPrintable(prompts.Describe()));
  return backup.n == runs ? 0 : 1;
}

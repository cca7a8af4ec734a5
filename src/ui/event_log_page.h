#pragma once
#include <QString>

#include "operations/event_log.h"

class QTableWidget;
class QTimer;
class QWidget;

namespace kvn {

class Prompts;
class Texts;
class Tload_log;
struct LocSetupRec;

// The EVENT LOG page over the event log: the load with its indicator window, the grid, the
// error-bit legend and the export's save dialog. The log itself (read, rows, CSV) is the
// core's; this only presents it.
class EventLogPage {
 public:
  struct Services {
    EventLog& log;
    const LocSetupRec& setup;  // the device's address at each load
    Prompts& prompts;
    const Texts& texts;
    QTimer& pollTimer;
    QWidget& page;       // holds grd_log and the legend
    QWidget& pages;      // takes the keyboard focus after a load
    Tload_log& indicator;
  };

  explicit EventLogPage(Services services) : s_(services) {}

  // Reads the log and shows it. The entries and the grid change together, and only when the
  // whole log was read.
  bool LoadEventLog();

  void cmd_load_logClick();
  // k: the grid row clicked, 0 for the header, entry k below it.
  void grd_logClick(int k);
  void cmd_export_logClick();

  // Rebuilds the grid from the log's rows.
  void FillGrid();

 private:
  QTableWidget* Grid() const;
  void ShowIndicator();
  bool ShowProgress(int entries);
  void HideIndicator();

  Services s_;
};

}  // namespace kvn

#include "ui/event_log_page.h"

#include <QLabel>
#include <QTableWidget>

#include "operations/device_transaction.h"
#include "parameters/file_dialogs.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "ui/load_log_window.h"
#include "ui/log_page.h"

namespace kvn {
namespace {

constexpr int kMsgLoadingBlock = 81;  // "Loading block "
constexpr int kRepLogFile = 17;       // "Event log file"
constexpr int kRepSaveLog = 18;       // "Save event log"
constexpr int kRepLogSaved = 19;      // "Event log saved"
const QString kCsvExtension = QStringLiteral("csv");

}  // namespace

QTableWidget* EventLogPage::Grid() const {
  return s_.page.findChild<QTableWidget*>(QStringLiteral("grd_log"));
}

void EventLogPage::ShowIndicator() {
  s_.indicator.lbl_load_log().clear();
  s_.indicator.ShowCentred();
}

bool EventLogPage::ShowProgress(int entries) {
  s_.indicator.SetProgressText(s_.texts.GetMessageText(kMsgLoadingBlock) + QString::number(entries));
  return true;  // the window's load has no cancel
}

void EventLogPage::HideIndicator() {
  s_.indicator.hide();
  s_.indicator.lbl_load_log().clear();
}

void EventLogPage::FillGrid() {
  QTableWidget* grid = Grid();
  if (!grid) return;
  const std::vector<QStringList> rows = s_.log.Rows();
  grid->setUpdatesEnabled(false);
  ResetLogGrid(*grid, s_.texts);
  // The header is the grid's own header row, so entry k sits in row k - 1.
  grid->setRowCount(static_cast<int>(rows.size()) - 1);
  for (size_t k = 1; k < rows.size(); ++k)
    for (int c = 0; c < event_log::kGridColumns; ++c)
      grid->setItem(static_cast<int>(k) - 1, c, new QTableWidgetItem(rows[k].value(c)));
  grid->setUpdatesEnabled(true);
}

bool EventLogPage::LoadEventLog() {
  const EventLogProgress progress{[this] { ShowIndicator(); },
                                  [this](int entries, int) { return ShowProgress(entries); }};
  if (!s_.log.Load(s_.setup.addr, progress)) {
    HideIndicator();
    return false;
  }
  FillGrid();
  return true;
}

void EventLogPage::cmd_load_logClick() {
  {
    const Hourglass wait;
    const PollTimerStopped noPoll(s_.pollTimer);
    LoadEventLog();
  }
  HideIndicator();
  s_.pages.setFocus(Qt::OtherFocusReason);
}

void EventLogPage::grd_logClick(int k) {
  uint32_t value = 0;
  const std::vector<EventEntry>& entries = s_.log.Entries();
  if (k >= 1 && k <= static_cast<int>(entries.size())) {
    const EventEntry& e = entries[static_cast<size_t>(k - 1)];
    if (EventValueFormat(e.code) == 'X') value = static_cast<uint32_t>(e.value);
  }
  HighlightErrorBits(s_.page, value);
}

void EventLogPage::cmd_export_logClick() {
  const QString name = AskSaveFileName(s_.prompts, s_.texts.GetReportText(kRepLogFile),
                                       s_.texts.GetReportText(kRepSaveLog), kCsvExtension);
  if (name.isEmpty() || !ConfirmOverwrite(s_.prompts, s_.texts, name)) return;
  if (s_.log.ExportEventLog(name)) s_.prompts.ShowInfo(s_.texts.GetReportText(kRepLogSaved));
}

}  // namespace kvn

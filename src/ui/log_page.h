#pragma once
#include <QTableWidget>
#include <cstdint>

#include "operations/event_log.h"
#include "ui/live_data.h"  // kErrorBits

namespace kvn {

class Texts;

// The event-log grid: five columns sized 12, 27, 40, 15 and 0 percent of the grid's width,
// so the fifth (the record check byte) is hidden. Its header is the table's header row, so
// grid row k - 1 holds entry k.
class LogGrid : public QTableWidget {
  Q_OBJECT

 public:
  static constexpr int kColumns = event_log::kGridColumns;
  explicit LogGrid(QWidget* parent);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SizeColumns();
};

// The log's header texts (EventLogHeader) and one empty row, as before any log is loaded.
void ResetLogGrid(QTableWidget& grid, const Texts& texts);

// Bold legend rows for the set error bits 0..24 of value, regular rows for the others.
void HighlightErrorBits(QWidget& logPage, uint32_t value);

}  // namespace kvn

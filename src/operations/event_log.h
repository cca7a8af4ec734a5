#pragma once
#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "operations/device_context.h"
#include "ui/window_controls.h"

class QTableWidget;

namespace kvn {

class ModbusMaster;
class Prompts;
class Texts;

namespace event_log {
inline constexpr int kRegistersPerRecord = 5;
inline constexpr int kRecordsPerRequest = 10;
inline constexpr int kRegistersPerRequest = kRegistersPerRecord * kRecordsPerRequest;  // 50
inline constexpr int kMaxEntries = 3000;
inline constexpr uint8_t kEndOfLog = 255;
inline constexpr int kFirstCode = 1;
inline constexpr int kLastCode = 24;
inline constexpr int kGridColumns = 5;  // entry, time, event, value, check byte (hidden)
inline constexpr int kExportedColumns = 4;
}  // namespace event_log

// One record of the device's log as loaded, in device order.
struct EventEntry {
  int32_t time = 0;   // device clock of the event, seconds
  int32_t value = 0;
  uint8_t code = 0;
  uint8_t check = 0;
  qint64 localMs = 0;  // the event time on the computer's clock, ms since the epoch
};

// The user's separators the log is shown and exported with, taken once at start.
struct EventFormats {
  QChar decimal = QLatin1Char('.');
  QChar date = QLatin1Char('/');
  QChar time = QLatin1Char(':');
  QChar list = QLatin1Char(',');
};

// Desktop locales separate lists with ";" where the decimal separator is ",", else with ",";
// QLocale has no list separator of its own.
QChar ListSeparatorFor(QChar decimal);
// Date and time separators of the user's locale, with that decimal separator.
EventFormats LocaleEventFormats(QChar decimal);

// Format letter of an event code's value: 'F', 'H', 'X', 'I'; 0 for a code outside 1..24.
char EventValueFormat(uint8_t code);

// Decodes the records of one answer (five registers each) after those already in entries,
// stopping at the end marker or when the log is full. localMs = pcNowMs + (time - deviceNow)
// seconds. Returns true when the end marker was met.
bool DecodeEventBlock(std::span<const int32_t> registers, int32_t deviceNow, qint64 pcNowMs,
                      std::vector<EventEntry>& entries);

// The texts of grid row k (1-based) for an entry: number, time, event, value, check byte.
std::array<QString, event_log::kGridColumns> EventRowTexts(int k, const EventEntry& entry,
                                                          const Texts& texts,
                                                          const EventFormats& formats);
QString EventTimeText(qint64 localMs, const EventFormats& formats);
QString EventValueText(uint8_t code, int32_t value, QChar decimal);

// CSV text of the grid's rows (header first): each of the first four columns followed by the
// separator, lines ending in CR LF, in the system's 8-bit encoding.
QByteArray EventLogCsv(const std::vector<QStringList>& rows, QChar separator);
// The same for the first `columns` fields of each row. With quote, a field holding the
// separator, a quote or a line break is quoted, its quotes doubled, so a spreadsheet keeps it in
// one cell (the event log's fields never hold its separator).
QByteArray CsvLines(const std::vector<QStringList>& rows, QChar separator, int columns, bool quote);

// Loading the device's event log into the grid of the EVENT LOG page, the error-bit legend
// beside it, and the export of the grid.
class EventLog {
 public:
  struct Services : DeviceContext {
    WindowControls controls;
    ModbusMaster& master;
    Prompts& prompts;
    EventFormats formats;
    // The indicator window: shown with an empty label, its label written, hidden and emptied.
    std::function<void()> showIndicator;
    std::function<void(const QString&)> indicatorText;
    std::function<void()> hideIndicator;
    std::function<void(QTableWidget&)> resetGrid;      // header and one empty row
    std::function<void(uint32_t)> highlightErrorBits;  // legend rows of the set bits bold
  };

  explicit EventLog(Services services) : s_(std::move(services)) {}

  // Reads the log and shows it. The entries and the grid change together, and only when the
  // whole log was read.
  bool LoadEventLog();
  bool ExportEventLog(const QString& fileName);

  void cmd_load_logClick();
  // k: the grid row clicked, 0 for the header, entry k below it.
  void grd_logClick(int k);
  void cmd_export_logClick();

  const std::vector<EventEntry>& Entries() const { return entries_; }
  // Rebuilds the grid from the stored entries.
  void FillGrid();

 private:
  bool ReadDeviceClock(int32_t& deviceNow);
  bool ReadEntries(int32_t deviceNow, std::vector<EventEntry>& entries);
  void FillGrid(QTableWidget& grid);
  QTableWidget* Grid() const;
  std::vector<QStringList> GridRows(const QTableWidget& grid) const;

  Services s_;
  std::vector<EventEntry> entries_;
};

}  // namespace kvn

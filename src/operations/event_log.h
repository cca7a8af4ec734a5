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

#include "device_link/register_image.h"

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

// CSV text of the log's rows (header first): each of the first four columns followed by the
// separator, lines ending in CR LF, in the system's 8-bit encoding.
QByteArray EventLogCsv(const std::vector<QStringList>& rows, QChar separator);
// The same for the first `columns` fields of each row. With quote, a field holding the
// separator, a quote or a line break is quoted, its quotes doubled, so a spreadsheet keeps it in
// one cell (the event log's fields never hold its separator).
QByteArray CsvLines(const std::vector<QStringList>& rows, QChar separator, int columns, bool quote);

// The texts over the log's columns: messages 72..75 and "CRC" over the check byte. The page's grid
// and the CSV take them from here.
QStringList EventLogHeader(const Texts& texts);
// The log as rows of texts: the header, then each entry as EventRowTexts gives it.
std::vector<QStringList> EventLogRows(const std::vector<EventEntry>& entries, const Texts& texts,
                                      const EventFormats& formats);

// Shown while the log is read (the window's indicator, the command line's progress line).
// begin: the device clock was read and the records follow. step: after every answer, the
// entries read so far and the most a log holds; false stops the read there, with no message
// (the caller knows why it asked).
struct EventLogProgress {
  std::function<void()> begin;
  std::function<bool(int entries, int maximum)> step;
};

// The device's event log, read without a window: the device clock, then the records, ten to an
// answer, until the end marker or a full log; kept as entries, shown as rows, exported as CSV.
// A failed read says why through the prompts and leaves the previous log whole.
class EventLog {
 public:
  struct Services {
    ModbusMaster& master;
    const Texts& texts;
    Prompts& prompts;
    EventFormats formats;
    // When given, the device-clock cells of this image take the clock read before the log (the
    // window keeps it in its edit image).
    RegisterImage* clockImage = nullptr;
  };

  explicit EventLog(Services services) : s_(std::move(services)) {}

  // Reads the log of the device at that address. The stored entries change only when the whole
  // log was read; false when it was not (the error shown, or the progress asked to stop).
  bool Load(int address, const EventLogProgress& progress = {});

  // True once a log was read; until then the rows are the header and one empty row.
  bool Loaded() const { return loaded_; }
  const std::vector<EventEntry>& Entries() const { return entries_; }
  // The header first, then one row per entry.
  std::vector<QStringList> Rows() const;
  // The rows as the CSV file holds them.
  QByteArray Csv() const;
  // Writes Csv() through the atomic writer; a file error is shown and gives false.
  bool ExportEventLog(const QString& fileName) const;

 private:
  bool ReadDeviceClock(int address, int32_t& deviceNow);
  bool ReadEntries(int address, int32_t deviceNow, const EventLogProgress& progress,
                   std::vector<EventEntry>& entries);

  Services s_;
  std::vector<EventEntry> entries_;
  bool loaded_ = false;
};

}  // namespace kvn

#include "operations/event_log.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTimer>
#include <QTableWidget>
#include <bit>

#include "device_link/block_table.h"
#include "device_link/modbus_frames.h"
#include "device_link/modbus_master.h"
#include "operations/device_transaction.h"
#include "parameters/file_dialogs.h"
#include "parameters/value_codec.h"
#include "texts/atomic_file.h"
#include "texts/containers.h"
#include "texts/locale_separators.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"

namespace kvn {
namespace {

using namespace event_log;

constexpr int kMsgLoadingBlock = 81;  // "Loading block "
constexpr int kMsgLoadFailed = 82;    // "Loading event log failed"
constexpr int kRepLogFile = 17;       // "Event log file"
constexpr int kRepSaveLog = 18;       // "Save event log"
constexpr int kRepLogSaved = 19;      // "Event log saved"
const QString kNoConnection = QStringLiteral("No Connection");
const QString kCsvExtension = QStringLiteral("csv");

// Format letter of each event code 1..24.
constexpr char kValueFormat[kLastCode + 1] = {
    0,   'X', 'X', 'F', 'F', 'F', 'F', 'F', 'F', 'F', 'F', 'H', 'H',
    'H', 'H', 'H', 'H', 'H', 'H', 'H', 'I', 'X', 'X', 'X', 'X'};

QString Hex(uint32_t v, int digits) {
  return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0')).toUpper();
}

EventEntry DecodeRecord(std::span<const int32_t> r, int32_t deviceNow, qint64 pcNowMs) {
  EventEntry e;
  e.time = CombineWords(r[0], r[1]);
  e.value = CombineWords(r[2], r[3]);
  e.code = static_cast<uint8_t>(r[4] & 0xFF);
  e.check = static_cast<uint8_t>((r[4] >> 8) & 0xFF);
  e.localMs = pcNowMs + (static_cast<qint64>(e.time) - deviceNow) * 1000;
  return e;
}

}  // namespace

QChar ListSeparatorFor(QChar decimal) {
  return decimal == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
}

EventFormats LocaleEventFormats(QChar decimal) {
  const QLocale locale;
  EventFormats f;
  f.decimal = decimal;
  const DateTimeSeparators separators = SeparatorsOf(locale);
  f.date = separators.date;
  f.time = separators.time;
  f.list = ListSeparatorFor(decimal);
  return f;
}

char EventValueFormat(uint8_t code) {
  return code >= kFirstCode && code <= kLastCode ? kValueFormat[code] : 0;
}

bool DecodeEventBlock(std::span<const int32_t> registers, int32_t deviceNow, qint64 pcNowMs,
                      std::vector<EventEntry>& entries) {
  for (size_t at = 0; at + kRegistersPerRecord <= registers.size(); at += kRegistersPerRecord) {
    if (entries.size() >= static_cast<size_t>(kMaxEntries)) return false;
    const EventEntry e = DecodeRecord(registers.subspan(at, kRegistersPerRecord), deviceNow, pcNowMs);
    if (e.code == kEndOfLog) return true;
    entries.push_back(e);
  }
  return false;
}

QString EventTimeText(qint64 localMs, const EventFormats& f) {
  const QString format = QStringLiteral("yy%1MM%1dd HH%2mm%2ss").arg(f.date, f.time);
  return QDateTime::fromMSecsSinceEpoch(localMs).toString(format);
}

QString EventValueText(uint8_t code, int32_t value, QChar decimal) {
  const auto bits = static_cast<uint32_t>(value);
  switch (EventValueFormat(code)) {
    case 'F': {
      QString text = QString::asprintf("%10.3f", static_cast<double>(std::bit_cast<float>(bits)));
      return text.replace(QLatin1Char('.'), decimal);
    }
    case 'H': return Hex(bits & 0xFFFFu, 4);
    case 'I': return QString::number(value);
    default: return Hex(bits, 8);  // X, and the raw value of an invalid code
  }
}

std::array<QString, kGridColumns> EventRowTexts(int k, const EventEntry& e, const Texts& texts,
                                               const EventFormats& f) {
  const bool valid = EventValueFormat(e.code) != 0;
  return {QString::number(k), EventTimeText(e.localMs, f),
          valid ? texts.GetEventText(e.code)
                : QStringLiteral("Invalid (") + QString::number(e.code) + QLatin1Char(')'),
          EventValueText(e.code, e.value, f.decimal), Hex(e.check, 2)};
}

QByteArray EventLogCsv(const std::vector<QStringList>& rows, QChar separator) {
  return CsvLines(rows, separator, kExportedColumns, false);
}

namespace {
QString CsvField(const QString& field, QChar separator) {
  const bool quoted = field.contains(separator) || field.contains(QLatin1Char('"')) ||
                      field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
  if (!quoted) return field;
  QString doubled = field;
  doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + doubled + QLatin1Char('"');
}
}  // namespace

QByteArray CsvLines(const std::vector<QStringList>& rows, QChar separator, int columns, bool quote) {
  QString text;
  for (const QStringList& row : rows) {
    for (int c = 0; c < columns; ++c) text += (quote ? CsvField(row.value(c), separator) : row.value(c)) + separator;
    text += QStringLiteral("\r\n");
  }
  QStringEncoder encode(QStringConverter::System);
  return encode(text);
}

// ---------------------------------------------------------------------------------------------

QTableWidget* EventLog::Grid() const {
  return qobject_cast<QTableWidget*>(s_.controls.Find(QStringLiteral("grd_log"), container::Log));
}

bool EventLog::ReadDeviceClock(int32_t& deviceNow) {
  RegisterImage& edit = s_.images.EditImage;
  std::span<int32_t> clock(edit.data() + reg::DeviceClock, 2);
  if (s_.master.ReadRegisters(kFnReadHolding, s_.setup.addr, reg::DeviceClock, clock) != ModbusResult::Ok) {
    s_.prompts.ShowError(kNoConnection);
    return false;
  }
  deviceNow = CombineWords(clock[0], clock[1]);
  return true;
}

// Every answer adds ten entries until the end marker, so the full log takes 300 requests.
bool EventLog::ReadEntries(int32_t deviceNow, std::vector<EventEntry>& entries) {
  const qint64 pcNowMs = QDateTime::currentMSecsSinceEpoch();
  std::array<int32_t, kRegistersPerRequest> block{};
  for (;;) {
    const int start = static_cast<int>(entries.size()) * kRegistersPerRecord;
    if (!s_.master.ReadWithRetry(kFnReadInput, s_.setup.addr, start, true, block)) {
      s_.prompts.ShowError(s_.texts.GetMessageText(kMsgLoadFailed));
      return false;
    }
    const bool end = DecodeEventBlock(block, deviceNow, pcNowMs, entries);
    if (s_.indicatorText)
      s_.indicatorText(s_.texts.GetMessageText(kMsgLoadingBlock) + QString::number(entries.size()));
    if (end || entries.size() >= static_cast<size_t>(kMaxEntries - 1)) return true;
  }
}

void EventLog::FillGrid(QTableWidget& grid) {
  grid.setUpdatesEnabled(false);
  if (s_.resetGrid) s_.resetGrid(grid);
  // The header is the grid's own header row, so entry k sits in row k - 1.
  grid.setRowCount(static_cast<int>(entries_.size()));
  for (size_t i = 0; i < entries_.size(); ++i) {
    const int k = static_cast<int>(i) + 1;
    const auto texts = EventRowTexts(k, entries_[i], s_.texts, s_.formats);
    for (int c = 0; c < kGridColumns; ++c)
      grid.setItem(k - 1, c, new QTableWidgetItem(texts[static_cast<size_t>(c)]));
  }
  grid.setUpdatesEnabled(true);
}

void EventLog::FillGrid() {
  if (QTableWidget* grid = Grid()) FillGrid(*grid);
}

bool EventLog::LoadEventLog() {
  int32_t deviceNow = 0;
  if (!ReadDeviceClock(deviceNow)) return false;
  if (s_.showIndicator) s_.showIndicator();
  // A failed load leaves the previous log whole: entries and grid belong together.
  std::vector<EventEntry> loaded;
  loaded.reserve(kMaxEntries);
  if (!ReadEntries(deviceNow, loaded)) {
    if (s_.hideIndicator) s_.hideIndicator();
    return false;
  }
  entries_ = std::move(loaded);
  FillGrid();
  return true;
}

void EventLog::cmd_load_logClick() {
  {
    const Hourglass wait;
    const PollTimerStopped noPoll(s_.timer);
    LoadEventLog();
  }
  if (s_.hideIndicator) s_.hideIndicator();
  if (QWidget* pages = s_.controls.Pages()) pages->setFocus(Qt::OtherFocusReason);
}

void EventLog::grd_logClick(int k) {
  uint32_t value = 0;
  if (k >= 1 && k <= static_cast<int>(entries_.size())) {
    const EventEntry& e = entries_[static_cast<size_t>(k - 1)];
    if (EventValueFormat(e.code) == 'X') value = static_cast<uint32_t>(e.value);
  }
  if (s_.highlightErrorBits) s_.highlightErrorBits(value);
}

std::vector<QStringList> EventLog::GridRows(const QTableWidget& grid) const {
  std::vector<QStringList> rows;
  rows.reserve(static_cast<size_t>(grid.rowCount()) + 1);
  QStringList header;
  for (int c = 0; c < kExportedColumns; ++c) {
    const QTableWidgetItem* item = grid.horizontalHeaderItem(c);
    header << (item ? item->text() : QString());
  }
  rows.push_back(header);
  for (int r = 0; r < grid.rowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < kExportedColumns; ++c) {
      const QTableWidgetItem* item = grid.item(r, c);
      row << (item ? item->text() : QString());
    }
    rows.push_back(row);
  }
  return rows;
}

bool EventLog::ExportEventLog(const QString& fileName) {
  const QTableWidget* grid = Grid();
  const QByteArray csv = EventLogCsv(grid ? GridRows(*grid) : std::vector<QStringList>{}, s_.formats.list);
  QString error;
  if (!WriteFileAtomically(fileName, csv, &error)) {
    s_.prompts.ShowError(error);
    return false;
  }
  return true;
}

void EventLog::cmd_export_logClick() {
  const QString name = AskSaveFileName(s_.prompts, s_.texts.GetReportText(kRepLogFile),
                                       s_.texts.GetReportText(kRepSaveLog), kCsvExtension);
  if (name.isEmpty() || !ConfirmOverwrite(s_.prompts, s_.texts, name)) return;
  if (ExportEventLog(name)) s_.prompts.ShowInfo(s_.texts.GetReportText(kRepLogSaved));
}

}  // namespace kvn

#include "operations/event_log.h"

#include <QDateTime>
#include <QLocale>
#include <QStringEncoder>
#include <algorithm>
#include <bit>

#include "device_link/block_table.h"
#include "device_link/modbus_frames.h"
#include "device_link/modbus_master.h"
#include "parameters/value_codec.h"
#include "texts/atomic_file.h"
#include "texts/locale_separators.h"
#include "texts/prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

using namespace event_log;

constexpr int kMsgFirstHeader = 72;  // "Entry No.", "Time", "Event", "Value"
constexpr int kMsgLoadFailed = 82;   // "Loading event log failed"
const QString kNoConnection = QStringLiteral("No Connection");

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

QStringList EventLogHeader(const Texts& texts) {
  QStringList header;
  for (int i = 0; i < kGridColumns - 1; ++i) header << texts.GetMessageText(kMsgFirstHeader + i);
  header << QStringLiteral("CRC");
  return header;
}

std::vector<QStringList> EventLogRows(const std::vector<EventEntry>& entries, const Texts& texts,
                                      const EventFormats& formats) {
  std::vector<QStringList> rows;
  rows.reserve(entries.size() + 1);
  rows.push_back(EventLogHeader(texts));
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto cells = EventRowTexts(static_cast<int>(i) + 1, entries[i], texts, formats);
    rows.emplace_back(cells.begin(), cells.end());
  }
  return rows;
}

// ---------------------------------------------------------------------------------------------

bool EventLog::ReadDeviceClock(int address, int32_t& deviceNow) {
  std::array<int32_t, 2> clock{};
  if (s_.master.ReadRegisters(kFnReadHolding, address, reg::DeviceClock, clock) != ModbusResult::Ok) {
    s_.prompts.ShowError(kNoConnection);
    return false;
  }
  if (s_.clockImage) std::copy(clock.begin(), clock.end(), s_.clockImage->begin() + reg::DeviceClock);
  deviceNow = CombineWords(clock[0], clock[1]);
  return true;
}

// Every answer adds ten entries until the end marker, so the full log takes 300 requests.
bool EventLog::ReadEntries(int address, int32_t deviceNow, const EventLogProgress& progress,
                           std::vector<EventEntry>& entries) {
  const qint64 pcNowMs = QDateTime::currentMSecsSinceEpoch();
  std::array<int32_t, kRegistersPerRequest> block{};
  for (;;) {
    const int start = static_cast<int>(entries.size()) * kRegistersPerRecord;
    if (!s_.master.ReadWithRetry(kFnReadInput, address, start, true, block)) {
      s_.prompts.ShowError(s_.texts.GetMessageText(kMsgLoadFailed));
      return false;
    }
    const bool end = DecodeEventBlock(block, deviceNow, pcNowMs, entries);
    if (progress.step && !progress.step(static_cast<int>(entries.size()), kMaxEntries)) return false;
    if (end || entries.size() >= static_cast<size_t>(kMaxEntries - 1)) return true;
  }
}

bool EventLog::Load(int address, const EventLogProgress& progress) {
  int32_t deviceNow = 0;
  if (!ReadDeviceClock(address, deviceNow)) return false;
  if (progress.begin) progress.begin();
  // A failed read leaves the previous log whole.
  std::vector<EventEntry> read;
  read.reserve(kMaxEntries);
  if (!ReadEntries(address, deviceNow, progress, read)) return false;
  entries_ = std::move(read);
  loaded_ = true;
  return true;
}

std::vector<QStringList> EventLog::Rows() const {
  if (loaded_) return EventLogRows(entries_, s_.texts, s_.formats);
  return {EventLogHeader(s_.texts), QStringList()};
}

QByteArray EventLog::Csv() const { return EventLogCsv(Rows(), s_.formats.list); }

bool EventLog::ExportEventLog(const QString& fileName) const {
  QString error;
  if (!WriteFileAtomically(fileName, Csv(), &error)) {
    s_.prompts.ShowError(error);
    return false;
  }
  return true;
}

}  // namespace kvn

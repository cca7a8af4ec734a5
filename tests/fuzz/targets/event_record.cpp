// The event-log records of one answer from the device (five registers each, as the register
// image holds them: sign-extended words), decoded after the entries already loaded.
#include <bit>
#include <span>
#include <vector>

#include "fuzz/targets/fuzz_property.h"
#include "operations/event_log.h"
#include "texts/texts.h"

using namespace kvn;

namespace {

const Texts& DefaultTexts() {
  static const Texts* texts = [] {
    auto* t = new Texts;
    t->FillFromDefaults();
    return t;
  }();
  return *texts;
}

int32_t Word(uint16_t w) { return static_cast<int16_t>(w); }

// A decoded entry gives back the registers it came from.
void RequireFromRecord(const EventEntry& e, std::span<const int32_t> r) {
  FUZZ_REQUIRE(Word(static_cast<uint16_t>(e.time)) == r[0]);
  FUZZ_REQUIRE(Word(static_cast<uint16_t>(static_cast<uint32_t>(e.time) >> 16)) == r[1]);
  FUZZ_REQUIRE(Word(static_cast<uint16_t>(e.value)) == r[2]);
  FUZZ_REQUIRE(Word(static_cast<uint16_t>(static_cast<uint32_t>(e.value) >> 16)) == r[3]);
  FUZZ_REQUIRE(Word(static_cast<uint16_t>(e.check << 8 | e.code)) == r[4]);
}

// The value column reads back as the value it shows.
void RequireValueText(const EventEntry& e) {
  const QString text = EventValueText(e.code, e.value, QLatin1Char(','));
  bool ok = false;
  switch (EventValueFormat(e.code)) {
    case 'I': FUZZ_REQUIRE(text.toInt(&ok) == e.value && ok); break;
    case 'H': FUZZ_REQUIRE(text.size() == 4 && text.toUInt(&ok, 16) == (static_cast<uint32_t>(e.value) & 0xFFFF) && ok); break;
    case 'F': {
      const float x = std::bit_cast<float>(e.value);
      if (std::isfinite(x) && std::fabs(x) < 1e6f) {
        const double shown = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        FUZZ_REQUIRE(ok && std::fabs(shown - x) <= 0.0005 + std::fabs(x) * 1e-6);
      }
      break;
    }
    default: FUZZ_REQUIRE(text.size() == 8 && text.toUInt(&ok, 16) == static_cast<uint32_t>(e.value) && ok);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const auto deviceNow = static_cast<int32_t>(in.Long());
  // The computer's clock is no outside input: within a century of the epoch either way.
  const qint64 pcNowMs = static_cast<qint64>(in.Long()) * 1000 - (qint64{1} << 31) * 1000;
  // Entries loaded before this answer: up to the full log, so that its limit is reached too.
  std::vector<EventEntry> entries(in.Word() % (event_log::kMaxEntries + 1));
  const size_t before = entries.size();
  std::vector<int32_t> registers;
  while (in.Remaining() >= 2) registers.push_back(Word(in.Word()));

  const bool end = DecodeEventBlock(registers, deviceNow, pcNowMs, entries);

  const size_t added = entries.size() - before;
  const size_t whole = registers.size() / event_log::kRegistersPerRecord;
  FUZZ_REQUIRE(entries.size() <= static_cast<size_t>(event_log::kMaxEntries));
  FUZZ_REQUIRE(added <= whole);
  for (size_t i = 0; i < added; ++i) {
    const EventEntry& e = entries[before + i];
    RequireFromRecord(e, std::span(registers).subspan(i * event_log::kRegistersPerRecord, event_log::kRegistersPerRecord));
    FUZZ_REQUIRE(e.code != event_log::kEndOfLog);
    // The local time moves with the device time, second for second.
    FUZZ_REQUIRE((e.localMs - pcNowMs) % 1000 == 0 && (e.localMs - pcNowMs) / 1000 == qint64{e.time} - deviceNow);
    RequireValueText(e);
    const auto row = EventRowTexts(static_cast<int>(before + i + 1), e, DefaultTexts(), EventFormats{});
    FUZZ_REQUIRE(!row[1].isEmpty() && !row[2].isEmpty());
  }
  // It stops at the end marker and at a full log, and nowhere else.
  const bool full = entries.size() == static_cast<size_t>(event_log::kMaxEntries);
  if (end) FUZZ_REQUIRE((registers[added * event_log::kRegistersPerRecord + 4] & 0xFF) == event_log::kEndOfLog);
  else FUZZ_REQUIRE(added == whole || full);
  return 0;
}

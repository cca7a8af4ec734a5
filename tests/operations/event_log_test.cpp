// Decoding and formatting of event-log records, without a window or a device.
#include <gtest/gtest.h>

#include <QDateTime>
#include <bit>
#include <limits>

#include "operations/event_log.h"
#include "texts/texts.h"

namespace kvn {
namespace {

int32_t FloatBits(float f) { return static_cast<int32_t>(std::bit_cast<uint32_t>(f)); }

struct ValueCase {
  int code;
  int32_t value;
  char decimal;
  const char* shown;
};

TEST(EventValueText, EachFormatLetter) {
  const ValueCase cases[] = {
      {3, FloatBits(100.0f), '.', "   100.000"},  {4, FloatBits(-1.5f), ',', "    -1,500"},
      {8, FloatBits(12345.678f), '.', " 12345.678"}, {18, 0x12345, '.', "2345"},
      {11, static_cast<int32_t>(0xABCDEF01), '.', "EF01"}, {1, 4, '.', "00000004"},
      {2, 0x101, '.', "00000101"},               {24, -1, '.', "FFFFFFFF"},
      {20, -5, '.', "-5"},                       {20, 70000, '.', "70000"},
      {0, 0xFF, '.', "000000FF"},                {25, 0x1234, '.', "00001234"},
      {99, static_cast<int32_t>(0xDEADBEEF), '.', "DEADBEEF"},
  };
  for (const ValueCase& c : cases)
    EXPECT_EQ(EventValueText(static_cast<uint8_t>(c.code), c.value, QLatin1Char(c.decimal)), c.shown)
        << "code " << c.code;
}

TEST(EventValueFormat, LetterOfEveryCode) {
  const QString letters = QStringLiteral("XXFFFFFFFFHHHHHHHHHIXXXX");  // codes 1..24
  for (int code = 0; code <= 255; ++code) {
    const char expected = code >= 1 && code <= 24 ? letters[code - 1].toLatin1() : 0;
    EXPECT_EQ(EventValueFormat(static_cast<uint8_t>(code)), expected) << code;
  }
}

TEST(EventRowTexts, ValidAndInvalidCodes) {
  Texts texts;
  texts.FillFromDefaults();
  const EventFormats f;
  const EventEntry power{0, 4, 1, 0x3C, 0};
  const EventEntry bad{0, 0x1234, 99, 0x05, 0};
  EXPECT_EQ(EventRowTexts(1, power, texts, f)[2], "Power Cycle");
  EXPECT_EQ(EventRowTexts(1, power, texts, f)[4], "3C");
  const auto row = EventRowTexts(7, bad, texts, f);
  EXPECT_EQ(row[0], "7");
  EXPECT_EQ(row[2], "Invalid (99)");
  EXPECT_EQ(row[3], "00001234");
  EXPECT_EQ(row[4], "05");
}

// Cells as the master stores them: 16-bit registers sign-extended.
std::vector<int32_t> Record(uint32_t time, uint32_t value, int code, int check) {
  auto cell = [](uint32_t word) { return static_cast<int32_t>(static_cast<int16_t>(word & 0xFFFF)); };
  return {cell(time), cell(time >> 16), cell(value), cell(value >> 16), cell(static_cast<uint32_t>(check << 8 | code))};
}

std::vector<int32_t> Block(std::initializer_list<std::vector<int32_t>> records) {
  std::vector<int32_t> cells;
  for (const auto& r : records) cells.insert(cells.end(), r.begin(), r.end());
  cells.resize(event_log::kRegistersPerRequest, -1);  // erased memory: code 255
  return cells;
}

TEST(DecodeEventBlock, FieldsLowWordFirstAndTimesOnThePcClock) {
  constexpr int32_t deviceNow = 100000000;
  constexpr qint64 pcNow = 1700000000000;
  std::vector<EventEntry> entries;
  const auto block = Block({Record(deviceNow - 3600, 0xFFFF8001u, 2, 0xA5),
                            Record(0x0001FFFF, 0x42C80000u, 3, 0xFF), Record(0, 0, 255, 0),
                            Record(deviceNow, 7, 1, 0)});
  EXPECT_TRUE(DecodeEventBlock(block, deviceNow, pcNow, entries));
  ASSERT_EQ(entries.size(), 2u);  // the end marker ends the log; what follows it is ignored
  EXPECT_EQ(entries[0].time, deviceNow - 3600);
  EXPECT_EQ(static_cast<uint32_t>(entries[0].value), 0xFFFF8001u);
  EXPECT_EQ(entries[0].code, 2);
  EXPECT_EQ(entries[0].check, 0xA5);
  EXPECT_EQ(entries[0].localMs, pcNow - 3600 * 1000);
  EXPECT_EQ(entries[1].time, 0x0001FFFF);
  EXPECT_EQ(entries[1].check, 0xFF);
}

TEST(DecodeEventBlock, FullBlockAndFullLog) {
  std::vector<int32_t> block;
  for (int i = 0; i < event_log::kRecordsPerRequest; ++i) {
    const auto r = Record(static_cast<uint32_t>(i), 0, 1, 0);
    block.insert(block.end(), r.begin(), r.end());
  }
  std::vector<EventEntry> entries;
  EXPECT_FALSE(DecodeEventBlock(block, 0, 0, entries));
  EXPECT_EQ(entries.size(), 10u);
  entries.resize(event_log::kMaxEntries);
  EXPECT_FALSE(DecodeEventBlock(block, 0, 0, entries));
  EXPECT_EQ(entries.size(), 3000u);
}

TEST(DecodeEventBlock, ExtremeClocksNeedSixtyFourBits) {
  constexpr auto lo = std::numeric_limits<int32_t>::min();
  constexpr auto hi = std::numeric_limits<int32_t>::max();
  std::vector<EventEntry> entries;
  DecodeEventBlock(Block({Record(static_cast<uint32_t>(lo), 0, 1, 0)}), hi, 0, entries);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].localMs, (static_cast<qint64>(lo) - hi) * 1000);
}

TEST(EventTimeText, TwoDigitYearWithTheLocaleSeparators) {
  const qint64 ms = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)).toMSecsSinceEpoch();
  EXPECT_EQ(EventTimeText(ms, EventFormats{}), "24/03/05 14:07:09");
  EXPECT_EQ(EventTimeText(ms, EventFormats{QLatin1Char(','), QLatin1Char('.'), QLatin1Char('.'), QLatin1Char(';')}),
            "24.03.05 14.07.09");
}

TEST(EventLogCsv, FourColumnsEachFollowedByTheSeparator) {
  EXPECT_EQ(ListSeparatorFor(QLatin1Char(',')), QLatin1Char(';'));
  EXPECT_EQ(ListSeparatorFor(QLatin1Char('.')), QLatin1Char(','));
  const std::vector<QStringList> rows = {{"Entry No.", "Time", "Event", "Value", "CRC"},
                                         {"1", "24/03/05 14:07:09", "Power Cycle", "00000004", "3C"},
                                         {"", "", "", "", ""}};
  EXPECT_EQ(EventLogCsv(rows, QLatin1Char(';')),
            "Entry No.;Time;Event;Value;\r\n1;24/03/05 14:07:09;Power Cycle;00000004;\r\n;;;;\r\n");
}

}  // namespace
}  // namespace kvn

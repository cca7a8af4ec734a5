// The change history read back from the records is, byte for byte, what history.csv holds for
// the same writes: one table of writes, each appended to a history.csv and committed as the
// write's outcome in real records, then the CSV read back from the records.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <tuple>

#include "operations/change_history.h"
#include "operations/event_log.h"
#include "operations/records_history.h"
#include "operations/unit_records.h"
#include "records/records.h"
#include "texts/texts.h"

namespace kvn::test {
namespace {

ParameterDifference Change(const char* name, const char* left, const char* right) {
  ParameterDifference d;
  d.row = 1;
  d.caption = d.name = QString::fromUtf8(name);
  std::tie(d.left, d.right) = std::pair(QString::fromUtf8(left), QString::fromUtf8(right));
  return d;
}

HistoryEntry Write(int minute, int level, const char* operation, const char* result, const char* backup,
                   std::vector<ParameterDifference> changes, bool known = true) {
  return {QDateTime(QDate(2026, 3, 4), QTime(9, minute, 5)), QStringLiteral("KV2300-0017-0417"), level, QString::fromUtf8(operation),
          QString::fromUtf8(result), QString::fromUtf8(backup), std::move(changes), known};
}

TEST(RecordsHistory, CsvFromTheRecordsEqualsHistoryCsv) {
  const std::vector<HistoryEntry> writes = {
      Write(1, 1, "Program device settings", "Device programmed successfully.", "record 1a2b3c4d",
            {Change("Overspeed limit, Relay 1", "3300.00 RPM", "3210.00 RPM"), Change("Location tag", "A; B", "=SUM(1)")}),
      Write(2, 0, "Save as default", "Saved.", "record 5e6f", {}),
      Write(3, -1, "Restore default", "The device did not answer:\nnothing is known", "", {}, false),
      Write(4, 1, "Program device settings", "-refused", "", {}),
      Write(5, 0, "Program device settings", "Device programmed, \"partly\".", "record 77", {Change("Relay 2 delay", "1.5 s", "2.0 s")}),
  };
  const struct {
    QChar decimal;
    QChar separator;
  } kLocales[] = {{QLatin1Char('.'), QLatin1Char(',')}, {QLatin1Char(','), QLatin1Char(';')}};
  for (const auto& locale : kLocales) {
    SCOPED_TRACE(QString(locale.separator).toStdString());
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString unit = QStringLiteral("KV2300-0017-0417");
    for (const HistoryEntry& e : writes) {
      ASSERT_EQ(AppendHistory(work.path(), e, locale.decimal, locale.separator), QString());
      ASSERT_EQ(RecordWriteOutcome(work.path(), unit, e, nullptr, locale.decimal), QString());
    }
    QFile history(work.filePath(QStringLiteral("history.csv")));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    Records records(work.path());
    QString error;
    const Texts texts;
    const std::vector<RecordedOperation> operations = RecordedOperations(records, unit, texts, locale.decimal, &error);
    ASSERT_EQ(error, QString());
    ASSERT_EQ(operations.size(), writes.size());
    EXPECT_EQ(HistoryCsv(operations, locale.decimal, locale.separator), history.readAll());
  }
}

}  // namespace
}  // namespace kvn::test

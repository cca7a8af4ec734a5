// A second program instance for the history tests: appends `count` lines to the history in
// `folder`, each naming `writer` and its number, and exits non-zero at the first refusal.
// Usage: history_writer FOLDER WRITER COUNT
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "operations/change_history.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 4) return 2;
  const int count = args[3].toInt();
  for (int i = 0; i < count; ++i) {
    kvn::HistoryEntry entry;
    entry.time = QDateTime::currentDateTime();
    entry.serialNumber = QStringLiteral("SN-1");
    entry.operation = QStringLiteral("Program device settings");
    entry.result = args[2] + QLatin1Char('#') + QString::number(i);
    const QString error = kvn::AppendHistory(args[1], entry, QLatin1Char('.'), QLatin1Char(','));
    if (!error.isEmpty()) {
      std::fprintf(stderr, "%s\n", qPrintable(error));
      return 1;
    }
  }
  return 0;
}

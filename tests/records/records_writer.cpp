// records_writer REPO_WORK_DIR UNIT COUNT: COUNT outcome commits to one unit, each with files
// of its own, as a station's program makes them. Exit 0 when every one was recorded.
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "records/records.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 4) return 2;
  kvn::Records records(args[1]);
  const int count = args[3].toInt();
  for (int i = 0; i < count; ++i) {
    const QByteArray n = QByteArray::number(i);
    const kvn::UnitFiles files{"set " + n, "line " + n + "\n", "unit " + args[2].toUtf8() + "\n"};
    const kvn::RecordOutcome o = records.Outcome(args[2], &files, args[2] + QStringLiteral(": write ") + n, QDateTime::currentDateTime());
    if (!o.committed) {
      std::fprintf(stderr, "%s\n", qPrintable(o.error));
      return 1;
    }
  }
  return 0;
}

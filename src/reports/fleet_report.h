#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "texts/locale_separators.h"

namespace kvn {

class Texts;

// One unit of a fleet run as its report shows it: a summary row, and the rows in which it
// differs from its released set (page, parameter, device, released).
struct FleetReportUnit {
  QString name;
  QString port;
  QString serialNumber;
  QString verdict;
  QDateTime read;
  std::vector<QStringList> differences;
};

// The fleet run's report: a summary (a row per unit: name, port, serial number, verdict, time)
// and, for each unit that differs from its released set, its rows; pages as many as they need,
// each with the common header. Texts wider than their column are cut with an ellipsis (the
// whole text is in the run's result lines). False with the reason when nothing was written.
bool WriteFleetReport(const QString& path, const std::vector<FleetReportUnit>& units, const QDateTime& created,
                      DateTimeSeparators separators, const Texts& texts, QString* error);

}  // namespace kvn

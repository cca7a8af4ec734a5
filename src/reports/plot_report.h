#pragma once
#include <QDateTime>
#include <QSize>
#include <QString>
#include <optional>

#include "reports/speed_plot.h"
#include "texts/locale_separators.h"

namespace kvn {

class Texts;
struct ReportLayout;

// The speed plot's geometry on a report page: a frame as wide as the margins allow, as high
// as the screen image's aspect ratio gives, starting 5 half lines below layout.y, laid out
// with the text extents the screen plot measures in its own font.
PlotGeometry PlotPageGeometry(const ReportLayout& layout, QSize image,
                              const PlotTextExtents& screenText);

// Everything the plot report is drawn from.
struct PlotReportInput {
  PlotInputs plot;                // rated speed and limits, appearance, samples, decimals
  const Texts& texts;             // title and header words
  QString serialNumber{};         // printed in the header
  QDateTime now{};                // the header's creation time
  DateTimeSeparators separators{};  // of the header's date and time
  QSize image = kPlotDesignSize;  // the screen plot's size: the page keeps its aspect ratio
  // The plot font's extents on the screen; measured on a default device when not given.
  std::optional<PlotTextExtents> screenText{};
};

// The one-page plot report to path, through the atomic writer; an existing file is replaced
// without asking (a front end asks first). False with the reason in error when nothing was
// written.
bool WritePlotReport(const QString& path, const PlotReportInput& input, QString* error);

}  // namespace kvn

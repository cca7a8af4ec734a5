#pragma once
#include <QSize>

#include "ui/speed_plot.h"

namespace kvn {

struct ReportLayout;

// The speed plot's geometry on a report page: a frame as wide as the margins allow, as high
// as the screen image's aspect ratio gives, starting 5 half lines below layout.y, laid out
// with the text extents the screen plot measures in its own font.
PlotGeometry PlotPageGeometry(const ReportLayout& layout, QSize image,
                              const PlotTextExtents& screenText);

}  // namespace kvn

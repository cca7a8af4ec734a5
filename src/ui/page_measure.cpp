#include "parameters/parameter_pages.h"
#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

using namespace pages;

void BuildMeasurePage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_measurement", "Measurement");
  b.Section("gpl_measure", kMeasureRows);
  b.Heading("lbl_measure_adv", "Advanced settings");
  b.Section("gpl_measure_adv", kAdvancedRows);
  b.Finish();
}

}  // namespace kvn

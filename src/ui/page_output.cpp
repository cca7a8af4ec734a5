#include "parameters/parameter_pages.h"
#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

using namespace pages;

void BuildOutputPage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_digital_out", "Digital outputs");
  b.Table("gpl_dout", kOutputColumns, kOutputRows);
  b.Section("gpl_dout_acc", kAccelerationCutInRows);
  b.Heading("lbl_analog_out", "Analog output");
  b.Section("gpl_aout", kAnalogRows);
  b.Finish();
}

}  // namespace kvn

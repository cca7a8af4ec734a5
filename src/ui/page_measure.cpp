#include "parameters/parameter_pages.h"
#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

using namespace pages;

void BuildMeasurePage(QWidget& page) {
  PageBuilder b(page);
  b.Sections(kMeasureSections);
  b.Finish();
}

}  // namespace kvn

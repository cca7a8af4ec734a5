#include "parameters/parameter_pages.h"
#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

using namespace pages;

void BuildOutputPage(QWidget& page) {
  PageBuilder b(page);
  b.Sections(kOutputSections);
  b.Finish();
}

}  // namespace kvn

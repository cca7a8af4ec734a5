#include "parameters/parameter_pages.h"
#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

using namespace pages;

void BuildDiagPage(QWidget& page) {
  PageBuilder b(page);
  b.Sections(kDiagSections);
  b.Finish();
}

}  // namespace kvn

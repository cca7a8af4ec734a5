#include <QLabel>

#include "parameters/parameter_pages.h"
#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

using namespace pages;

void BuildDevicePage(QWidget& page) {
  PageBuilder b(page);
  b.Sections(kDeviceSections);
  b.Finish();
}

}  // namespace kvn

#include <QLabel>

#include "parameters/parameter_pages.h"
#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

using namespace pages;

void BuildDevicePage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_config_usr", "Configuration - user");
  b.Section("gpl_cfg_user", kUserRows);
  b.Heading("lbl_config_admin", "Configuration - admin");
  b.Section("gpl_cfg_admin", kAdminRows);
  b.Heading("lbl_pass_admin", "Password - admin");
  b.Section("gpl_pass_admin", kPasswordRows);
  b.Finish();
}

}  // namespace kvn

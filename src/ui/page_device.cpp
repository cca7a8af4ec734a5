#include <QLabel>

#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

namespace {

using namespace pages;

constexpr Row kUserRows[] = {
    {"usr_tag1", "Location tag", {Edit("txt_usr_tag1", Width::Text16)}},
    {"usr_tag2", "Machine tag", {Edit("txt_usr_tag2", Width::Text16)}},
    {"usr_tag3", "Device tag", {Edit("txt_usr_tag3", Width::Text16)}},
    {"usr_comment", "Device comment", {Edit("txt_usr_comment", Width::Text32)}},
    {"mod_addr", "MODBUS address", {Edit("txt_mod_addr")}},
    {"baud_485", "MODBUS transmission speed",
     {Combo("cmb_baud_485", "4800|9600|19200|38400|57600|115200"), Unit("lbl_u_baud_485", "baud")}},
    {"parity", "MODBUS parity check", {Combo("cmb_parity", "none|even|odd")}},
    {"term", "MODBUS line termination", {Combo("cmb_term", "Inactive|Active")}},
    {"crc_dev_usr", "DEVICE user settings CRC", {Value("lbl_val_crc_dev_usr")}},
};

constexpr Row kAdminRows[] = {
    {"adm_vstr", "Voting structure", {Combo("cmb_adm_vstr", "1oo1|1oo2|2oo2|1oo3|2oo3|3oo3")}},
    {"adm_tag1", "Trip chain ID", {Edit("txt_adm_tag1", Width::Text16)}},
    {"adm_tag2", "Trip chain position", {Edit("txt_adm_tag2", Width::Text16)}},
    {"adm_tag3", "Admin tag", {Edit("txt_adm_tag3", Width::Text16)}},
    {"adm_comment", "Device comment", {Edit("txt_adm_comment", Width::Text32)}},
    {"crc_dev_adm", "DEVICE admin settings CRC", {Value("lbl_val_crc_dev_adm")}},
};

constexpr Row kPasswordRows[] = {
    {"password", "Change admin password",
     {Link("lbl_show_pass", "Show password..."), Masked("txt_password"),
      Check("chk_act_pass", kNone, "Activate")}},
    {"pass_crc", "Admin password CRC", {Value("lbl_val_pass_crc")}},
};

}  // namespace

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

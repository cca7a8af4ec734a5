#include "ui/page_builder.h"
#include "ui/pages.h"

namespace kvn {

namespace {

using namespace pages;

// Every page of the configuration report is selected until the engineer deselects it.
constexpr Row kContentRows[] = {
    {"rep_device", "Device", {Check("chk_rep_device", kTicked)}},
    {"rep_meas", "Measurement", {Check("chk_rep_meas", kTicked)}},
    {"rep_output", "Output", {Check("chk_rep_output", kTicked)}},
    {"rep_diagn", "Diagnostics", {Check("chk_rep_diag", kTicked)}},
};

constexpr Control kCommands[] = {Button("cmd_out_report", "Generate PDF report")};

}  // namespace

void BuildReportPage(QWidget& page) {
  PageBuilder b(page);
  b.Heading("lbl_rep_cont", "Content");
  b.Section("gpl_rep_cont", kContentRows);
  b.Gap(4);
  b.ButtonLine(kCommands);
  b.Finish();
}

}  // namespace kvn

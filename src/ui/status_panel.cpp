#include "ui/status_panel.h"

#include "operations/operation_names.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/logo.h"
#include "ui/page_builder.h"
#include "parameters/page_rows.h"
#include "ui/theme.h"

namespace kvn {

namespace {

using namespace pages;

constexpr QSize kLogoSize{200, 64};

// Top to bottom. Field captions are followed by the value labels the device operations write.
constexpr Control kFields[] = {
    Word("lbl_lbl_curr_if", "PC interface"),
    Value("lbl_current_if", Width::Auto),
    Value("lbl_loc_modb_addr", Width::Auto),
    Word("lbl_lbl_acc_level", "Access level"),
    Value("lbl_acc_level", Width::Auto),
    Word("lbl_lbl_conn_stat", "Device status"),
    Value("lbl_conn_stat", Width::Auto),
    Word("lbl_lbl_serial_num", "Serial number"),
    Value("lbl_serial_num", Width::Auto),
    Word("lbl_lbl_tag_number", "Tag number"),
    Value("lbl_tag_number", Width::Auto),
};

constexpr Control kCommands[] = {
    Button("cmd_read_param", "Read device settings", kDisabled),
    Button("cmd_enter_prog", "Enter programming mode", kDisabled),
    Button(kProgramOperation.key, kProgramOperation.caption, kDisabled),
    Button("cmd_abort_prog", "Abort programming mode", kDisabled),
};

QLabel* ProductCaption(QWidget& panel) {
  auto* caption = new QLabel(QStringLiteral("Korvane™"), &panel);
  caption->setObjectName(QStringLiteral("lbl_stat_caption"));
  theme::StyleHeading(*caption);
  QFont font = caption->font();
  font.setPointSize(14);
  caption->setFont(font);
  return caption;
}

void AddFields(QFrame& panel, QVBoxLayout& column) {
  for (const Control& c : kFields) {
    QWidget* w = MakeControl(c, &panel);
    if (c.kind == Kind::Word) {
      column.addSpacing(4);
      QFont font = w->font();
      font.setBold(true);
      w->setFont(font);
    }
    column.addWidget(w);
  }
}

void AddCommands(QFrame& panel, QVBoxLayout& column) {
  column.addSpacing(10);
  for (const Control& c : kCommands) column.addWidget(MakeControl(c, &panel));
  column.addSpacing(6);
  column.addWidget(MakeControl(Check("chk_off_line", kNone, "Off-line mode"), &panel));
  // The records' state: what the plant's server lacks, and why.
  auto* records = new QLabel(&panel);
  records->setObjectName(QStringLiteral("lbl_records_note"));
  records->setWordWrap(true);
  records->hide();
  column.addSpacing(6);
  column.addWidget(records);
}

QLabel* Logo(QWidget& panel) {
  auto* image = new QLabel(&panel);
  image->setObjectName(QStringLiteral("Image1"));
  image->setAlignment(Qt::AlignCenter);
  image->setPixmap(BuiltInLogo(kLogoSize));
  image->setMinimumHeight(kLogoSize.height());
  return image;
}

}  // namespace

QFrame* BuildStatusPanel(QWidget& parent) {
  auto* panel = new QFrame(&parent);
  panel->setObjectName(QStringLiteral("pnl_status"));
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFixedWidth(kStatusPanelWidth);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(10, 8, 10, 8);
  column->setSpacing(3);

  column->addWidget(ProductCaption(*panel));
  AddFields(*panel, *column);
  AddCommands(*panel, *column);
  column->addStretch(1);
  column->addWidget(Logo(*panel));
  auto* version = new QLabel(QStringLiteral("Version 1.00"), panel);
  version->setObjectName(QStringLiteral("lbl_stat_ver"));
  version->setAlignment(Qt::AlignCenter);
  column->addWidget(version);
  // Export of the base language file for translators; never shown to the engineer.
  QWidget* baseLanguage = MakeControl(Button("Button8", "base lng", kHidden), panel);
  column->addWidget(baseLanguage);
  return panel;
}

}  // namespace kvn

#include "ui/setup_diag_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "texts/prompts.h"
#include "texts/setting_colour.h"
#include "texts/texts.h"

namespace kvn {

namespace {

constexpr int kThicknessCount = 4;  // items "1".."4" = thickness index 0..3

// Controls whose caption comes from the row of the same name, apart from the marker switches.
constexpr std::array<const char*, 7> kCaptionKeys = {
    "lbl2_speed_line", "lbl2_rspeed_ine", "lbl2_line_col", "lbl2_line_thk",
    "lbl2_add_mark",   "cmd2_ok",         "cmd2_cancel"};

QString Indexed(const char* stem, int i) { return QLatin1String(stem) + QString::number(i + 1); }

QLabel* NamedLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

ColourSwatch::ColourSwatch(QWidget* parent) : QAbstractButton(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
}

void ColourSwatch::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

QSize ColourSwatch::sizeHint() const { return {56, 20}; }

void ColourSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  const QColor edge = hasFocus() ? palette().color(QPalette::Highlight)
                                 : palette().color(QPalette::Mid);
  painter.setPen(QPen(edge, hasFocus() ? 2.0 : 1.0));
  painter.setBrush(colour_);
  painter.drawRoundedRect(box, 3, 3);
}

// ---------------------------------------------------------------------------------------------

TSetup_diag::TSetup_diag(LocSetupRec& settings, const Texts& texts, Prompts& prompts,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings),
      texts_(texts),
      prompts_(prompts) {
  setObjectName(QStringLiteral("TSetup_diag"));
  BuildControls();
}

TSetup_diag::LineControls TSetup_diag::MakeLine(const QString& checkName,
                                                const QString& swatchName,
                                                const QString& thicknessName) {
  LineControls line;
  if (!checkName.isEmpty()) {
    line.marker = new QCheckBox(this);
    line.marker->setObjectName(checkName);
  }
  line.swatch = new ColourSwatch(this);
  line.swatch->setObjectName(swatchName);
  ColourSwatch* swatch = line.swatch;
  connect(swatch, &ColourSwatch::pressed, this, [this, swatch] {
    // The picker is modal and takes the mouse release; without this the swatch stays pressed.
    swatch->setDown(false);
    shp_col_max_1MouseDown(*swatch);
  });
  line.thickness = new QComboBox(this);
  line.thickness->setObjectName(thicknessName);
  for (int i = 1; i <= kThicknessCount; ++i) line.thickness->addItem(QString::number(i));
  return line;
}

void TSetup_diag::BuildControls() {
  speed_ = MakeLine({}, QStringLiteral("Shp_col_speed"), QStringLiteral("cmb_line_thk"));
  rated_ = MakeLine({}, QStringLiteral("shp_col_rated"), QStringLiteral("cmb_rated_thk"));
  for (int i = 0; i < 5; ++i) {
    max_[i] = MakeLine(Indexed("chk2_max_", i), Indexed("shp_col_max_", i),
                       Indexed("cmb_max_thk_", i));
    min_[i] = MakeLine(Indexed("chk2_min_", i), Indexed("shp_col_min_", i),
                       Indexed("cmb_min_thk_", i));
  }

  QLabel* colourHeading = NamedLabel("lbl2_line_col", this);
  QLabel* thicknessHeading = NamedLabel("lbl2_line_thk", this);
  QLabel* markersHeading = NamedLabel("lbl2_add_mark", this);
  for (QLabel* heading : {colourHeading, thicknessHeading, markersHeading}) {
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
  }
  colourHeading->setAlignment(Qt::AlignCenter);
  thicknessHeading->setAlignment(Qt::AlignCenter);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(14);
  grid->setVerticalSpacing(6);
  grid->setColumnStretch(0, 1);
  int row = 0;
  grid->addWidget(colourHeading, row, 1);
  grid->addWidget(thicknessHeading, row, 2);
  ++row;
  auto addLine = [&](QWidget* caption, const LineControls& line) {
    grid->addWidget(caption, row, 0);
    grid->addWidget(line.swatch, row, 1, Qt::AlignCenter);
    grid->addWidget(line.thickness, row, 2, Qt::AlignCenter);
    ++row;
  };
  addLine(NamedLabel("lbl2_speed_line", this), speed_);
  addLine(NamedLabel("lbl2_rspeed_ine", this), rated_);

  auto* markersRule = new QFrame(this);
  markersRule->setFrameShape(QFrame::HLine);
  markersRule->setFrameShadow(QFrame::Sunken);
  grid->setRowMinimumHeight(row++, 6);
  grid->addWidget(markersHeading, row++, 0, 1, 3);
  grid->addWidget(markersRule, row++, 0, 1, 3);
  for (const LineControls& line : max_) addLine(line.marker, line);
  grid->setRowMinimumHeight(row++, 6);
  for (const LineControls& line : min_) addLine(line.marker, line);

  cmd2_ok_ = new QPushButton(this);
  cmd2_ok_->setObjectName(QStringLiteral("cmd2_ok"));
  cmd2_ok_->setDefault(true);
  cmd2_cancel_ = new QPushButton(this);
  cmd2_cancel_->setObjectName(QStringLiteral("cmd2_cancel"));
  cmd2_cancel_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd2_ok_);
  buttons->addWidget(cmd2_cancel_);

  auto* rule = new QFrame(this);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 14, 16, 12);
  layout->setSpacing(12);
  layout->addLayout(grid);
  layout->addWidget(rule);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cmd2_ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmd2_cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

int TSetup_diag::Run() {
  ApplyTexts();
  PresetFromSettings();
  cmd2_ok_->setFocus();
  const int result = exec();
  if (result == QDialog::Accepted) StoreSettings();
  return result;
}

void TSetup_diag::ApplyTexts() {
  setWindowTitle(texts_.GetTextByKey(QStringLiteral("diag_setup_caption")));
  for (const char* key : kCaptionKeys) {
    const QString text = texts_.GetTextByKey(QLatin1String(key));
    QWidget* control = findChild<QWidget*>(QLatin1String(key));
    if (auto* label = qobject_cast<QLabel*>(control)) label->setText(text);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(text);
  }
  for (int i = 0; i < 5; ++i) {
    max_[i].marker->setText(texts_.GetTextByKey(max_[i].marker->objectName()));
    min_[i].marker->setText(texts_.GetTextByKey(min_[i].marker->objectName()));
  }
}

void TSetup_diag::PresetFromSettings() {
  const LocSetupRec& s = settings_;
  speed_.swatch->SetColour(ColorOfSetting(s.diag_speed_col));
  speed_.thickness->setCurrentIndex(s.diag_speed_thk);
  rated_.swatch->SetColour(ColorOfSetting(s.diag_rated_col));
  rated_.thickness->setCurrentIndex(s.diag_rated_thk);
  for (int i = 0; i < 5; ++i) {
    max_[i].marker->setChecked(s.diag_max_act[i]);
    max_[i].swatch->SetColour(ColorOfSetting(s.diag_max_col[i]));
    max_[i].thickness->setCurrentIndex(s.diag_max_thk[i]);
    min_[i].marker->setChecked(s.diag_min_act[i]);
    min_[i].swatch->SetColour(ColorOfSetting(s.diag_min_col[i]));
    min_[i].thickness->setCurrentIndex(s.diag_min_thk[i]);
  }
}

void TSetup_diag::StoreSettings() {
  LocSetupRec& s = settings_;
  s.diag_speed_col = SettingOfColor(speed_.swatch->Colour());
  s.diag_speed_thk = speed_.thickness->currentIndex();
  s.diag_rated_col = SettingOfColor(rated_.swatch->Colour());
  s.diag_rated_thk = rated_.thickness->currentIndex();
  for (int i = 0; i < 5; ++i) {
    s.diag_max_act[i] = max_[i].marker->isChecked();
    s.diag_max_col[i] = SettingOfColor(max_[i].swatch->Colour());
    s.diag_max_thk[i] = max_[i].thickness->currentIndex();
    s.diag_min_act[i] = min_[i].marker->isChecked();
    s.diag_min_col[i] = SettingOfColor(min_[i].swatch->Colour());
    s.diag_min_thk[i] = min_[i].thickness->currentIndex();
  }
}

void TSetup_diag::shp_col_max_1MouseDown(ColourSwatch& swatch) {
  const std::optional<QColor> chosen = prompts_.PickColor(lastPicked_);
  if (!chosen) return;
  lastPicked_ = *chosen;
  swatch.SetColour(*chosen);
}

}  // namespace kvn

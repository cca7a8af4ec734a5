#include "ui/page_builder.h"

#include "parameters/parameter_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "texts/text_table.h"
#include "ui/accessibility.h"
#include "ui/info_mark.h"
#include "ui/theme.h"

namespace kvn {

namespace {

using pages::Column;
using pages::Control;
using pages::Kind;
using pages::Row;
using pages::Width;
using pages::ControlColumns;
using pages::kMaxRowControls;

constexpr int kCellMargin = 4;
constexpr int kCellSpacing = 6;
constexpr int kCaptionMinWidth = 190;
constexpr int kUnitMinWidth = 44;
constexpr int kButtonHeight = 26;
constexpr int kLineSpacing = 5;
constexpr int kHeadingGap = 8;

int WidthOf(Width width) {
  switch (width) {
    case Width::Number: return 110;
    case Width::Text16: return 180;
    case Width::Text32: return 330;
    case Width::Combo: return 150;
    case Width::WideCombo: return 290;
    case Width::Value: return 110;
    case Width::Auto:
    case Width::Word:
    case Width::Column: break;
  }
  return 0;
}

bool IsEntry(Kind kind) {
  return kind == Kind::Edit || kind == Kind::Masked || kind == Kind::Combo ||
         kind == Kind::Check;
}

QLabel* MakeLabel(const Control& c, QWidget* parent) {
  auto* label = new QLabel(IndentedCaption(QString::fromUtf8(c.name), QString::fromUtf8(c.text)),
                           parent);
  label->setObjectName(QString::fromUtf8(c.name));
  switch (c.kind) {
    case Kind::Value:
      theme::StyleValue(*label);
      label->setFixedHeight(theme::kControlHeight);
      break;
    case Kind::Unit:
      theme::StyleUnit(*label);
      label->setMinimumWidth(kUnitMinWidth);
      break;
    case Kind::Link: {
      // The disabled group keeps its grey: a link that cannot be used must look so.
      QPalette palette = label->palette();
      for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, theme::kInfoMarkColor);
      label->setPalette(palette);
      label->setCursor(Qt::PointingHandCursor);
      break;
    }
    default: break;
  }
  return label;
}

QWidget* MakeEntry(const Control& c, QWidget* parent) {
  const QString name = QString::fromUtf8(c.name);
  switch (c.kind) {
    case Kind::Edit:
    case Kind::Masked: {
      auto* edit = new QLineEdit(parent);
      if (c.kind == Kind::Masked) {
        edit->setEchoMode(QLineEdit::Password);
        // The device manuals show the password masked with "*", not the style's bullet.
        edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
      }
      edit->setFixedHeight(theme::kControlHeight);
      edit->setObjectName(name);
      return edit;
    }
    case Kind::Combo: {
      auto* combo = new QComboBox(parent);
      combo->addItems(QString::fromUtf8(c.text).split(QLatin1Char('|')));
      combo->setCurrentIndex(-1);
      combo->setFixedHeight(theme::kControlHeight);
      combo->setObjectName(name);
      return combo;
    }
    case Kind::Check: {
      auto* check = new QCheckBox(QString::fromUtf8(c.text), parent);
      check->setChecked((c.flags & pages::kTicked) != 0);
      check->setObjectName(name);
      return check;
    }
    case Kind::Button: {
      auto* button = new QPushButton(QString::fromUtf8(c.text), parent);
      button->setFixedHeight(kButtonHeight);
      button->setMinimumWidth(150);
      button->setObjectName(name);
      return button;
    }
    case Kind::VScroll: {
      auto* bar = new QScrollBar(Qt::Vertical, parent);
      bar->setMaximum(0);
      bar->setObjectName(name);
      return bar;
    }
    default: break;
  }
  return nullptr;
}

}  // namespace

bool HasInfoText(const QString& key) {
  return std::any_of(TextTable.begin(), TextTable.end(), [&](const TextEntry& entry) {
    return entry.kind == TextKind::InfoText && key == QLatin1String(entry.key);
  });
}

QWidget* MakeControl(const Control& c, QWidget* parent) {
  QWidget* widget = nullptr;
  switch (c.kind) {
    case Kind::Info: widget = new InfoMark(QString::fromUtf8(c.name), parent); break;
    case Kind::Value:
    case Kind::Unit:
    case Kind::Word:
    case Kind::Link: widget = MakeLabel(c, parent); break;
    default: widget = MakeEntry(c, parent); break;
  }
  if (const int width = WidthOf(c.width); width > 0) widget->setFixedWidth(width);
  if ((c.flags & pages::kDisabled) != 0) widget->setEnabled(false);
  if ((c.flags & pages::kHidden) != 0) widget->setHidden(true);
  return widget;
}

PageBuilder::PageBuilder(QWidget& page) : page_(page) {
  columns_ = new QHBoxLayout(&page_);
  columns_->setContentsMargins(10, 6, 10, 6);
  columns_->setSpacing(16);
  NewColumn();
}

void PageBuilder::NewColumn() {
  column_ = new QVBoxLayout;
  column_->setSpacing(kLineSpacing);
  columns_->addLayout(column_);
  line_ = nullptr;
}

QHBoxLayout* PageBuilder::NewLine() {
  line_ = new QHBoxLayout;
  line_->setSpacing(kCellSpacing);
  line_->addStretch(1);
  lineStretchIndex_ = 0;
  column_->addLayout(line_);
  return line_;
}

void PageBuilder::Add(QWidget* widget, bool fill) {
  NewLine();
  if (!fill) {
    Beside(widget);
    return;
  }
  // A filling item takes the whole width of the column, so cards share one right edge.
  line_->insertWidget(lineStretchIndex_++, widget, 1);
  line_->setStretch(lineStretchIndex_, 0);
}

void PageBuilder::Beside(QWidget* widget, int spacing) {
  if (line_ == nullptr) NewLine();
  if (spacing > 0) line_->insertSpacing(lineStretchIndex_++, spacing);
  line_->insertWidget(lineStretchIndex_++, widget);
}

void PageBuilder::Trailing(QWidget* widget) {
  if (line_ == nullptr) NewLine();
  line_->addWidget(widget);
}

void PageBuilder::Gap(int pixels) { column_->addSpacing(pixels); }

void PageBuilder::AddToReadingOrder(QWidget* widget) { readingOrder_.push_back(widget); }

QLabel* PageBuilder::Heading(const char* name, const char* text) {
  if (column_->count() > 0) Gap(kHeadingGap);
  auto* label = new QLabel(IndentedCaption(QString::fromUtf8(name), QString::fromUtf8(text)),
                           &page_);
  label->setObjectName(QString::fromUtf8(name));
  theme::StyleHeading(*label);
  Add(label);
  return label;
}

QLabel* PageBuilder::HeadingWithMark(const char* name, const char* text, const char* mark,
                                     int gap) {
  QLabel* heading = Heading(name, text);
  line_->setSpacing(0);
  QWidget* info = MakeControl(pages::Info(mark), &page_);
  Beside(info, gap);
  return heading;
}

GridPanel* PageBuilder::Section(const char* panel, std::span<const Row> rows) {
  return Table(panel, {}, rows);
}

GridPanel* PageBuilder::Table(const char* panel, std::span<const Column> columns,
                              std::span<const Row> rows) {
  auto* section = new GridPanel(QString::fromUtf8(panel), GridPanel::Look::Section, &page_);
  auto* grid = new QGridLayout(section);
  grid->setContentsMargins(1, 1, 1, 1);
  grid->setHorizontalSpacing(0);
  grid->setVerticalSpacing(0);
  std::vector<QLabel*> headers;
  if (!columns.empty()) AddTableHeader(*section, columns, headers);
  int gridRow = columns.empty() ? 0 : 1;
  for (const Row& row : rows) {
    AddRow(*section, row, gridRow, columns, headers);
    gridRow += 1;
  }
  grid->setColumnStretch(1, 1);
  Add(section, true);
  return section;
}

void PageBuilder::Sections(std::span<const pages::Section> sections) {
  for (const pages::Section& section : sections) {
    if (section.heading.name != nullptr) Heading(section.heading.name, section.heading.caption);
    Table(section.panel, section.columns, section.rows);
  }
}

void PageBuilder::AddTableHeader(GridPanel& section, std::span<const Column> columns,
                                 std::vector<QLabel*>& headers) {
  auto* grid = static_cast<QGridLayout*>(section.layout());
  auto* line = new QHBoxLayout;
  line->setContentsMargins(kCellMargin, 2, kCellMargin, 2);
  line->setSpacing(kCellSpacing);
  for (const Column& column : columns) {
    auto* label = new QLabel(
        IndentedCaption(QString::fromUtf8(column.name), QString::fromUtf8(column.caption)),
        &section);
    label->setObjectName(QString::fromUtf8(column.name));
    theme::StyleColumnHeader(*label);
    label->setFixedWidth(column.width);
    label->setFixedHeight(theme::kRowHeight);
    line->addWidget(label);
    headers.push_back(label);
  }
  line->addStretch(1);
  grid->addLayout(line, 0, 1);
  section.setProperty("kvn_header_rows", 1);
}

void PageBuilder::AddRow(GridPanel& section, const Row& row, int gridRow,
                         std::span<const Column> columns, std::span<QLabel* const> headers) {
  auto* grid = static_cast<QGridLayout*>(section.layout());
  GridPanel* caption = CaptionCell(section, row);
  auto* captionLabel = caption->findChild<QLabel*>(QStringLiteral("lbl_") + row.name);
  GridPanel* value = ValueCell(section, row, columns, headers, captionLabel);
  const int height = theme::kRowHeight * row.lines;
  caption->setFixedHeight(height);
  value->setFixedHeight(height);
  grid->addWidget(caption, gridRow, 0);
  grid->addWidget(value, gridRow, 1);
}

GridPanel* PageBuilder::CaptionCell(GridPanel& section, const Row& row) {
  const QString name = QString::fromUtf8(row.name);
  auto* cell = new GridPanel(QStringLiteral("gpl_lab_") + name, GridPanel::Look::Plain, &section);
  auto* line = new QHBoxLayout(cell);
  line->setContentsMargins(kCellMargin, 0, kCellMargin, 0);
  line->setSpacing(kCellSpacing);
  const QString captionName = QStringLiteral("lbl_") + name;
  auto* caption =
      new QLabel(IndentedCaption(captionName, QString::fromUtf8(row.caption)), cell);
  caption->setObjectName(captionName);
  line->addWidget(caption, 0, row.lines > 1 ? Qt::AlignTop : Qt::AlignVCenter);
  line->addStretch(1);
  const QString infoName = QStringLiteral("lbl_i_") + name;
  if (HasInfoText(infoName)) {
    auto* info = new InfoMark(infoName, cell);
    line->addWidget(info, 0, row.lines > 1 ? Qt::AlignTop : Qt::AlignVCenter);
  }
  if (row.lines > 1) line->setContentsMargins(kCellMargin, 3, kCellMargin, 0);
  captionCells_.push_back(cell);
  return cell;
}

GridPanel* PageBuilder::ValueCell(GridPanel& section, const Row& row,
                                  std::span<const Column> columns,
                                  std::span<QLabel* const> headers, QLabel* caption) {
  auto* cell = new GridPanel(QStringLiteral("gpl_") + QString::fromUtf8(row.name),
                             GridPanel::Look::Plain, &section);
  auto* grid = new QGridLayout(cell);
  grid->setContentsMargins(kCellMargin, 1, kCellMargin, 1);
  grid->setHorizontalSpacing(kCellSpacing);
  grid->setVerticalSpacing(2);
  const int columnCount = static_cast<int>(columns.size());
  for (int i = 0; i < columnCount; ++i) grid->setColumnMinimumWidth(i, columns[i].width);
  std::vector<bool> used(static_cast<size_t>(columnCount), false);
  const std::array<int, kMaxRowControls> placed = ControlColumns(row, columnCount);
  int lastColumn = columnCount;
  bool buddySet = false;
  for (size_t i = 0; i < row.controls.size(); ++i) {
    const Control& c = row.controls[i];
    if (c.name == nullptr) break;
    const int col = placed[i];
    lastColumn = std::max(lastColumn, col + c.cols);
    QWidget* widget = MakeControl(c, cell);
    Qt::Alignment align = Qt::AlignVCenter;
    if (col < columnCount) {
      int span = 0;
      for (int i = col; i < std::min(col + c.cols, columnCount); ++i) span += columns[i].width;
      span += (c.cols - 1) * kCellSpacing;
      if (c.kind == Kind::Check) align |= Qt::AlignHCenter;
      else if (c.kind != Kind::VScroll) widget->setFixedWidth(span);
    }
    if (c.kind == Kind::VScroll) widget->setFixedHeight(theme::kRowHeight * c.lines - 4);
    grid->addWidget(widget, c.line, col, c.lines, c.cols, align);
    for (int i = col; i < std::min(col + c.cols, columnCount); ++i) used[static_cast<size_t>(i)] = true;
    if (IsEntry(c.kind) || c.kind == Kind::Value) {
      QLabel* header = nullptr;
      if (col < columnCount && col < static_cast<int>(headers.size())) header = headers[col];
      DescribeForScreenReaders(*widget, caption, header);
      if (IsEntry(c.kind)) readingOrder_.push_back(widget);
      if (!buddySet && IsEntry(c.kind) && caption != nullptr) {
        caption->setBuddy(widget);
        buddySet = true;
      }
    }
  }
  // An empty column would lose its spacing and shift the columns right of it.
  for (int i = 0; i < columnCount; ++i) {
    if (used[static_cast<size_t>(i)]) continue;
    auto* filler = new QWidget(cell);
    filler->setFixedSize(columns[static_cast<size_t>(i)].width, 1);
    grid->addWidget(filler, 0, i);
  }
  grid->setColumnStretch(lastColumn, 1);
  return cell;
}

void PageBuilder::ButtonLine(std::span<const Control> buttons) {
  NewLine();
  for (const Control& c : buttons) {
    QWidget* button = MakeControl(c, &page_);
    Beside(button);
    readingOrder_.push_back(button);
  }
}

void PageBuilder::ButtonStack(std::span<const Control> buttons) {
  auto* stack = new QVBoxLayout;
  stack->setSpacing(kLineSpacing);
  for (const Control& c : buttons) {
    QWidget* button = MakeControl(c, &page_);
    stack->addWidget(button);
    readingOrder_.push_back(button);
  }
  stack->addStretch(1);
  if (line_ == nullptr) NewLine();
  line_->insertSpacing(lineStretchIndex_++, 12);
  line_->insertLayout(lineStretchIndex_++, stack);
}

void PageBuilder::Finish() {
  // One caption width for the whole page keeps the value column straight across sections.
  int width = kCaptionMinWidth;
  for (GridPanel* cell : captionCells_) width = std::max(width, cell->sizeHint().width());
  for (GridPanel* cell : captionCells_) cell->setFixedWidth(width);
  column_->addStretch(1);
  for (size_t i = 1; i < readingOrder_.size(); ++i)
    QWidget::setTabOrder(readingOrder_[i - 1], readingOrder_[i]);
}

}  // namespace kvn

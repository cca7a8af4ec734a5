#include "ui/compare_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace kvn {

namespace {
enum Column { kPage, kParameter, kWindow, kOther, kColumns };

qint64 Area(const QSize& size) { return qint64{size.width()} * size.height(); }

// The screen beside `keep`: below, above, right and left of it.
std::array<QRect, 4> BandsBeside(const QRect& keep, const QRect& screen) {
  return {QRect(QPoint(screen.left(), keep.bottom() + 1), screen.bottomRight()),
          QRect(screen.topLeft(), QPoint(screen.right(), keep.top() - 1)),
          QRect(QPoint(keep.right() + 1, screen.top()), screen.bottomRight()),
          QRect(screen.topLeft(), QPoint(keep.left() - 1, screen.bottom()))};
}

}  // namespace

QRect PlaceClear(const QSize& size, const QRect& mainFrame, const QRect& keep, const QRect& screen) {
  const int lowest = std::max(screen.top(), screen.bottom() + 1 - size.height());
  const int top = std::clamp(mainFrame.top(), screen.top(), lowest);
  for (const int left : {mainFrame.right() + 1, mainFrame.left() - size.width()}) {
    const QRect beside(QPoint(left, top), size);
    if (screen.contains(beside) && !beside.intersects(keep)) return beside;
  }
  if (keep.isEmpty()) return QRect();
  QRect best;
  for (const QRect& band : BandsBeside(keep, screen)) {
    if (!band.isValid()) continue;
    const QSize fit = size.boundedTo(band.size());
    if (Area(fit) > Area(best.size())) best = QRect(band.topLeft(), fit);
  }
  return best;
}

CompareWindow::CompareWindow(Focus focus, QWidget* mainWindow)
    : QDialog(mainWindow), focus_(std::move(focus)) {
  setObjectName(QStringLiteral("frm_compare"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("lbl_compare_summary"));
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName(QStringLiteral("grd_compare"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  ShareColumns();
  table_->setAlternatingRowColors(true);
  layout->addWidget(table_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  close_ = new QPushButton(tr("Close"), this);
  close_->setObjectName(QStringLiteral("cmd_compare_close"));
  close_->setAutoDefault(false);  // Enter belongs to the table's rows
  buttons->addWidget(close_);
  layout->addLayout(buttons);
  // activated: Enter on the current row, and a double-click where the style activates so.
  connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) { Activate(index.row()); });
  connect(close_, &QPushButton::clicked, this, &QDialog::close);
  resize(760, 420);
}

// The two values are what the engineer reads: they share what the page and the name leave
// and wrap there, so a long one never squeezes the other out of sight.
void CompareWindow::ShareColumns() {
  QHeaderView& header = *table_->horizontalHeader();
  header.setSectionResizeMode(kPage, QHeaderView::ResizeToContents);
  header.setSectionResizeMode(kParameter, QHeaderView::Interactive);
  header.setSectionResizeMode(kWindow, QHeaderView::Stretch);
  header.setSectionResizeMode(kOther, QHeaderView::Stretch);
  table_->setWordWrap(true);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A row is as high as its wrapped texts, whenever a column's width changes.
  connect(&header, &QHeaderView::sectionResized, table_, [this] { table_->resizeRowsToContents(); });
}

// A name wider than a third of the list wraps too.
void CompareWindow::FitNameColumn() {
  table_->resizeColumnToContents(kParameter);
  // The window's own width: the table's viewport follows it only once the layout has run.
  const int third = width() / 3;
  if (table_->columnWidth(kParameter) > third) table_->setColumnWidth(kParameter, third);
}

void CompareWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FitNameColumn();
}

void CompareWindow::ShowDifferences(const QString& title, const QString& otherSide,
                                    const std::vector<ParameterDifference>& differences, const QString& note) {
  Fill(title, otherSide, differences, note);
  if (!isVisible()) StepAside(QRect());  // placed before it is mapped, not moved after
  show();
  StepAside(QRect());
  raise();
  activateWindow();
  table_->setFocus(Qt::OtherFocusReason);
}

int CompareWindow::RunDifferences(const QString& title, const QString& otherSide,
                                  const std::vector<ParameterDifference>& differences) {
  Fill(title, otherSide, differences);
  if (const QWidget* owner = Owner()) StepAside(owner->frameGeometry());  // the question stays in sight
  table_->setFocus(Qt::OtherFocusReason);
  return exec();
}

void CompareWindow::Fill(const QString& title, const QString& otherSide,
                         const std::vector<ParameterDifference>& differences, const QString& note) {
  setWindowTitle(title);
  table_->setHorizontalHeaderLabels({tr("Page"), tr("Parameter"), tr("Window"), otherSide});
  table_->clearContents();
  table_->setRowCount(static_cast<int>(differences.size()));
  rows_.clear();
  int hidden = 0;
  for (const ParameterDifference& d : differences) {
    const int r = static_cast<int>(rows_.size());
    rows_.push_back(d.row);
    QString name = d.name;
    if (d.belowShown) {
      name += QStringLiteral(" (") + BelowShownNote() + QLatin1Char(')');
      ++hidden;
    }
    const QString cells[kColumns] = {d.page, name, LeftText(d), RightText(d)};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setToolTip(cells[c]);  // the whole text, however the column wraps it
      table_->setItem(r, c, item);
    }
  }
  FitNameColumn();
  table_->resizeRowsToContents();
  QStringList summary;
  if (!note.isEmpty()) summary << note;
  summary << (differences.size() == 1 ? tr("One parameter differs.")
                                      : tr("%1 parameters differ.").arg(differences.size()));
  if (hidden > 0)
    summary << tr("%n of them only below the shown precision: the raw register values are in brackets.", "", hidden);
  if (focus_) summary << tr("Double-click a row or press Enter to go to the field.");
  summary_->setText(summary.join(QLatin1Char(' ')));
  if (!differences.empty()) table_->setCurrentCell(0, kParameter);
}

void CompareWindow::Activate(int tableRow) {
  if (tableRow < 0 || tableRow >= static_cast<int>(rows_.size()) || !focus_) return;
  const int row = rows_[static_cast<size_t>(tableRow)];
  if (row == 0) return;  // a register no field shows
  if (const QWidget* field = focus_(row)) StepAside(QRect(field->mapToGlobal(QPoint(0, 0)), field->size()));
}

const QWidget* CompareWindow::Owner() const {
  return parentWidget() ? parentWidget()->window() : nullptr;
}

// Before the window is first mapped its frame is not known yet: the owner's decoration
// stands in for its own.
QRect CompareWindow::ExpectedFrame() const {
  if (isVisible() || !Owner()) return frameGeometry();
  const QSize decoration = Owner()->frameGeometry().size() - Owner()->size();
  return QRect(pos(), size() + decoration);
}

void CompareWindow::StepAside(const QRect& keep) {
  const QWidget* main = Owner();
  const QScreen* screen = main ? main->screen() : nullptr;
  if (screen == nullptr) return;
  const QRect frame = ExpectedFrame();
  const QRect mainFrame = main->frameGeometry();
  if (isVisible() && !frame.intersects(keep.isEmpty() ? mainFrame : keep)) return;
  // Without a field to keep clear of, the owner itself is kept clear of: where the screen has
  // no room beside it, the window goes, made smaller, to the largest free band around it.
  const QRect at = PlaceClear(frame.size(), mainFrame, keep.isEmpty() ? mainFrame : keep,
                              screen->availableGeometry());
  if (at.isNull()) return;
  resize(at.size() - (frame.size() - size()));
  move(at.topLeft());
}

}  // namespace kvn

#include "ui/compare_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kvn {

namespace {
enum Column { kPage, kParameter, kWindow, kOther, kColumns };
}

CompareWindow::CompareWindow(std::function<void(int)> focus, QWidget* mainWindow)
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
  table_->horizontalHeader()->setStretchLastSection(true);
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

void CompareWindow::ShowDifferences(const QString& title, const QString& otherSide,
                                    const std::vector<ParameterDifference>& differences) {
  Fill(title, otherSide, differences);
  show();
  raise();
  activateWindow();
  if (!differences.empty()) table_->setFocus(Qt::OtherFocusReason);
}

int CompareWindow::RunDifferences(const QString& title, const QString& otherSide,
                                  const std::vector<ParameterDifference>& differences) {
  Fill(title, otherSide, differences);
  if (!differences.empty()) table_->setFocus(Qt::OtherFocusReason);
  return exec();
}

void CompareWindow::Fill(const QString& title, const QString& otherSide,
                         const std::vector<ParameterDifference>& differences) {
  setWindowTitle(title);
  table_->setHorizontalHeaderLabels({tr("Page"), tr("Parameter"), tr("Window"), otherSide});
  table_->clearContents();
  table_->setRowCount(static_cast<int>(differences.size()));
  rows_.clear();
  for (const ParameterDifference& d : differences) {
    const int r = static_cast<int>(rows_.size());
    rows_.push_back(d.row);
    const QString cells[kColumns] = {d.page, d.caption, d.left, d.right};
    for (int c = 0; c < kColumns; ++c) table_->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  table_->resizeColumnsToContents();
  if (differences.empty()) {
    summary_->setText(tr("No differences: the window and the %1 hold the same settings.").arg(otherSide.toLower()));
  } else {
    const QString count = differences.size() == 1
                              ? tr("One parameter differs.")
                              : tr("%1 parameters differ.").arg(differences.size());
    summary_->setText(count + QLatin1Char(' ') + tr("Double-click a row or press Enter to go to the field."));
    table_->setCurrentCell(0, kParameter);
  }
  table_->setVisible(!differences.empty());
}

void CompareWindow::Activate(int tableRow) {
  if (tableRow < 0 || tableRow >= static_cast<int>(rows_.size()) || !focus_) return;
  focus_(rows_[static_cast<size_t>(tableRow)]);
}

}  // namespace kvn

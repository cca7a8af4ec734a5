#include "ui/change_history_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

#include "operations/device_transaction.h"
#include "parameters/file_dialogs.h"
#include "records/records.h"
#include "texts/atomic_file.h"
#include "texts/prompts.h"

namespace kvn {
namespace {

enum Column { kDate, kEngineer, kStation, kOperation, kOutcome, kChanges, kColumns };

// Wide enough for what each column holds without cutting it: a date, a login, a host name,
// an operation's name; the changes take the rest and are shown in full below.
constexpr int kColumnWidths[kColumns] = {150, 170, 110, 210, 230, 300};

QString OutcomeText(const RecordedOperation& op) {
  switch (op.kind) {
    case RecordedOperation::Kind::FirstRecord: return ChangeHistoryDialog::tr("first record");
    case RecordedOperation::Kind::FoundChanged: return ChangeHistoryDialog::tr("changed outside the program");
    case RecordedOperation::Kind::Unchanged: return ChangeHistoryDialog::tr("as recorded before");
    case RecordedOperation::Kind::Write: return op.result;
  }
  return {};
}

QString OperationText(const RecordedOperation& op) {
  return op.kind == RecordedOperation::Kind::Write ? op.operation : ChangeHistoryDialog::tr("Read from the unit");
}

}  // namespace

ChangeHistoryDialog::ChangeHistoryDialog(Services services, QWidget* parent)
    : QDialog(parent), s_(std::move(services)) {
  setObjectName(QStringLiteral("dlg_change_history"));
  setWindowTitle(tr("Change history"));
  setWindowModality(Qt::WindowModal);
  auto* column = new QVBoxLayout(this);

  auto* unitRow = new QHBoxLayout;
  auto* unitCaption = new QLabel(tr("&Unit:"), this);
  units_ = new QComboBox(this);
  units_->setObjectName(QStringLiteral("cmb_history_unit"));
  units_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  units_->setMinimumContentsLength(24);
  unitCaption->setBuddy(units_);
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("lbl_history_note"));
  unitRow->addWidget(unitCaption);
  unitRow->addWidget(units_);
  unitRow->addSpacing(12);
  unitRow->addWidget(note_, 1);
  column->addLayout(unitRow);

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("lst_history"));
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAlternatingRowColors(true);
  list_->setHeaderLabels({tr("Date"), tr("Engineer"), tr("Station"), tr("Operation"), tr("Outcome"), tr("Changes")});
  for (int c = 0; c < kColumns; ++c) list_->setColumnWidth(c, kColumnWidths[c]);
  list_->header()->setStretchLastSection(true);
  details_ = new QPlainTextEdit(this);
  details_->setObjectName(QStringLiteral("txt_history_changes"));
  details_->setReadOnly(true);
  details_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(list_);
  split->addWidget(details_);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 1);
  column->addWidget(split, 1);

  auto* buttons = new QDialogButtonBox(this);
  load_ = buttons->addButton(tr("&Load this set"), QDialogButtonBox::ActionRole);
  load_->setObjectName(QStringLiteral("cmd_history_load"));
  export_ = buttons->addButton(tr("&Export..."), QDialogButtonBox::ActionRole);
  export_->setObjectName(QStringLiteral("cmd_history_export"));
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  column->addWidget(buttons);

  connect(units_, &QComboBox::activated, this, [this] { ShowUnit(units_->currentText()); });
  connect(list_, &QTreeWidget::currentItemChanged, this, &ChangeHistoryDialog::ShowSelected);
  connect(list_, &QTreeWidget::itemActivated, this, &ChangeHistoryDialog::LoadSelected);
  connect(load_, &QPushButton::clicked, this, &ChangeHistoryDialog::LoadSelected);
  connect(export_, &QPushButton::clicked, this, &ChangeHistoryDialog::Export);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  int width = 0;
  for (int w : kColumnWidths) width += w;
  resize(width + 40, 520);
}

void ChangeHistoryDialog::Run() {
  const QString connected = s_.connectedUnit ? s_.connectedUnit() : QString();
  units_->clear();
  if (connected.isEmpty()) {
    const Hourglass wait;
    Records records(s_.workDirectory);
    QString error;
    units_->addItems(RecordedUnits(records, &error));
  } else {
    units_->addItem(connected);
  }
  // The connected unit's history only: another's set loaded into its window would be taken for its own.
  units_->setEnabled(connected.isEmpty());
  ShowUnit(units_->currentText());
  open();
  (units_->isEnabled() ? static_cast<QWidget*>(units_) : list_)->setFocus();
}

void ChangeHistoryDialog::ShowUnit(const QString& unit) {
  unit_ = unit;
  units_->setCurrentText(unit);
  operations_.clear();
  QString error;
  if (!unit.isEmpty()) {
    const Hourglass wait;
    Records records(s_.workDirectory);
    operations_ = RecordedOperations(records, unit, s_.texts, s_.decimal, &error);
  }
  if (!error.isEmpty())
    note_->setText(error);
  else if (unit.isEmpty())
    note_->setText(tr("The records hold no unit yet."));
  else
    note_->setText(operations_.size() == 1 ? tr("One record.") : tr("%1 records.").arg(operations_.size()));
  Fill();
}

void ChangeHistoryDialog::Fill() {
  list_->clear();
  for (const RecordedOperation& op : operations_) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(kDate, op.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    item->setText(kEngineer, op.engineer);
    item->setText(kStation, op.station);
    item->setText(kOperation, OperationText(op));
    item->setText(kOutcome, OutcomeText(op));
    item->setText(kChanges, op.changes.join(QStringLiteral("; ")));
    item->setToolTip(kChanges, op.changes.join(QLatin1Char('\n')));
  }
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  export_->setEnabled(!operations_.empty());
  ShowSelected();
}

const RecordedOperation* ChangeHistoryDialog::Selected() const {
  const int row = list_->currentItem() ? list_->indexOfTopLevelItem(list_->currentItem()) : -1;
  return row >= 0 && row < static_cast<int>(operations_.size()) ? &operations_[static_cast<size_t>(row)] : nullptr;
}

void ChangeHistoryDialog::ShowSelected() {
  const RecordedOperation* op = Selected();
  load_->setEnabled(op != nullptr);
  if (!op) {
    details_->clear();
    return;
  }
  QStringList lines{QStringLiteral("%1: %2").arg(OperationText(*op), OutcomeText(*op))};
  if (!op->backupFile.isEmpty()) lines << tr("Backup: %1").arg(op->backupFile);
  lines << tr("Commit: %1").arg(op->commit) << QString() << op->changes;
  details_->setPlainText(lines.join(QLatin1Char('\n')));
}

// The set the unit held after the commit: its settings.kvn there, loaded as a file is.
void ChangeHistoryDialog::LoadSelected() {
  const RecordedOperation* op = Selected();
  if (!op) return;
  std::optional<QByteArray> bytes;
  QString error;
  {
    Records records(s_.workDirectory);
    bytes = records.FileAt(unit_, kSettingsFile, op->commit, &error);
  }
  if (!bytes) {
    s_.prompts.ShowError(error);
    return;
  }
  accept();
  s_.loadSet(*bytes);
}

void ChangeHistoryDialog::Export() {
  const QString path = AskSaveFileName(s_.prompts, tr("Change history"), tr("Export the change history"),
                                       QStringLiteral("csv"));
  if (path.isEmpty() || !ConfirmOverwrite(s_.prompts, s_.texts, path)) return;
  QString error;
  if (!WriteFileAtomically(path, HistoryCsv(operations_, s_.decimal, s_.listSeparator), &error))
    s_.prompts.ShowError(error);
}

}  // namespace kvn

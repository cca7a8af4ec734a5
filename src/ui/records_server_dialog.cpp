#include "ui/records_server_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "operations/records_server_choice.h"
#include "records/records.h"
#include "ui/records_push.h"

namespace kvn {

RecordsServerDialog::RecordsServerDialog(QString workDirectory, RecordsPush& push, QWidget* parent)
    : QDialog(parent), workDirectory_(std::move(workDirectory)), push_(push) {
  setObjectName(QStringLiteral("dlg_records_server"));
  setWindowTitle(tr("Records server"));
  setWindowModality(Qt::WindowModal);
  auto* column = new QVBoxLayout(this);
  auto* intro = new QLabel(tr("After each record the program pushes the records to the plant's server: a bare "
                              "repository's path (a mounted share), file://..., ssh://user@host[:port]/path or "
                              "user@host:path. Empty: the records stay on this station."),
                           this);
  intro->setWordWrap(true);
  column->addWidget(intro);

  auto* form = new QFormLayout;
  current_ = new QLabel(this);
  current_->setObjectName(QStringLiteral("lbl_records_server"));
  current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  address_ = new QLineEdit(this);
  address_->setObjectName(QStringLiteral("edt_records_server"));
  address_->setMinimumWidth(420);
  address_->setPlaceholderText(QStringLiteral("ssh://korvane@records.plant/srv/records.git"));
  form->addRow(tr("Current server:"), current_);
  form->addRow(tr("&Address:"), address_);
  column->addLayout(form);

  outcome_ = new QLabel(this);
  outcome_->setObjectName(QStringLiteral("lbl_records_outcome"));
  outcome_->setWordWrap(true);
  outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(outcome_);
  column->addStretch(1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* set = buttons->addButton(tr("&Set"), QDialogButtonBox::ApplyRole);
  set->setObjectName(QStringLiteral("cmd_records_set"));
  set->setDefault(true);
  sync_ = buttons->addButton(tr("S&ync now"), QDialogButtonBox::ActionRole);
  sync_->setObjectName(QStringLiteral("cmd_records_sync"));
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  column->addWidget(buttons);
  connect(set, &QPushButton::clicked, this, &RecordsServerDialog::Apply);
  connect(sync_, &QPushButton::clicked, this, &RecordsServerDialog::SyncNow);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(&push_, &RecordsPush::Synced, this, &RecordsServerDialog::ShowOutcome);
  column->setSpacing(8);
  resize(640, sizeHint().height() + 24);
}

void RecordsServerDialog::Run() {
  outcome_->clear();
  ShowServer();
  address_->setText(current_->text() == tr("none") ? QString() : current_->text());
  open();
  address_->setFocus();
  address_->selectAll();
}

void RecordsServerDialog::ShowServer() {
  Records records(workDirectory_);
  QString error;
  const QString server = records.Server(&error);
  current_->setText(server.isEmpty() ? tr("none") : server);
  sync_->setEnabled(!server.isEmpty());
}

// A refused address stays in the field with the reason below it, to be corrected.
void RecordsServerDialog::Apply() {
  const QString error = ChooseRecordsServer(workDirectory_, address_->text());
  ShowServer();
  if (!error.isEmpty()) {
    outcome_->setText(error);
    return;
  }
  outcome_->setText(address_->text().trimmed().isEmpty() ? tr("The records stay on this station.")
                                                         : tr("Set. The records are pushed there after each record."));
  if (!address_->text().trimmed().isEmpty()) push_.Request();
}

void RecordsServerDialog::SyncNow() {
  outcome_->setText(tr("Syncing..."));
  push_.Request(true);
}

void RecordsServerDialog::ShowOutcome(const QString& text) {
  if (isVisible()) outcome_->setText(text);
}

}  // namespace kvn

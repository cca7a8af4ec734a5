#include "ui/com_scan_window.h"
#include "ui/indicator_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace kvn {

Tcom_scan::Tcom_scan(QWidget* owner)
    : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      label_(new QLabel(this)),
      progress_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("Tcom_scan"));
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);

  // Fixed wording: the notice appears before any language pack could matter to the engineer.
  label_->setObjectName(QStringLiteral("lbl4_scan_if"));
  label_->setText(QStringLiteral("Scan for exisiting interfaces..."));
  label_->setAlignment(Qt::AlignCenter);

  progress_->setObjectName(QStringLiteral("pgb_scan"));
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(8);
  progress_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 18, 24, 18);
  layout->addWidget(label_, 1);
  layout->addWidget(progress_);
  setFixedSize(300, 72);
}

ScanIndicator Tcom_scan::Indicator() {
  return ScanIndicator{[this](int maximum) { Begin(maximum); },
                       [this](int position) { progress_->setValue(position); },
                       [this] { hide(); }};
}

void Tcom_scan::Begin(int maximum) {
  progress_->setRange(0, maximum);
  progress_->setValue(0);
  ShowIndicatorCentred(*this);
}

}  // namespace kvn

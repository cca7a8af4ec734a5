#include "ui/load_log_window.h"
#include "ui/indicator_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace kvn {

Tload_log::Tload_log(QWidget* mainWindow)
    : QFrame(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      label_(new QLabel(this)) {
  setObjectName(QStringLiteral("Tload_log"));
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);

  label_->setObjectName(QStringLiteral("lbl_load_log"));
  label_->setAlignment(Qt::AlignCenter);
  label_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 12, 16, 12);
  layout->addWidget(label_);
  setFixedSize(280, 64);
}

void Tload_log::ShowCentred() { ShowIndicatorCentred(*this); }

void Tload_log::SetProgressText(const QString& text) {
  label_->setText(text);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace kvn

#include "ui/about_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "texts/texts.h"

namespace kvn {

namespace {

constexpr int kTextWidth = 440;
constexpr int kMinTextHeight = 330;

}  // namespace

Tabout_kvn::Tabout_kvn(const Texts& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      texts_(texts),
      lbl3_about_text_(new QLabel(this)),
      version_(new QLabel(this)),
      cmd3_ok_(new QPushButton(this)) {
  setObjectName(QStringLiteral("Tabout_kvn"));
  lbl3_about_text_->setObjectName(QStringLiteral("lbl3_about_text"));
  lbl3_about_text_->setTextFormat(Qt::PlainText);
  lbl3_about_text_->setAlignment(Qt::AlignCenter);
  lbl3_about_text_->setWordWrap(true);
  lbl3_about_text_->setFixedSize(kTextWidth, kMinTextHeight);
  lbl3_about_text_->setMargin(12);
  lbl3_about_text_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  lbl3_about_text_->setBackgroundRole(QPalette::Base);
  lbl3_about_text_->setAutoFillBackground(true);

  // The same version as the status panel, the command line's --version and the package.
  version_->setObjectName(QStringLiteral("lbl3_version"));
  version_->setAlignment(Qt::AlignCenter);

  cmd3_ok_->setObjectName(QStringLiteral("cmd3_ok"));
  cmd3_ok_->setDefault(true);
  connect(cmd3_ok_, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd3_ok_);
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->setSpacing(12);
  layout->addWidget(lbl3_about_text_);
  layout->addWidget(version_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int Tabout_kvn::Run(const QString& caption) {
  ApplyTexts(caption);
  return exec();
}

void Tabout_kvn::ApplyTexts(const QString& caption) {
  setWindowTitle(caption);
  lbl3_about_text_->setText(ExpandLines(texts_.GetTextByKey(QStringLiteral("lbl3_about_text"))));
  // The width is fixed; the height follows the text, so its last line (the rights notice) is
  // never cut off, whatever the font or a language pack makes of it.
  lbl3_about_text_->setFixedHeight(
      std::max(kMinTextHeight, lbl3_about_text_->heightForWidth(kTextWidth)));
  version_->setText(tr("Version %1").arg(QStringLiteral(KVN_VERSION)));
  cmd3_ok_->setText(texts_.GetTextByKey(QStringLiteral("cmd3_ok")));
}

}  // namespace kvn

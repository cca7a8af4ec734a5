#include "support/box_answerer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace kvn::test {
namespace {

constexpr int kLookEveryMs = 20;
constexpr int kTriesBeforeGivingUp = 25;

}  // namespace

BoxAnswerer::BoxAnswerer(How how) : how_(how) {
  connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::Look);
  timer_.start(kLookEveryMs);
}

void BoxAnswerer::Look() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  if (box != box_) {
    box_ = box;
    tries_ = 0;
    texts << box->text();
    if (onBox) onBox(*box);
  }
  if (++tries_ > kTriesBeforeGivingUp) {
    ++unanswered;
    box->reject();
    return;
  }
  QPushButton* button = box->defaultButton();
  if (how_ == How::Click && button)
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
  else
    QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace kvn::test

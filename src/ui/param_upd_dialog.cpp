#include "ui/param_upd_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QTimer>
#include <QLabel>
#include <QPushButton>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "operations/device_transaction.h"
#include "operations/programming_session.h"
#include "ui/button_texts.h"

namespace kvn {
namespace {

// The dialog's design: client area, text box and the three buttons, in pixels.
constexpr int kWidth = 443;
constexpr int kHeight = 126;
constexpr QRect kInfo(44, 16, 357, 45);
constexpr QSize kButton(130, 33);
constexpr QPoint kConfirmAt(44, 77);
constexpr QPoint kCancelAt(271, 77);
constexpr QPoint kOkAt(156, 77);
constexpr int kFontPixels = 13;
// "Show changes..." gets a row of its own below the design's buttons, so they keep their places.
constexpr int kShowChangesGap = 8;

// Input given while a step blocks the thread waits in the window system's queue and would
// arrive as soon as the step returns, on buttons that then mean something else (a click made
// during the write would commit). The gate eats it: during the step and for a short while
// after, until the queue has been delivered. Only the session dialog and the window behind it
// are gated; a box the step itself opens takes its input as usual.
constexpr int kGateGraceMs = 150;

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
      return true;
    default:
      return false;
  }
}

}  // namespace

class InputGate : public QObject {
 public:
  explicit InputGate(QWidget* dialog) : QObject(dialog), dialog_(dialog) {}
  void Close() {
    if (closings_++ == 0) qApp->installEventFilter(this);
  }
  void OpenSoon() {
    QTimer::singleShot(kGateGraceMs, this, [this] {
      if (--closings_ == 0) qApp->removeEventFilter(this);
    });
  }
  bool IsClosed() const { return closings_ > 0; }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    return IsUserInput(event->type()) && Guards(target);
  }

 private:
  // Input reaches a window first and then its widget; both are looked at.
  bool Guards(QObject* target) const {
    const QWidget* top = nullptr;
    if (auto* widget = qobject_cast<QWidget*>(target)) {
      top = widget->window();
    } else if (auto* window = qobject_cast<QWindow*>(target)) {
      for (QWidget* candidate : QApplication::topLevelWidgets())
        if (candidate->windowHandle() == window) top = candidate;
    }
    if (!top) return false;
    const QWidget* owner = dialog_->parentWidget();
    return top == dialog_ || (owner && top == owner->window());
  }

  QWidget* dialog_;
  int closings_ = 0;
};

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->resize(kButton);
  // Enter presses the focused button, else the dialog's default one.
  button->setAutoDefault(true);
  return button;
}

}  // namespace

Tparam_upd::Tparam_upd(ProgrammingSession& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      session_(session),
      lbl_info_(new QLabel(this)),
      cmd_confirm_(MakeButton(this, "cmd_confirm", StandardButtonText("OK"))),
      cmd_cancel_(MakeButton(this, "cmd_cancel", StandardButtonText("Cancel"))),
      cmd_ok_(MakeButton(this, "cmd_ok", StandardButtonText("OK"))) {
  setObjectName(QStringLiteral("Tparam_upd"));
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(kFontPixels);
  setFont(font);
  lbl_info_->setObjectName(QStringLiteral("lbl_info"));
  lbl_info_->setTextFormat(Qt::PlainText);
  lbl_info_->setAlignment(Qt::AlignCenter);
  lbl_info_->setWordWrap(true);
  gate_ = new InputGate(this);
  connect(cmd_confirm_, &QPushButton::clicked, this, &Tparam_upd::cmd_confirmClick);
  connect(cmd_cancel_, &QPushButton::clicked, this, &Tparam_upd::cmd_cancelClick);
  connect(cmd_ok_, &QPushButton::clicked, this, &Tparam_upd::cmd_okClick);
  cmd_show_changes_ = MakeButton(this, "cmd_show_changes", tr("Show changes..."));
  cmd_show_changes_->setAutoDefault(false);  // Enter keeps answering the question
  cmd_show_changes_->hide();
  connect(cmd_show_changes_, &QPushButton::clicked, this, [this] { session_.ShowChanges(); });
  FitText();
}

// The design's text box holds two lines; a rejected-groups list needs four or more, so the
// box and the buttons below it move down as far as the text needs.
void Tparam_upd::FitText() {
  FitButtonsToTexts(*this);
  const int textHeight = std::max(kInfo.height(), lbl_info_->heightForWidth(kInfo.width()));
  const int extra = textHeight - kInfo.height();
  lbl_info_->setGeometry(kInfo.x(), kInfo.y(), kInfo.width(), textHeight);
  cmd_confirm_->move(kConfirmAt + QPoint(0, extra));
  cmd_cancel_->move(kCancelAt + QPoint(0, extra));
  cmd_ok_->move(kOkAt + QPoint(0, extra));
  int below = 0;
  if (cmd_show_changes_ && !cmd_show_changes_->isHidden()) {
    cmd_show_changes_->move(kConfirmAt + QPoint(0, extra + kButton.height() + kShowChangesGap));
    below = kButton.height() + kShowChangesGap;
  }
  setFixedSize(kWidth, kHeight + extra + below);
}

void Tparam_upd::ShowInfo(const QString& text) {
  lbl_info_->setText(text);
  FitText();
  if (!isVisible()) return;
  lbl_info_->repaint();
  // Only paint and timer events: a click now cannot start a second transaction.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int Tparam_upd::Run() {
  setWindowTitle(session_.Caption());
  lbl_info_->setText(session_.Info());
  FitText();
  set_keys_visible();
  if (QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
  closeAfterStep_ = false;
  // The focused button shows its frame from the start, as after a Tab.
  setAttribute(Qt::WA_KeyboardFocusChange);
  return exec();
}

void Tparam_upd::set_keys_visible() {
  const bool inProgress = session_.InProgress();
  cmd_confirm_->setVisible(inProgress);
  cmd_cancel_->setVisible(inProgress);
  cmd_ok_->setVisible(!inProgress);
  QPushButton* next = inProgress ? cmd_confirm_ : cmd_ok_;
  next->setDefault(true);
  next->setFocus(Qt::OtherFocusReason);
  if (cmd_show_changes_) {
    cmd_show_changes_->setVisible(session_.ChangesShown());
    FitText();
  }
}

void Tparam_upd::cmd_confirmClick() {
  if (stepRunning_) return;
  stepRunning_ = true;
  gate_->Close();
  {
    const Hourglass wait;
    cmd_confirm_->setEnabled(false);
    cmd_cancel_->setEnabled(false);
    session_.Confirm();
    cmd_confirm_->setEnabled(true);
    cmd_cancel_->setEnabled(true);
    set_keys_visible();
  }
  gate_->OpenSoon();
  stepRunning_ = false;
  if (std::exchange(closeAfterStep_, false) && session_.InProgress()) reject();
}

// Closing by the title bar never interrupts a step. Asked for during a step (or delivered
// just after it), it cancels a session still waiting for an answer, and leaves a result
// standing until it has been read.
void Tparam_upd::closeEvent(QCloseEvent* event) {
  if (stepRunning_) {
    closeAfterStep_ = true;
    event->ignore();
    return;
  }
  if (gate_->IsClosed() && !session_.InProgress()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void Tparam_upd::cmd_cancelClick() { reject(); }
void Tparam_upd::cmd_okClick() { reject(); }

}  // namespace kvn

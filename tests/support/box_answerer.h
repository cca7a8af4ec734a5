#pragma once
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class QMessageBox;

namespace kvn::test {

// Answers the real message boxes the program shows as a person does: a mouse click on the
// box's default button, or the Enter key, sent as input events through the application (so
// every event filter sees them). A box that ignores its answer is closed after a while and
// counted, so a test fails instead of hanging.
class BoxAnswerer : public QObject {
 public:
  enum class How { Click, Enter };
  explicit BoxAnswerer(How how);

  QStringList texts;     // each box's text, in order
  int unanswered = 0;    // boxes that ignored the click or the key
  // Called as each box is first seen, to look at the program while the box is up.
  std::function<void(QMessageBox&)> onBox;

 private:
  void Look();

  How how_;
  QTimer timer_;
  QPointer<QMessageBox> box_;
  int tries_ = 0;
};

}  // namespace kvn::test

#pragma once
#include <QFrame>

class QLabel;

namespace kvn {

// The notice shown while the event log is read: a plain bordered box without buttons, on top
// and centred on the main window. The event-log load writes its progress into lbl_load_log.
class Tload_log : public QFrame {
  Q_OBJECT

 public:
  explicit Tload_log(QWidget* mainWindow = nullptr);

  QLabel& lbl_load_log() { return *label_; }

  // Centres the window on the main window, shows it and lets it paint at once.
  void ShowCentred();
  // Puts text on the label and repaints it before the next blocking read.
  void SetProgressText(const QString& text);

 private:
  QLabel* label_;
};

}  // namespace kvn

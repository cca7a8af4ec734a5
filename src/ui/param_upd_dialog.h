#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace kvn {

class InputGate;
class ProgrammingSession;

// The session dialog: the question or result of each step, OK and Cancel while a session is
// in progress, a single OK once it has ended. Created once at start and reused; the session
// holds the state, this shows it.
class Tparam_upd : public QDialog {
  Q_OBJECT

 public:
  Tparam_upd(ProgrammingSession& session, QWidget* parent = nullptr);

  // Takes caption and text from the session, centres on the main window, runs modally.
  int Run();
  // A progress or result text, painted before the next transfer blocks the thread.
  void ShowInfo(const QString& text);

  void cmd_confirmClick();
  void cmd_cancelClick();
  void cmd_okClick();
  void set_keys_visible();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FitText();

  ProgrammingSession& session_;
  QLabel* lbl_info_;
  QPushButton* cmd_confirm_;
  QPushButton* cmd_cancel_;
  QPushButton* cmd_ok_;
  InputGate* gate_ = nullptr;  // eats user input while a step runs
  bool stepRunning_ = false;
  bool closeAfterStep_ = false;  // the title bar's close was pressed during a step
};

}  // namespace kvn

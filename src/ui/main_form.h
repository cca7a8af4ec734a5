#pragma once
#include <QMainWindow>
#include <QPoint>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenuBar;
class QScrollBar;
class QTabWidget;
class QTimer;

namespace kvn {

class Codec;
class InfoBalloon;
class Pause;
class Prompts;
class Texts;
struct LocSetupRec;
struct RegisterImages;
class TMain_Form;

// Start-up and shut-down steps that belong to other modules. An empty step is one whose module
// is not part of the program yet: the window skips it and goes on with the next.
struct MainFormSteps {
  using Step = std::function<void(TMain_Form&)>;
  Step AttachOperations;        // the modules that work on the pages' controls find them
  Step RememberLocale;          // list, time and date separators of the user's locale
  Step ClearErrorHistory;       // previous error status 0, FirstSeenTime = now
  Step LoadLanguagePack;        // replaces CurrentTexts and applies them on success
  Step WriteStartupLog;
  Step InitialiseLink;
  Step ClearPollFlag;           // ConfigBlocksPolled = false
  Step ClearPlotBuffer;         // all samples "no data", write position 1
  Step LoadProgramSettings;     // ends with the mode display
  Step Connect;                 // opens the link and shows the interface
  Step ClearParameterControls;  // entry checking allowed, every parameter control emptied
  Step PreparePlotCanvas;       // plot geometry and the empty grid
  Step RefreshAccessLevel;
  Step PollDevice;              // Timer1 tick
  Step LogOutOnQuit;            // an admin login must not outlive the program
  Step SaveProgramSettings;
  Step CloseLink;
};

// Program-wide state the window works with; created once in main, passed by reference.
struct MainFormContext {
  Texts& texts;
  LocSetupRec& setup;
  RegisterImages& images;
  const Codec& codec;
  Prompts& prompts;
  Pause& pause;
  QString& startupErrors;
  MainFormSteps steps;
};

// The application's main window: the eight pages, the status panel, the main menu, the poll
// timer, the window scroll bars and the info balloon.
class TMain_Form : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMain_Form(MainFormContext context, QWidget* parent = nullptr);

  // Frame controls. Page controls are found by name with FindControl.
  QTabWidget* pg_ctrl1 = nullptr;
  QFrame* pnl_status = nullptr;
  QScrollBar* scr_main_hor = nullptr;
  QScrollBar* scr_main_vert = nullptr;
  QTimer* Timer1 = nullptr;
  QMenuBar* men_main = nullptr;
  InfoBalloon* BalloonHint1 = nullptr;
  QLabel* Image1 = nullptr;
  QCheckBox* chk_off_line = nullptr;

  // A page by its container code 3..10 of the text table.
  QWidget* Page(int container) const;

  QPoint PagesHome() const { return pagesHome_; }
  QPoint PanelHome() const { return panelHome_; }

  // Handlers with behaviour of their own (the routed ones connect from their modules).
  void FormResize();
  void scr_main_horChange(int position);
  void scr_main_vertChange(int position);
  void lbl_i_usr_tag1MouseEnter(QWidget& control);
  void lbl_i_usr_tag1MouseLeave();
  void lbl_show_passMouseDown();
  void lbl_show_passMouseUp();
  void pg_ctrl1Changing();
  void pg_ctrl1Change();
  void men_fileClick();
  void men_file_quitClick();

  // Shows a page the way a click on its tab does: the edit being typed in is left first.
  void ShowPage(int index);

  MainFormContext& Context() { return context_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildFrame();
  void ConnectHandlers();
  void WatchInfoMarks();
  void FormCreate();
  bool FormClose();
  void RunStep(const MainFormSteps::Step& step);
  void LoadLogo();
  void LoadIcon();
  void LayOutFrame();
  void CentreOnScreen();
  void PlaceScrollBars();
  bool IsPageSwitchKey(const QEvent& event) const;

  MainFormContext context_;
  QWidget* central_ = nullptr;
  QLineEdit* txt_password_ = nullptr;
  QWidget* lbl_show_pass_ = nullptr;
  QPoint pagesHome_;
  QPoint panelHome_;
  bool layoutDone_ = false;
};

}  // namespace kvn

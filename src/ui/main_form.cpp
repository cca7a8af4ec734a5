#include "ui/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QBuffer>
#include <QFrame>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "device_link/pause.h"
#include "device_link/register_image.h"
#include "parameters/range_text.h"
#include "texts/guarded_file.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "ui/button_texts.h"
#include "ui/info_balloon.h"
#include "ui/log_page.h"
#include "ui/main_menu.h"
#include "ui/pages.h"
#include "ui/status_panel.h"
#include "ui/theme.h"
#include "ui/window_scroll.h"
#include "ui/window_texts.h"

namespace kvn {

namespace {

constexpr int kFrameMargin = 10;
constexpr int kPanelGap = 10;
constexpr int kScrollPageStep = 10;
constexpr int kPollIntervalAtStart = 1000;
constexpr int kQuitSettleMs = 10;
constexpr int kQuitQuestion = 50;
constexpr QSize kLogoBox{kStatusPanelWidth - 24, 64};

// The buttons that carry an info text of their own besides their caption.
constexpr const char* kBalloonButtons[] = {"cmd_clr_minmax", "cmd_ppt_on", "cmd_ppt_pulse"};

constexpr char kLogoFile[] = "kvn_logo.png";
constexpr char kIconFile[] = "main_f.ico";

QString CrLf() { return QStringLiteral("\r\n"); }

// Pictures are decoded from the bytes the guarded reader handed over, never read by the image
// reader from the file itself.
QImage DecodeImage(const QByteArray& bytes, QString* error) {
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer);
  const QImage image = reader.read();
  if (image.isNull()) *error = reader.errorString();
  return image;
}

// Every size an icon file holds.
QIcon DecodeIcon(const QByteArray& bytes, QString* error) {
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer);
  QIcon icon;
  do {
    const QImage image = reader.read();
    if (image.isNull()) break;
    icon.addPixmap(QPixmap::fromImage(image));
  } while (reader.jumpToNextImage());
  if (icon.isNull()) *error = reader.errorString();
  return icon;
}

QScrollBar* MakeWindowScrollBar(Qt::Orientation orientation, const char* name, QWidget& parent) {
  auto* bar = new QScrollBar(orientation, &parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setPageStep(kScrollPageStep);
  bar->setMaximum(0);
  bar->setHidden(true);
  return bar;
}

void ApplyBarState(QScrollBar& bar, const ScrollBarState& state) {
  if (state.visible) {
    bar.setMaximum(state.maximum);
    bar.setValue(state.position);
  }
  bar.setHidden(!state.visible);
}

void ProcessPendingMessages() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

TMain_Form::TMain_Form(MainFormContext context, QWidget* parent)
    : QMainWindow(parent), context_(std::move(context)) {
  BuildFrame();
  ConnectHandlers();
  FormCreate();
}

QWidget* TMain_Form::Page(int container) const { return PageOfContainer(*pg_ctrl1, container); }

void TMain_Form::BuildFrame() {
  setObjectName(QStringLiteral("Main_Form"));
  setWindowTitle(QStringLiteral(" Korvane"));
  setFont(theme::BaseFont());
  QPalette frame = palette();
  frame.setColor(QPalette::Window, theme::kWindowColor);
  setPalette(frame);

  men_main = BuildMainMenu(*this);
  central_ = new QWidget(this);
  setCentralWidget(central_);
  pg_ctrl1 = new QTabWidget(central_);
  pg_ctrl1->setObjectName(QStringLiteral("pg_ctrl1"));
  BuildPages(*pg_ctrl1);
  pnl_status = BuildStatusPanel(*central_);
  scr_main_hor = MakeWindowScrollBar(Qt::Horizontal, "scr_main_hor", *central_);
  scr_main_vert = MakeWindowScrollBar(Qt::Vertical, "scr_main_vert", *central_);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kPollIntervalAtStart);
  BalloonHint1 = new InfoBalloon(this);
  Image1 = pnl_status->findChild<QLabel*>(QStringLiteral("Image1"));
  chk_off_line = pnl_status->findChild<QCheckBox*>(QStringLiteral("chk_off_line"));
  txt_password_ = findChild<QLineEdit*>(QStringLiteral("txt_password"));
  lbl_show_pass_ = findChild<QLabel*>(QStringLiteral("lbl_show_pass"));
}

void TMain_Form::ConnectHandlers() {
  connect(scr_main_hor, &QScrollBar::valueChanged, this, &TMain_Form::scr_main_horChange);
  connect(scr_main_vert, &QScrollBar::valueChanged, this, &TMain_Form::scr_main_vertChange);
  connect(Timer1, &QTimer::timeout, this, [this] { RunStep(context_.steps.PollDevice); });
  connect(pg_ctrl1, &QTabWidget::currentChanged, this, &TMain_Form::pg_ctrl1Change);
  for (QAction* top : men_main->actions()) {
    if (top->menu() != nullptr)
      connect(top->menu(), &QMenu::aboutToShow, this, &TMain_Form::men_fileClick);
  }
  pg_ctrl1->tabBar()->installEventFilter(this);
  pg_ctrl1->installEventFilter(this);
  if (lbl_show_pass_ != nullptr) lbl_show_pass_->installEventFilter(this);
  WatchInfoMarks();
}

void TMain_Form::WatchInfoMarks() {
  for (QLabel* label : pg_ctrl1->findChildren<QLabel*>()) {
    if (label->objectName().startsWith(QStringLiteral("lbl_i_"))) label->installEventFilter(this);
  }
  for (const char* name : kBalloonButtons) {
    if (auto* button = pg_ctrl1->findChild<QPushButton*>(QString::fromLatin1(name)))
      button->installEventFilter(this);
  }
}

void TMain_Form::RunStep(const MainFormSteps::Step& step) {
  if (step) step(*this);
}

// Start-up sequence. Steps of modules not yet in the program are skipped by RunStep; the
// decimal separator was taken when the codec was made, before this window.
void TMain_Form::FormCreate() {
  RunStep(context_.steps.AttachOperations);
  RunStep(context_.steps.RememberLocale);
  context_.setup.last_acc_lvl = -2;
  context_.startupErrors.clear();
  RunStep(context_.steps.ClearErrorHistory);
  CollectTexts(*this, context_.texts, context_.prompts);
  RunStep(context_.steps.LoadLanguagePack);
  LoadLogo();
  LoadIcon();
  RunStep(context_.steps.WriteStartupLog);
  RunStep(context_.steps.InitialiseLink);
  RunStep(context_.steps.ClearPollFlag);
  context_.images.Clear();
  RunStep(context_.steps.ClearPlotBuffer);
  RunStep(context_.steps.LoadProgramSettings);
  RunStep(context_.steps.Connect);
  if (QWidget* log = Page(container::Log)) {
    if (auto* grid = log->findChild<QTableWidget*>(QStringLiteral("grd_log")))
      ResetLogGrid(*grid, context_.texts);
  }
  pg_ctrl1->setCurrentIndex(0);
  FitButtonsToTexts(*this);  // the texts are final: the pack and the translation are in
  // The panel's commands keep their whole translated captions: it grows with them.
  pnl_status->setFixedWidth(std::max(pnl_status->width(), pnl_status->minimumSizeHint().width()));
  LayOutFrame();
  RunStep(context_.steps.ClearParameterControls);
  ProcessPendingMessages();
  RunStep(context_.steps.PreparePlotCanvas);
  if (context_.setup.offline_mode != 0) chk_off_line->setChecked(true);
  RunStep(context_.steps.RefreshAccessLevel);
  Timer1->start();
}

void TMain_Form::LoadLogo() {
  const FileRead file = ReadGuardedFile(QString::fromLatin1(kLogoFile), file_cap::kImage);
  if (file.Missing()) return;
  QString error = file.error;
  const QImage logo = file.Ok() ? DecodeImage(file.bytes, &error) : QImage();
  if (logo.isNull()) {
    context_.startupErrors += error + QStringLiteral(". Logo file load failed!") + CrLf();
    return;
  }
  Image1->setPixmap(QPixmap::fromImage(logo).scaled(kLogoBox, Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation));
}

void TMain_Form::LoadIcon() {
  const FileRead file = ReadGuardedFile(QString::fromLatin1(kIconFile), file_cap::kImage);
  if (file.Missing()) return;
  QString error = file.error;
  const QIcon windowIcon = file.Ok() ? DecodeIcon(file.bytes, &error) : QIcon();
  if (windowIcon.isNull()) {
    context_.startupErrors += error + QStringLiteral(". Icon file load failed!") + CrLf();
    return;
  }
  setWindowIcon(windowIcon);
  QApplication::setWindowIcon(windowIcon);
}

// The status panel matches the page control's top and height; the window is made just big
// enough for both, and their positions become the home positions that scrolling moves from.
void TMain_Form::LayOutFrame() {
  pg_ctrl1->setGeometry(QRect(QPoint(kFrameMargin, kFrameMargin), pg_ctrl1->sizeHint()));
  pnl_status->setGeometry(pg_ctrl1->geometry().right() + 1 + kPanelGap, pg_ctrl1->y(),
                          pnl_status->width(), pg_ctrl1->height());
  resize(pnl_status->x() + pnl_status->width() + kFrameExtraWidth,
         pg_ctrl1->y() + pg_ctrl1->height() + kFrameExtraHeight);
  pagesHome_ = pg_ctrl1->pos();
  panelHome_ = pnl_status->pos();
  layoutDone_ = true;
  PlaceScrollBars();
  CentreOnScreen();
}

void TMain_Form::CentreOnScreen() {
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.left() + std::max(0, (area.width() - width()) / 2),
         area.top() + std::max(0, (area.height() - height()) / 2));
  }
}

void TMain_Form::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TMain_Form::FormResize() {
  if (!layoutDone_) return;
  ScrollFrame frame;
  frame.windowWidth = width();
  frame.windowHeight = height();
  frame.pagesHeight = pg_ctrl1->height();
  frame.pagesHomeTop = pagesHome_.y();
  frame.panelWidth = pnl_status->width();
  frame.panelHomeLeft = panelHome_.x();
  frame.horizontalBarHeight = scr_main_hor->sizeHint().height();
  frame.verticalBarWidth = scr_main_vert->sizeHint().width();
  ScrollBarState horizontal{!scr_main_hor->isHidden(), scr_main_hor->maximum(),
                            scr_main_hor->value()};
  ScrollBarState vertical{!scr_main_vert->isHidden(), scr_main_vert->maximum(),
                          scr_main_vert->value()};
  const ScrollChange change = FitScrollBars(frame, horizontal, vertical);
  ApplyBarState(*scr_main_hor, horizontal);
  ApplyBarState(*scr_main_vert, vertical);
  if (change.horizontalToggled) {
    pnl_status->move(panelHome_.x(), pnl_status->y());
    pg_ctrl1->move(pagesHome_.x(), pg_ctrl1->y());
  }
  if (change.verticalToggled) {
    pnl_status->move(pnl_status->x(), panelHome_.y());
    pg_ctrl1->move(pg_ctrl1->x(), pagesHome_.y());
  }
  PlaceScrollBars();
}

// The bars lie along the bottom and right edges of the client area, above the pages.
void TMain_Form::PlaceScrollBars() {
  const int clientWidth = width();
  const int clientHeight = height() - (menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0);
  const int barHeight = scr_main_hor->sizeHint().height();
  const int barWidth = scr_main_vert->sizeHint().width();
  const bool verticalShown = !scr_main_vert->isHidden();
  const bool horizontalShown = !scr_main_hor->isHidden();
  scr_main_hor->setGeometry(0, clientHeight - barHeight,
                            clientWidth - (verticalShown ? barWidth : 0), barHeight);
  scr_main_vert->setGeometry(clientWidth - barWidth, 0, barWidth,
                             clientHeight - (horizontalShown ? barHeight : 0));
  scr_main_hor->raise();
  scr_main_vert->raise();
}

void TMain_Form::scr_main_horChange(int position) {
  pg_ctrl1->move(pagesHome_.x() - position, pg_ctrl1->y());
  pnl_status->move(panelHome_.x() - position, pnl_status->y());
}

void TMain_Form::scr_main_vertChange(int position) {
  pg_ctrl1->move(pg_ctrl1->x(), pagesHome_.y() - position);
  pnl_status->move(pnl_status->x(), panelHome_.y() - position);
}

void TMain_Form::lbl_i_usr_tag1MouseEnter(QWidget& control) {
  QString caption;
  if (auto* label = qobject_cast<QLabel*>(&control)) caption = label->text();
  else if (auto* button = qobject_cast<QAbstractButton*>(&control)) caption = button->text();
  else return;
  if (caption.isEmpty()) return;
  const Codec& codec = context_.codec;
  BalloonHint1->SetText(ComposeBalloon(control.objectName(), context_.texts,
                                       [&codec](const QString& text) {
                                         return SubstituteRange(text, codec);
                                       }));
  BalloonHint1->ShowAt(control);
}

void TMain_Form::lbl_i_usr_tag1MouseLeave() { BalloonHint1->hide(); }

void TMain_Form::lbl_show_passMouseDown() {
  if (txt_password_ != nullptr) txt_password_->setEchoMode(QLineEdit::Normal);
}

void TMain_Form::lbl_show_passMouseUp() {
  if (txt_password_ != nullptr) txt_password_->setEchoMode(QLineEdit::Password);
}

// Moving the focus away first lets the field being typed in run its exit check while its
// page is still shown.
void TMain_Form::pg_ctrl1Changing() { pg_ctrl1->setFocus(Qt::OtherFocusReason); }

void TMain_Form::pg_ctrl1Change() {
  if (QWidget* log = Page(container::Log)) HighlightErrorBits(*log, 0);
}

void TMain_Form::men_fileClick() { pg_ctrl1->setFocus(Qt::OtherFocusReason); }

void TMain_Form::men_file_quitClick() { close(); }

void TMain_Form::ShowPage(int index) {
  if (index == pg_ctrl1->currentIndex()) return;
  pg_ctrl1Changing();
  pg_ctrl1->setCurrentIndex(index);
}

bool TMain_Form::IsPageSwitchKey(const QEvent& event) const {
  if (event.type() != QEvent::KeyPress) return false;
  const auto& key = static_cast<const QKeyEvent&>(event);
  if (!(key.modifiers() & Qt::ControlModifier)) return false;
  switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return true;
    default: return false;
  }
}

bool TMain_Form::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == pg_ctrl1->tabBar()) {
    if (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress)
      pg_ctrl1Changing();
  } else if (watched == pg_ctrl1) {
    if (IsPageSwitchKey(*event)) pg_ctrl1Changing();
  } else if (watched == lbl_show_pass_) {
    if (type == QEvent::MouseButtonPress) lbl_show_passMouseDown();
    if (type == QEvent::MouseButtonRelease) lbl_show_passMouseUp();
  } else if (type == QEvent::Enter) {
    if (auto* control = qobject_cast<QWidget*>(watched)) lbl_i_usr_tag1MouseEnter(*control);
  } else if (type == QEvent::Leave) {
    lbl_i_usr_tag1MouseLeave();
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMain_Form::closeEvent(QCloseEvent* event) {
  if (FormClose()) event->accept();
  else event->ignore();
}

// The timer is stopped and any queued tick let run out before the port is closed.
bool TMain_Form::FormClose() {
  if (!context_.prompts.AskYesNo(context_.texts.GetMessageText(kQuitQuestion))) return false;
  Timer1->stop();
  ProcessPendingMessages();
  context_.pause.Wait(kQuitSettleMs);
  ProcessPendingMessages();
  RunStep(context_.steps.LogOutOnQuit);
  RunStep(context_.steps.SaveProgramSettings);
  RunStep(context_.steps.CloseLink);
  return true;
}

}  // namespace kvn

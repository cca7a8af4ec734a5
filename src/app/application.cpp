#include "app/application.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "app/window_commands.h"
#include "operations/connection.h"
#include "operations/live_data.h"
#include "operations/programming_session.h"
#include "operations/window_controls.h"
#include "texts/program_settings.h"
#include "ui/about_dialog.h"
#include "ui/com_scan_window.h"
#include "ui/load_log_window.h"
#include "ui/main_menu.h"
#include "ui/param_upd_dialog.h"
#include "ui/pages.h"
#include "ui/plot_canvas.h"
#include "ui/setup_diag_dialog.h"
#include "ui/setup_if_dialog.h"

namespace kvn {
namespace {


}  // namespace

Application::Application(Prompts& prompts_, Pause& pause_, Options options_)
    : prompts(prompts_),
      pause(pause_),
      options(std::move(options_)),
      codec(options.decimalSeparator, *images),
      ports(WorkDirectory(options.workBase) + QStringLiteral("/ports"), options.serialById),
      link(setup, ports, pause),
      master(link, texts, prompts),
      blocks(master, *images, setup),
      form(*images, codec, texts, prompts, setup) {
  window = std::make_unique<TMain_Form>(
      MainFormContext{texts, setup, *images, codec, prompts, pause, startupErrors, Steps()});
  comScan = std::make_unique<Tcom_scan>(window.get());
  setupInterface = std::make_unique<TSetup_if>(setup, link, *comScan, texts, window.get());
  setupPlot = std::make_unique<TSetup_diag>(setup, texts, prompts, window.get());
  paramUpd = std::make_unique<Tparam_upd>(*session, window.get());
  about = std::make_unique<Tabout_kvn>(texts, window.get());
  loadLog = std::make_unique<Tload_log>(window.get());
}

Application::~Application() {
  if (window) window->Timer1->stop();
}

QString Application::WorkDir() const { return WorkDirectory(options.workBase); }

// The operations reach the window's controls by name; the pages are built before the first
// start-up step runs. The decimal separator was read once in main (Options).
void Application::CreateOperations(TMain_Form& w) {
  if (connection) return;
  form.Attach(w);
  const DeviceContext device{WindowControls(w), setup, link, blocks, *images, texts, poll, *w.Timer1};
  connection = std::make_unique<Connection>(Connection::Services{
      device, prompts, form, {}, [this] {
        if (commands) commands->ApplyStates();
      }});
  live = std::make_unique<LiveData>(LiveData::Services{
      device, codec, *connection,
      [this](bool ok, bool previousFailed, float speed) {
        FeedSamples(plot.samples, ok, previousFailed, false, speed);
      },
      [this] {
        if (canvas) canvas->Redraw();
      }});
  session = std::make_unique<ProgrammingSession>(ProgrammingSession::Services{
      device, prompts, master, pause, form, [this] { return connection->ReadDeviceSettings(); },
      [this](const QString& text) {
        if (paramUpd) paramUpd->ShowInfo(text);
      },
      [this] {
        if (paramUpd) paramUpd->Run();
      }});
  commands = std::make_unique<WindowCommands>(*this, w);
  missingCommands = commands->Connect();
}

void Application::PreparePlotCanvas(TMain_Form& w) {
  QWidget* page = w.Page(container::ProcessData);
  if (!page) return;
  canvas = new PlotCanvas(plot, PlotInputs{images->DeviceImage, setup, plot.samples, codec});
  InstallPlotImage(*page, canvas);
  canvas->ComputeGeometry();
  canvas->DrawEmptyGrid();
}

MainFormSteps Application::Steps() {
  MainFormSteps s;
  s.AttachOperations = [this](TMain_Form& w) { CreateOperations(w); };
  s.ClearErrorHistory = [this](TMain_Form&) {
    if (live) live->Errors() = ErrorLists(QDateTime::currentDateTime());
  };
  s.WriteStartupLog = [this](TMain_Form&) {
    WriteStartupLog(WorkDir(), StartupErrors(startupErrors), prompts);
  };
  s.InitialiseLink = [this](TMain_Form&) { link.Initialise(); };
  s.ClearPollFlag = [this](TMain_Form&) { poll.ConfigBlocksPolled = false; };
  s.ClearPlotBuffer = [this](TMain_Form&) { plot.samples = SampleRing(); };
  s.LoadProgramSettings = [this](TMain_Form&) {
    LoadProgramSettings(WorkDir(), setup,
                        SettingsLoadHooks{[this] {
                                            plot.samples.ResetWritePosition();
                                            poll.PollPhase = PollPhase::AfterGoodPoll;
                                          },
                                          [this] { connection->UpdateModeDisplay(); }});
  };
  s.Connect = [this](TMain_Form&) { connection->Connect(); };
  s.ClearParameterControls = [this](TMain_Form&) { form.ClearControls(); };
  s.PreparePlotCanvas = [this](TMain_Form& w) { PreparePlotCanvas(w); };
  s.PollDevice = [this](TMain_Form&) { live->PollDevice(); };
  s.SaveProgramSettings = [this](TMain_Form&) { SaveProgramSettings(WorkDir(), setup, prompts); };
  s.CloseLink = [this](TMain_Form&) { link.Close(); };
  return s;
}

void Application::OpenInterfaceSettings() {
  QTimer* timer = window->Timer1;
  setupInterface->Run(SetupIfHooks{[timer] { timer->stop(); }, [this] { connection->Connect(); },
                                   [timer] { timer->start(); }});
}


}  // namespace kvn

#include "app/application.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "app/window_commands.h"
#include "ui/access_level.h"
#include "operations/change_record.h"
#include "operations/comparison.h"
#include "operations/device_transaction.h"
#include "operations/configuration_file.h"
#include "operations/connection.h"
#include "ui/connection_display.h"
#include "operations/device_commands.h"
#include "operations/event_log.h"
#include "ui/live_data.h"
#include "operations/programming_session.h"
#include "ui/window_controls.h"
#include "parameters/parameter_table.h"
#include "texts/language_pack.h"
#include "ui/report_commands.h"
#include "texts/program_settings.h"
#include "texts/prompts.h"
#include "operations/unit_records.h"
#include "ui/about_dialog.h"
#include "ui/change_history_dialog.h"
#include "ui/records_push.h"
#include "ui/records_server_dialog.h"
#include "ui/com_scan_window.h"
#include "ui/compare_window.h"
#include "ui/load_log_window.h"
#include "ui/main_menu.h"
#include "ui/param_upd_dialog.h"
#include "ui/pages.h"
#include "ui/plot_canvas.h"
#include "ui/setup_diag_dialog.h"
#include "ui/setup_if_dialog.h"
#include "ui/window_texts.h"

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
  CreateEventLogPage();
  compareWindow = std::make_unique<CompareWindow>([this](int row) { return FocusParameterRow(row); }, window.get());
  // The session dialog blocks the main window: its changes lead to no field.
  sessionChanges = std::make_unique<CompareWindow>(nullptr, paramUpd.get());
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
  const DeviceContext device{setup, link, blocks, *images, texts, poll, *w.Timer1};
  display = std::make_unique<ConnectionDisplay>(ConnectionDisplay::Services{
      WindowControls(w), texts, setup, *images, poll, form,
      [this] {
        if (access) access->apply_access_level();
      },
      [this] {
        if (commands) commands->ApplyStates();
      }});
  connection = std::make_unique<Connection>(Connection::Services{
      device, prompts, form, [this](bool open) { display->ShowInterface(open); },
      [this] { display->UpdateModeDisplay(); }, WorkDir()});
  live = std::make_unique<LiveData>(LiveData::Services{
      device, WindowControls(w), codec, *display,
      [this](bool ok, bool previousFailed, float speed) {
        FeedSamples(plot.samples, ok, previousFailed, false, speed);
      },
      [this] {
        if (canvas) canvas->Redraw();
      },
      [this] {
        if (changeRecord) changeRecord->DevicePolled(poll.LinkOk, images->DeviceImage);
      }});
  configuration = std::make_unique<ConfigurationFile>(
      ConfigurationFile::Services{prompts, texts, *images, form, setup, poll, *connection});
  comparison = std::make_unique<Comparison>(Comparison::Services{
      device, prompts, *configuration, codec, [this](const ComparisonView& view) { ShowComparison(view); }});
  access = std::make_unique<AccessLevel>(AccessLevel::Services{device, WindowControls(w), master, prompts, form, [this] {
    if (commands) commands->ApplyStates();
  }});
  deviceCommands = std::make_unique<DeviceCommands>(DeviceCommands::Services{device, master, prompts, pause});
  eventLog = std::make_unique<EventLog>(EventLog::Services{
      master, texts, prompts, LocaleEventFormats(options.decimalSeparator), &images->EditImage});
  reports = std::make_unique<Reports>(Reports::Services{
      prompts, texts, w, images->EditImage, form, codec, plot,
      PlotInputs{images->DeviceImage, setup, plot.samples, codec}, [this] { return canvas; }});
  changeRecord = std::make_unique<ChangeRecord>(ChangeRecord::Services{
      blocks, prompts, texts, codec, WorkDir(),
      LocaleEventFormats(options.decimalSeparator).list, &QDateTime::currentDateTime, &images->DeviceImage});
  sessionPoll = std::make_unique<TimerPoll>(*w.Timer1, poll);
  session = std::make_unique<ProgrammingSession>(ProgrammingSession::Services{
      setup, blocks, *images, texts, sessionPoll.get(), prompts, master, pause, form, [this] { return connection->RereadDeviceSettings(); },
      [this](const QString& text) {
        if (paramUpd) paramUpd->ShowInfo(text);
      },
      [this] {
        if (paramUpd) paramUpd->Run();
      },
      [this] { ShowSessionChanges(); }, changeRecord.get()});
  commands = std::make_unique<WindowCommands>(*this, w);
  missingCommands = commands->Connect();
  CreateRecordsDialogs(w);
}

// The records' note stands under the window's state, shown only while something waits.
void Application::CreateRecordsDialogs(TMain_Form& w) {
  QLabel* note = w.findChild<QLabel*>(QStringLiteral("lbl_records_note"));
  recordsPush = std::make_unique<RecordsPush>(WorkDir(), [note](const QString& text) {
    if (!note) return;
    note->setText(text);
    note->setToolTip(text);
    note->setVisible(!text.isEmpty());
  });
  const QChar decimal = options.decimalSeparator;
  changeHistory = std::make_unique<ChangeHistoryDialog>(
      ChangeHistoryDialog::Services{prompts, texts, WorkDir(), decimal, LocaleEventFormats(decimal).list,
                                    [this] { return ConnectedUnit(); },
                                    [this](const QByteArray& set) { configuration->LoadRecord(set); }},
      &w);
  recordsServer = std::make_unique<RecordsServerDialog>(WorkDir(), *recordsPush, &w);
}

QString Application::ConnectedUnit() const {
  if (setup.offline_mode != 0 || !poll.LinkOk) return {};
  // The poll keeps the unit's identity in DeviceImage; EditImage holds whatever set was loaded.
  return RecordsUnitName(WorkDir(), images->DeviceImage, QDateTime::currentDateTime());
}

void Application::OpenChangeHistory() { changeHistory->Run(); }
void Application::OpenRecordsServer() { recordsServer->Run(); }

// The page shows the log with the indicator window, which is made after the main window, whose
// start-up creates the operations.
void Application::CreateEventLogPage() {
  TMain_Form& w = *window;
  QWidget* page = w.Page(container::Log);
  if (!eventLog || !page) return;
  eventLogPage = std::make_unique<EventLogPage>(EventLogPage::Services{
      *eventLog, setup, prompts, texts, *w.Timer1, *page, *w.pg_ctrl1, *loadLog});
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
  // The pack lies in the working directory, like the logo and the icon; the translation of
  // the texts beyond the table follows the pack's language.
  s.LoadLanguagePack = [this](TMain_Form& w) {
    StartupErrors errors;
    const QString folder = QDir::currentPath();
    QString pack;
    if (LoadLanguagePack(folder, texts, errors, &pack)) {
      if (translation.Load(PackLanguage(pack), TranslationFolders(folder), errors,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        RetranslateMainMenu(*w.men_main);
      ApplyTexts(w, texts, prompts);
    }
    startupErrors += errors.Text();
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
  s.Connect = [this](TMain_Form&) {
    connection->Connect();
    LogPortRefusal();
  };
  s.ClearParameterControls = [this](TMain_Form&) { form.ClearControls(); };
  s.PreparePlotCanvas = [this](TMain_Form& w) { PreparePlotCanvas(w); };
  s.RefreshAccessLevel = [this](TMain_Form&) { access->apply_access_level(); };
  s.PollDevice = [this](TMain_Form&) { live->PollDevice(); };
  s.LogOutOnQuit = [this](TMain_Form&) { LogOutOnQuit(); };
  s.SaveProgramSettings = [this](TMain_Form&) { SaveProgramSettings(WorkDir(), setup, prompts); };
  s.CloseLink = [this](TMain_Form&) { link.Close(); };
  return s;
}

// An identical pair is one sentence: a box says it, and an open comparison of an earlier pair
// goes, so that it cannot be taken for this one.
void Application::ShowComparison(const ComparisonView& view) {
  if (!compareWindow) return;
  if (view.differences.empty()) {
    compareWindow->hide();
    prompts.ShowInfo(view.identical);
    return;
  }
  compareWindow->ShowDifferences(view.title, view.otherSide, view.differences, view.note);
}

// The field is brought to the front of the main window; the comparison then steps aside from it.
QWidget* Application::FocusParameterRow(int row) {
  if (row < 1 || row > kParameterRows) return nullptr;
  window->raise();
  window->activateWindow();
  QWidget* field = form.ControlOf(ParameterRow(row));
  form.FocusParameter(field, row);
  return field;
}

void Application::ShowSessionChanges() {
  std::optional<std::vector<ParameterDifference>> differences;
  {
    const Hourglass wait;
    // In programming mode the device answers with what was written: the set it runs is the
    // backup held since the mode was entered, when there is one.
    const RegisterImage* held = changeRecord->HeldSet();
    differences = held ? comparison->WindowAgainst(*held) : comparison->WindowAgainstDevice();
  }
  if (differences) {
    const ComparisonView view = comparison->DeviceView(std::move(*differences));
    if (view.differences.empty())
      prompts.ShowInfo(view.identical);
    else
      sessionChanges->RunDifferences(view.title, view.otherSide, view.differences);
  }
}

// A user outside the serial ports' group meets a port that exists but will not open; the
// start-up log says so once, with what to do. Other failures to connect are not start-up errors.
void Application::LogPortRefusal() {
  if (link.OpenRefusal() != PortState::NoPermission) return;
  const QString device = QFileInfo(link.Ports().Lookup(setup.com_num)).canonicalFilePath();
  startupErrors += QStringLiteral("%1 (%2): %3\r\n")
                       .arg(setup.com_num, device, RefusalText(PortState::NoPermission));
  WriteStartupLog(WorkDir(), StartupErrors(startupErrors), prompts);
}

// A failed logout does not hold up the quit: the start-up log keeps it for whoever looks.
void Application::LogOutOnQuit() {
  const QString failure = access ? access->LogOutOnQuit() : QString();
  if (failure.isEmpty()) return;
  startupErrors += failure + QStringLiteral("\r\n");
  WriteStartupLog(WorkDir(), StartupErrors(startupErrors), prompts);
}

void Application::OpenInterfaceSettings() {
  QTimer* timer = window->Timer1;
  setupInterface->Run(SetupIfHooks{[timer] { timer->stop(); }, [this] { connection->Connect(); },
                                   [timer] { timer->start(); }});
}


}  // namespace kvn

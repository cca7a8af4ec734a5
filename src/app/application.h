#pragma once
#include <QString>
#include <memory>

#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "device_link/port_map.h"
#include "device_link/register_image.h"
#include "device_link/serial_link.h"
#include "operations/device_transaction.h"
#include "operations/event_log.h"
#include "operations/poll_state.h"
#include "parameters/form/parameter_form.h"
#include "parameters/value_codec.h"
#include "texts/program_translation.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "ui/event_log_page.h"
#include "ui/main_form.h"
#include "reports/speed_plot.h"

namespace kvn {

class ChangeRecord;
class Comparison;
class CompareWindow;
class ConfigurationFile;
class AccessLevel;
class Connection;
class ConnectionDisplay;
class DeviceCommands;
class WindowCommands;
class LiveData;
class Reports;
class PlotCanvas;
class Prompts;
class Pause;
class TSetup_if;
class TSetup_diag;
class Tabout_kvn;
class Tcom_scan;
class Tload_log;
class ProgrammingSession;
class Tparam_upd;
class ChangeHistoryDialog;
class RecordsPush;
class RecordsServerDialog;
struct ComparisonView;

// The whole program: its program-wide state, created once, and the windows in their creation
// order. main() makes one with the Qt prompts and the user's work directory; a test makes one
// with recording prompts, a short pause and a temporary work directory.
class Application {
 public:
  struct Options {
    QString workBase;                       // folder that holds the Kor_Vane work directory
    QChar decimalSeparator = QLatin1Char('.');
    QString serialById = QString::fromLatin1(kSerialByIdFolder);  // udev's stable USB names
  };

  Application(Prompts& prompts, Pause& pause, Options options);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  TMain_Form& Window() { return *window; }
  QString WorkDir() const;

  // Program-wide state.
  Prompts& prompts;
  Pause& pause;
  Options options;
  Texts texts;
  ProgramTranslation translation;  // the texts beyond the table, in the pack's language
  LocSetupRec setup;
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  Codec codec;
  PortMap ports;
  SerialLink link;
  ModbusMaster master;
  BlockTransfer blocks;
  PollState poll;
  SpeedPlot plot;
  ParameterForm form;
  QString startupErrors;

  // Operations on the window, created during the window's start-up.
  std::unique_ptr<ConnectionDisplay> display;  // what the window shows of the link and device
  std::unique_ptr<Connection> connection;
  std::unique_ptr<LiveData> live;
  std::unique_ptr<ConfigurationFile> configuration;
  std::unique_ptr<Comparison> comparison;
  std::unique_ptr<AccessLevel> access;
  std::unique_ptr<DeviceCommands> deviceCommands;
  std::unique_ptr<EventLog> eventLog;
  std::unique_ptr<EventLogPage> eventLogPage;  // the window's front end of the log
  std::unique_ptr<Reports> reports;
  std::unique_ptr<ChangeRecord> changeRecord;  // backups and history of the session's writes
  std::unique_ptr<TimerPoll> sessionPoll;  // the session holds the window's poll off through it
  std::unique_ptr<ProgrammingSession> session;
  PlotCanvas* canvas = nullptr;

  // Windows, in creation order.
  std::unique_ptr<TMain_Form> window;
  std::unique_ptr<TSetup_if> setupInterface;
  std::unique_ptr<TSetup_diag> setupPlot;
  std::unique_ptr<Tparam_upd> paramUpd;
  std::unique_ptr<Tabout_kvn> about;
  std::unique_ptr<Tload_log> loadLog;
  std::unique_ptr<Tcom_scan> comScan;
  std::unique_ptr<CompareWindow> compareWindow;   // beside the main window
  std::unique_ptr<CompareWindow> sessionChanges;  // over the session dialog
  std::unique_ptr<ChangeHistoryDialog> changeHistory;
  std::unique_ptr<RecordsServerDialog> recordsServer;
  // Pushes the records to the plant's server on a worker thread after each commit.
  std::unique_ptr<RecordsPush> recordsPush;

 private:
  MainFormSteps Steps();
  void LogPortRefusal();
  void LogOutOnQuit();
  void CreateOperations(TMain_Form& w);
  void PreparePlotCanvas(TMain_Form& w);
  void ShowComparison(const ComparisonView& view);
  QWidget* FocusParameterRow(int row);
  void CreateEventLogPage();
  void CreateRecordsDialogs(TMain_Form& w);

 public:
  void OpenInterfaceSettings();
  void OpenChangeHistory();
  void OpenRecordsServer();
  // The unit the window is connected to, as its records folder is named; empty without one.
  QString ConnectedUnit() const;
  // The session dialog's "Show changes...": the window against the device, over the dialog.
  void ShowSessionChanges();
  std::unique_ptr<WindowCommands> commands;
  // Names of the command table the window lacks (empty in a sound build; tests check it).
  QStringList missingCommands;
};

}  // namespace kvn

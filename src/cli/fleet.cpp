// korvane-cli fleet: every unit of a plant's list read where it stands, recorded, and judged
// against its released set. Read-only. Units on one port are read one after another (an RS-485
// bus has one master); ports at the same time, each on a thread of its own with its own link.
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <algorithm>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "cli/device.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "operations/bus_scan.h"
#include "operations/event_log.h"
#include "operations/fleet.h"
#include "operations/unit_records.h"
#include "records/records.h"
#include "reports/fleet_report.h"
#include "parameters/value_codec.h"
#include "texts/guarded_file.h"
#include "texts/locale_separators.h"
#include "texts/texts.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Fleet)

// A plant's list is a few lines a unit: far below this.
constexpr qint64 kFleetListCap = 4 * 1024 * 1024;

LocSetupRec SetupFor(const LocSetupRec& base, const FleetUnit& u) {
  LocSetupRec setup = base;
  setup.com_num = u.port;
  setup.usb = u.usb;
  setup.baud = u.baudIndex;
  setup.parity = u.parity;
  setup.addr = u.usb ? 1 : u.address;
  return setup;
}

FleetFinding Refused(FleetVerdict verdict, const QString& why) {
  FleetFinding f;
  f.verdict = verdict;
  f.why = why;
  f.time = QDateTime::currentDateTime();
  return f;
}

// The run's report: the summary and each differing unit's rows.
QString WriteReport(const Context& c, const FleetList& list, const std::vector<FleetFinding>& findings) {
  std::vector<FleetReportUnit> units;
  for (size_t i = 0; i < list.units.size(); ++i) {
    const FleetFinding& f = findings[i];
    FleetReportUnit u{list.units[i].name, list.units[i].port, f.serialNumber, VerdictText(f), f.time, {}};
    for (const ParameterDifference& d : f.differences) u.differences.push_back({d.page, d.name, LeftText(d), RightText(d)});
    units.push_back(std::move(u));
  }
  Texts texts;
  texts.FillFromDefaults();
  QString error;
  if (!WriteFleetReport(c.options.reportFile, units, QDateTime::currentDateTime(), SeparatorsOf(QLocale::system()), texts, &error))
    return error.isEmpty() ? Tr("the report could not be written") : error;
  return {};
}

// A unit that gave no good answer: where its answers came garbled twice, two units answer at its
// address, and the line says so.
QString WhySilent(Device& d, const FleetUnit& u, const QString& why) {
  if (!d.link.IsOpen() && !d.link.Open()) return why;
  const std::vector<BusFinding> found = BusScan(d.master).Run({u.address, u.address});
  if (!found.empty() && found.front().kind == BusFinding::Kind::Conflict)
    return Tr("suspected address conflict: the answers at address %1 came garbled, as when two units answer").arg(u.address);
  return why;
}

struct EventLogRead {
  QByteArray csv;
  int events = 0;
  QString error;
};

// The unit's event log in a format of its own, the same on every station: "." and ",", the
// date as the records' files write it.
EventLogRead ReadEventLog(Device& d) {
  EventFormats formats = LocaleEventFormats(QLatin1Char('.'));
  formats.list = QLatin1Char(',');
  EventLog log({d.master, d.texts, d.prompts, formats});
  const EventLogProgress progress{{}, [](int, int) { return !Interrupted(); }};
  if (!log.Load(d.settings.addr, progress))
    return {{}, 0, Interrupted() ? Tr("interrupted") : d.prompts.LastText()};
  return {log.Csv(), static_cast<int>(log.Entries().size()), {}};
}

// One unit: its released set (a refused file is said, the unit still read and recorded), its
// whole set read out of programming mode, recorded and judged.
FleetFinding ReadUnit(const Context& c, const FleetUnit& u) {
  Device d(SetupFor(c.setup, u), c.workDirectory);
  auto released = std::make_unique<RegisterImage>();
  QString releasedProblem;
  if (!u.released.isEmpty()) {
    QString checksum;
    if (const Failure f = ReadConfigurationFile(u.released, d, *released, &checksum); f.Failed())
      releasedProblem = f.message;
    else if (u.checksum && checksum.toLongLong() != *u.checksum)
      releasedProblem = Tr("%1 carries checksum %2, not the released %3").arg(u.released, checksum).arg(*u.checksum);
  }
  Output quiet({false, true, false});
  Failure f = ReachOutOfProgramming(d);
  if (!f.Failed()) f = ReadSet(d, quiet);
  if (f.code == ExitCode::WrongDevice) return Refused(FleetVerdict::WrongDevice, f.message);
  if (f.Failed() && f.code != ExitCode::Interrupted) f.message = WhySilent(d, u, f.message);
  const EventLogRead log = c.options.withLog && !f.Failed() ? ReadEventLog(d) : EventLogRead{};
  d.link.Close();
  if (f.Failed()) return Refused(FleetVerdict::NoAnswer, f.message);
  const NumberFormat format(LocaleDecimalSeparator());
  const bool judgeable = !u.released.isEmpty() && releasedProblem.isEmpty();
  const QDateTime now = QDateTime::currentDateTime();
  FleetFinding finding = JudgeReadSet(c.workDirectory, d.images->EditImage, judgeable ? released.get() : nullptr, d.texts,
                                      format, now);
  if (c.options.withLog) {
    finding.eventLog = log.error.isEmpty() ? RecordEventLog(c.workDirectory, RecordsUnitName(c.workDirectory, d.images->EditImage, now),
                                                            finding.serialNumber, log.csv, log.events, now)
                                           : Tr("event log not read: %1").arg(log.error);
  }
  if (!releasedProblem.isEmpty()) {
    finding.verdict = FleetVerdict::ReleasedRefused;
    finding.why = releasedProblem;
  }
  return finding;
}

}  // namespace

int RunFleet(Context& c) {
  const FileRead file = ReadGuardedFile(c.options.file, kFleetListCap);
  if (!file.Ok()) return Fail(c, {ExitCode::Usage, QStringLiteral("%1: %2").arg(c.options.file, file.Missing() ? Tr("does not exist") : file.error)});
  const FleetList list = ReadFleetList(file.bytes);
  if (!list.error.isEmpty()) return Fail(c, {ExitCode::Usage, QStringLiteral("%1: %2").arg(c.options.file, list.error)});
  if (const QString problem = ReportPathProblem(c.options); !problem.isEmpty()) return Fail(c, {ExitCode::Usage, problem});
  // The Git library stays set up for the whole run: a bus's thread that ended it as its last
  // user would leave that thread's own state behind, never freed.
  const Records keepGitUp(c.workDirectory);
  std::map<QString, std::vector<size_t>> byPort;
  for (size_t i = 0; i < list.units.size(); ++i) byPort[list.units[i].port].push_back(i);
  std::vector<FleetFinding> findings(list.units.size());
  std::vector<std::thread> buses;
  for (const auto& [port, units] : byPort) {
    buses.emplace_back([&c, &list, &findings, indexes = units] {
      for (const size_t i : indexes)
        findings[i] = Interrupted() ? Refused(FleetVerdict::NoAnswer, Tr("interrupted")) : ReadUnit(c, list.units[i]);
    });
  }
  for (std::thread& bus : buses) bus.join();
  if (Interrupted()) return Fail(c, Stopped());
  int status = 0;
  QJsonArray units;
  for (size_t i = 0; i < list.units.size(); ++i) {
    const FleetUnit& u = list.units[i];
    const FleetFinding& f = findings[i];
    const QString serial = f.serialNumber.isEmpty() ? QStringLiteral("-") : f.serialNumber;
    QStringList fields{u.name, u.port, QString::number(u.address), serial, VerdictText(f)};
    QJsonObject json{{QStringLiteral("name"), u.name}, {QStringLiteral("port"), u.port}, {QStringLiteral("address"), u.address},
                     {QStringLiteral("serial_number"), serial}, {QStringLiteral("verdict"), VerdictText(f)},
                     {QStringLiteral("status"), VerdictStatus(f)}, {QStringLiteral("recorded"), f.notRecorded.isEmpty()}};
    if (c.options.withLog) {
      fields << (f.eventLog.isEmpty() ? QStringLiteral("-") : f.eventLog);
      json.insert(QStringLiteral("event_log"), f.eventLog);
    }
    c.out.Unit(fields, json);
    if (c.out.Json())
      for (const ParameterDifference& d : f.differences) c.out.Difference({d.page, d.name, LeftText(d), RightText(d)}, u.name);
    status = std::max(status, VerdictStatus(f));
  }
  QJsonObject fields{{QStringLiteral("units"), static_cast<int>(list.units.size())}};
  if (!c.options.reportFile.isEmpty()) {
    const QString problem = WriteReport(c, list, findings);
    if (problem.isEmpty()) c.out.Say(Tr("Wrote the fleet report to %1").arg(c.options.reportFile));
    else c.out.Error(QStringLiteral("%1: %2").arg(c.options.reportFile, problem));
    fields.insert(QStringLiteral("report"), problem.isEmpty());
  }
  return c.out.Finish(c.options.commandName, static_cast<ExitCode>(status), fields);
}

}  // namespace kvn::cli

#include "cli/commands.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryFile>
#include <bitset>
#include <cstdio>
#include <optional>

#include "cli/device.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/parallel.h"
#include "cli/records_commands.h"
#include "device_link/block_table.h"
#include "operations/bus_scan.h"
#include "operations/device_backup.h"
#include "operations/device_reading.h"
#include "operations/device_status.h"
#include "operations/event_log.h"
#include "operations/programming_mode.h"
#include "operations/set_comparison.h"
#include "operations/unit_records.h"
#include "records/records.h"
#include "parameters/config_file.h"
#include "parameters/device_access.h"
#include "parameters/parameter_table.h"
#include "reports/config_report.h"
#include "texts/locale_separators.h"
#include "parameters/value_codec.h"
#include "platform/platform.h"
#include "texts/atomic_file.h"
#include "texts/guarded_file.h"
#include "texts/language_pack.h"
#include "texts/program_translation.h"
#include "texts/program_settings.h"
#include "texts/text_record.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli)

enum Msg {
  kMsgReadFailure = 8,  // "Parameter read failure. Check hardware"
  kMsgAdmin = 51,
  kMsgUser = 52,
  kMsgInvalid = 55,  // "Configuration file invalid."
};

}  // namespace

int Fail(Context& c, const Failure& failure) {
  c.out.Error(failure.message);
  return c.out.Finish(c.options.commandName, failure.code);
}

Failure Stopped() { return {ExitCode::Interrupted, Tr("interrupted: the port is closed, no file was written")}; }

// Opens the port and accepts the device as the window's poll does.
Failure Reach(Device& d) {
  Failure f = d.Open();
  if (!f.Failed()) f = d.Identify();
  if (!f.Failed() && Interrupted()) f = Stopped();
  return f;
}

// In programming mode a unit answers with what was written to it, committed or not: nothing
// read from it then tells the set it runs.
Failure ReachOutOfProgramming(Device& d) {
  Failure f = Reach(d);
  if (!f.Failed() && InProgrammingMode(d.images->DeviceImage))
    f = {ExitCode::WrongDevice, Tr("the unit is in programming mode: it answers with writes that are not committed; "
                                   "finish the session or run `korvane-cli abort`")};
  return f;
}

// The window's "Read device settings": the identification into EditImage, the parameter
// blocks into DeviceImage, then adopted into EditImage, the set a save writes. Outside a
// session an interrupt closes the port after the block under way, which ends the read there;
// inside one the read goes on, since the unit must still be taken out of programming mode.
Failure ReadSet(Device& d, Output& out, OnInterrupt interrupt) {
  if (!d.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Edit))
    return {ExitCode::NoDevice, MessageText(d, kMsgReadFailure)};
  const bool withPassword = SetIncludesPassword(d.images->EditImage, d.settings);
  const bool stop = interrupt == OnInterrupt::Stop;
  const bool read = ReadParameterBlocks(d.blocks, withPassword, [&](int done, int total) {
    out.Progress(QStringLiteral("read"), done, total);
    if (stop && Interrupted()) d.link.Close();
  });
  if (stop && Interrupted()) return Stopped();
  if (!read && d.link.OnNetwork() && !d.link.IsOpen())
    return {ExitCode::NoDevice, Tr("%1: the connection to the serial server ended: %2").arg(d.settings.com_num, d.link.NetworkError())};
  if (!read) return {ExitCode::NoDevice, MessageText(d, kMsgReadFailure)};
  AdoptParameterBlocks(d.blocks, *d.images, withPassword);
  return {};
}

namespace {

bool IsConfigurationFile(const QString& path) {
  const FileRead file = ReadGuardedFile(path, file_cap::kConfiguration);
  return file.Ok() && file.bytes.contains(kRecordSeparator) && !DecodeTextRecord(file.bytes).isEmpty();
}

// An output file must be possible before the device is asked anything: its folder takes a new
// file (tried, not guessed from permission bits), it is none of the command's inputs, and it
// replaces no configuration file with another format.
QString OutputProblem(const QString& path, const Options& o) {
  const QFileInfo file(path);
  if (file.isDir()) return Tr("%1 is a folder").arg(path);
  const QFileInfo folder(file.absolutePath());
  if (!folder.isDir()) return Tr("the folder of %1 does not exist").arg(path);
  QTemporaryFile probe(QDir(folder.absoluteFilePath()).filePath(QStringLiteral(".korvane-cli-XXXXXX")));
  if (!probe.open()) return Tr("no file can be written in the folder of %1: %2").arg(path, probe.errorString());
  if (!o.file.isEmpty() && QFileInfo(o.file).absoluteFilePath() == file.absoluteFilePath())
    return Tr("%1 is the command's input: the output needs another name").arg(path);
  if (o.command != Command::Read && file.exists() && IsConfigurationFile(path))
    return Tr("%1 is a configuration file: it is not replaced by a file of another format").arg(path);
  return {};
}

}  // namespace

namespace {

// Why a record the guarded reader brought is no configuration the program takes.
QString RecordProblem(const QByteArray& bytes) {
  const qsizetype mark = bytes.indexOf(kRecordSeparator);
  if (mark < 0) return Tr("no configuration file: it has no checksum mark");
  const QString text = QString::fromLatin1(bytes.constData(), mark);
  if (DecodeTextRecord(bytes).isEmpty())
    return Tr("its checksum %1 does not match its content (%2): the file was changed or cut")
        .arg(QString::fromLatin1(bytes.mid(mark + 1)))
        .arg(TextRecordChecksum(text));
  const int values = static_cast<int>(text.count(QLatin1Char('|')));
  int expected = 0;
  for (const BlockDescriptor& b : BlockTable)
    if (IsStoredBlock(b)) expected += b.count;
  if (values != expected) return Tr("it holds %1 values, a configuration holds %2").arg(values).arg(expected);
  return Tr("a parameter block's values do not match the block's CRC");
}

}  // namespace

QString ReportPathProblem(const Options& o) {
  if (o.reportFile.isEmpty()) return {};
  Options asOutput = o;
  asOutput.output = o.reportFile;
  return OutputProblem(o.reportFile, asOutput);
}

Failure ReadConfigurationFile(const QString& path, const Device& d, RegisterImage& image, QString* checksum) {
  const FileRead file = ReadGuardedFile(path, file_cap::kConfiguration);
  if (file.Missing()) return {ExitCode::Usage, Tr("%1 does not exist").arg(path)};
  if (!file.Ok()) return {ExitCode::Usage, QStringLiteral("%1: %2").arg(path, file.error)};
  const QString text = DecodeTextRecord(file.bytes);
  if (text.isEmpty() || !ReadConfigurationText(text, image))
    return {ExitCode::Usage, QStringLiteral("%1: %2 (%3)").arg(path, MessageText(d, kMsgInvalid), RecordProblem(file.bytes))};
  if (checksum) *checksum = ChecksumOf(file.bytes);
  return {};
}

QString ChecksumOf(const QByteArray& record) {
  return QString::fromLatin1(record.mid(record.lastIndexOf(kRecordSeparator) + 1));
}

namespace {

QString AccessLevelText(const Device& d) {
  switch (DeviceAccessLevel(d.settings, *d.images)) {
    case 0: return MessageText(d, kMsgUser);
    case 1: return MessageText(d, kMsgAdmin);
    default: return QStringLiteral("-");
  }
}

// The window never shows the password it read: after a read its field is empty, and so is the
// report's row.
std::bitset<kParameterRows> PasswordRows() {
  std::bitset<kParameterRows> rows;
  for (int n = 1; n <= kParameterRows; ++n) rows[static_cast<size_t>(n - 1)] = ParameterRow(n).blockId == BlockId::Password;
  return rows;
}

}  // namespace

namespace {

// A set read is committed to the records beside its file; a commit that failed is told, never
// a failure of the command.
QString NotRecordedNote(const QString& error) {
  return error.isEmpty() ? QString() : QStringLiteral("; ") + Tr("not recorded: %1").arg(error);
}

}  // namespace

int RunIdentify(Context& c) {
  Device d(c.setup, c.workDirectory);
  // The poll that accepts the device has read the tag's block too.
  if (const Failure f = Reach(d); f.Failed()) return Fail(c, f);
  const RegisterImage& image = d.images->DeviceImage;
  const NumberFormat format(QLatin1Char('.'));
  const QJsonObject fields{
      {QStringLiteral("device_type"), Cell(image, reg::DeviceType)},
      {QStringLiteral("serial_number"), SerialNumberIn(image)},
      {QStringLiteral("firmware"), format.FormatScaled(Cell(image, reg::Firmware), 2)},
      {QStringLiteral("device_tag"), ReadText(image, reg::TagNumber, 8).trimmed()},
      {QStringLiteral("access_level"), AccessLevelText(d)},
      {QStringLiteral("mode"), MessageText(d, DeviceStatusMessage(image))},
  };
  c.out.Say(Tr("Device type:   %1").arg(fields[QStringLiteral("device_type")].toInt()));
  c.out.Say(Tr("Serial number: %1").arg(fields[QStringLiteral("serial_number")].toString()));
  c.out.Say(Tr("Firmware:      %1").arg(fields[QStringLiteral("firmware")].toString()));
  c.out.Say(Tr("Device tag:    %1").arg(fields[QStringLiteral("device_tag")].toString()));
  c.out.Say(Tr("Access level:  %1").arg(fields[QStringLiteral("access_level")].toString()));
  c.out.Say(Tr("Mode:          %1").arg(fields[QStringLiteral("mode")].toString()));
  return c.out.Finish(c.options.commandName, ExitCode::Done, fields);
}

int RunRead(Context& c) {
  const QString& path = c.options.output;
  if (const QString problem = OutputProblem(path, c.options); !problem.isEmpty()) return Fail(c, {ExitCode::Usage, problem});
  Device d(c.setup, c.workDirectory);
  Failure f = ReachOutOfProgramming(d);
  if (!f.Failed()) f = ReadSet(d, c.out);
  if (f.Failed()) return Fail(c, f);
  d.link.Close();
  const QByteArray bytes = EncodeTextRecord(ConfigurationText(d.images->EditImage));
  if (Interrupted()) return Fail(c, Stopped());
  QString error;
  if (!WriteFileAtomically(path, bytes, &error)) return Fail(c, {ExitCode::Usage, QStringLiteral("%1: %2").arg(path, error)});
  const QString checksum = ChecksumOf(bytes);
  const QString notRecorded = RecordReadSet(c.workDirectory, d.images->EditImage, QDateTime::currentDateTime());
  c.out.Say(Tr("Saved the device's settings to %1 (checksum %2)").arg(path, checksum) + NotRecordedNote(notRecorded));
  return c.out.Finish(c.options.commandName, ExitCode::Done,
                      {{QStringLiteral("file"), path}, {QStringLiteral("checksum"), checksum.toInt()},
                       {QStringLiteral("recorded"), notRecorded.isEmpty()}});
}

int RunCompare(Context& c) {
  Device d(c.setup, c.workDirectory);
  auto fileSet = std::make_unique<RegisterImage>();
  Failure f = ReadConfigurationFile(c.options.file, d, *fileSet);
  if (!f.Failed()) f = ReachOutOfProgramming(d);
  if (!f.Failed()) f = ReadSet(d, c.out);
  if (f.Failed()) return Fail(c, f);
  d.link.Close();
  const NumberFormat format(LocaleDecimalSeparator());
  const std::vector<ParameterDifference> rows = SetDifferences(d.images->EditImage, *fileSet, d.texts, format);
  for (const ParameterDifference& row : rows) c.out.Difference(row);
  if (rows.empty())
    c.out.Say(Tr("No differences: the device and %1 hold the same settings.").arg(c.options.file));
  else
    c.out.Say(rows.size() == 1 ? Tr("One parameter differs.") : Tr("%1 parameters differ.").arg(rows.size()));
  return c.out.Finish(c.options.commandName, rows.empty() ? ExitCode::Done : ExitCode::Differ,
                      {{QStringLiteral("file"), c.options.file}, {QStringLiteral("differences"), static_cast<int>(rows.size())}});
}

int RunBackup(Context& c) {
  Device d(c.setup, c.workDirectory);
  if (const Failure f = ReachOutOfProgramming(d); f.Failed()) return Fail(c, f);
  auto scratch = std::make_unique<RegisterImage>();
  const BackupOutcome backup = DeviceBackup(d.blocks, c.workDirectory).Take(QDateTime::currentDateTime(), *scratch);
  d.link.Close();
  if (!backup.ok && backup.serialNumber.isEmpty()) return Fail(c, {ExitCode::NoDevice, backup.error});
  if (!backup.ok) return Fail(c, {ExitCode::Usage, Tr("The set was read but not recorded: %1").arg(backup.error)});
  // The unit's file in the records' work tree: a configuration file like any other.
  const QString path = QDir(Records::PathIn(c.workDirectory)).filePath(backup.unit + QLatin1Char('/') + QLatin1String(kSettingsFile));
  c.out.Say(Tr("%1 (record %2)").arg(QDir::toNativeSeparators(path), backup.record.left(kShortRecordId)));
  return c.out.Finish(c.options.commandName, ExitCode::Done,
                      {{QStringLiteral("file"), path}, {QStringLiteral("serial_number"), backup.serialNumber},
                       {QStringLiteral("record"), backup.record}, {QStringLiteral("recorded"), true}});
}

int RunLog(Context& c) {
  const QString& path = c.options.output;
  if (const QString problem = OutputProblem(path, c.options); !problem.isEmpty()) return Fail(c, {ExitCode::Usage, problem});
  Device d(c.setup, c.workDirectory);
  if (const Failure f = ReachOutOfProgramming(d); f.Failed()) return Fail(c, f);
  EventLog log({d.master, d.texts, d.prompts, LocaleEventFormats(LocaleDecimalSeparator())});
  // The log is read from the address the window reads it from; an interrupt stops it after
  // the answer under way.
  // The device tells no count before its end marker: the progress counts the events read.
  const EventLogProgress progress{{}, [&](int entries, int) {
                                    c.out.Progress(QStringLiteral("log"), entries, 0);
                                    return !Interrupted();
                                  }};
  const bool read = log.Load(d.settings.addr, progress);
  d.link.Close();
  if (Interrupted()) return Fail(c, Stopped());
  if (!read) return Fail(c, {ExitCode::NoDevice, d.prompts.LastText()});
  QString error;
  if (!WriteFileAtomically(path, log.Csv(), &error)) return Fail(c, {ExitCode::Usage, QStringLiteral("%1: %2").arg(path, error)});
  const int entries = static_cast<int>(log.Entries().size());
  c.out.Say(Tr("Saved %1 events of the device's log to %2").arg(entries).arg(path));
  return c.out.Finish(c.options.commandName, ExitCode::Done, {{QStringLiteral("file"), path}, {QStringLiteral("entries"), entries}});
}

int RunReport(Context& c) {
  const QString& path = c.options.output;
  if (const QString problem = OutputProblem(path, c.options); !problem.isEmpty()) return Fail(c, {ExitCode::Usage, problem});
  Device d(c.setup, c.workDirectory);
  auto set = std::make_unique<RegisterImage>();
  QString serialNumber;
  QString checksum;
  if (!c.options.file.isEmpty()) {
    // A file's set needs no device: its header names none.
    if (const Failure f = ReadConfigurationFile(c.options.file, d, *set, &checksum); f.Failed()) return Fail(c, f);
  } else {
    Failure f = ReachOutOfProgramming(d);
    if (!f.Failed()) f = ReadSet(d, c.out);
    if (f.Failed()) return Fail(c, f);
    d.link.Close();
    *set = d.images->EditImage;
    serialNumber = ReadText(d.images->DeviceImage, reg::SerialNumber, 8);  // as the status panel shows it
  }
  if (Interrupted()) return Fail(c, Stopped());
  const NumberFormat numbers(LocaleDecimalSeparator());
  const ConfigReportInput input{*set, d.texts, numbers, ReportPageOrder(), serialNumber, QDateTime::currentDateTime(),
                                SeparatorsOf(QLocale::system()), PasswordRows()};
  QString error;
  if (!WriteConfigurationReport(path, input, &error)) return Fail(c, {ExitCode::Usage, QStringLiteral("%1: %2").arg(path, error)});
  QJsonObject fields{{QStringLiteral("file"), path}};
  if (checksum.isEmpty()) {
    c.out.Say(Tr("Wrote the configuration report of the device's set to %1").arg(path));
  } else {
    c.out.Say(Tr("Wrote the configuration report of %1 (checksum %2) to %3").arg(c.options.file, checksum, path));
    fields.insert(QStringLiteral("source"), c.options.file);
    fields.insert(QStringLiteral("checksum"), checksum.toLongLong());
  }
  return c.out.Finish(c.options.commandName, ExitCode::Done, fields);
}

// The way back from a session that could not end itself (a power cut, SIGKILL): the window's
// "Abort programming", confirmed by reading, and an admin login ended. No question, no password.
int RunAbort(Context& c) {
  if (!c.setup.usb)
    return Fail(c, {ExitCode::Usage, Tr("abort needs the device's USB interface (--interface usb): over RS-485 the "
                                       "device takes no commands")});
  Device d(c.setup, c.workDirectory);
  if (const Failure f = Reach(d); f.Failed()) return Fail(c, f);
  const RegisterImage& image = d.images->DeviceImage;
  const bool wasProgramming = InProgrammingMode(image);
  const ModeRead mode = wasProgramming ? LeaveProgrammingMode(d.master, d.blocks, *d.images, d.settings) : ModeRead::Out;
  const bool wasAdmin = Cell(image, reg::AccessLevel) > 0;
  const LevelRead level = wasAdmin ? EndAdminLogin(d.master, d.blocks, *d.images, d.settings) : LevelRead::User;
  d.link.Close();
  QStringList told;
  told << (wasProgramming ? (mode == ModeRead::Out ? Tr("left programming mode: writes that were not committed are dropped")
                                                   : Tr("the unit is still in programming mode"))
                          : Tr("the unit was not in programming mode"));
  if (wasAdmin) told << (level == LevelRead::User ? Tr("admin login ended") : Tr("the unit is still at admin level"));
  const ExitCode code = mode == ModeRead::Out ? ExitCode::Done : ExitCode::SetUnknown;
  return c.out.Result(c.options.commandName, {d.settings.com_num, SerialNumberIn(image), told.join(QStringLiteral("; ")), code},
                      {{QStringLiteral("was_programming"), wasProgramming},
                       {QStringLiteral("admin_level"), level == LevelRead::Admin}});
}

// Every address of a line asked once: a line per unit found (address, type, serial number,
// firmware, tag), and the addresses whose answers came garbled as suspected conflicts.
int RunScan(Context& c) {
  Device d(c.setup, c.workDirectory);
  if (const Failure f = d.Open(); f.Failed()) return Fail(c, f);
  const std::vector<BusFinding> found =
      BusScan(d.master).Run({c.options.firstAddress, c.options.lastAddress}, [&](int done, int total) {
        c.out.Progress(QStringLiteral("scan"), done, total);
        return !Interrupted();
      });
  d.link.Close();
  if (Interrupted()) return Fail(c, Stopped());
  const NumberFormat format(QLatin1Char('.'));
  int units = 0;
  QJsonArray conflicts;
  for (const BusFinding& f : found) {
    if (f.kind == BusFinding::Kind::Conflict) {
      conflicts << f.address;
      c.out.Unit({QString::number(f.address), Tr("suspected address conflict: garbled answers, twice")},
                 {{QStringLiteral("address"), f.address}, {QStringLiteral("conflict"), true}});
      continue;
    }
    ++units;
    const QString firmware = format.FormatScaled(f.firmware, 2);
    QStringList fields{QString::number(f.address), QString::number(f.deviceType), f.serialNumber, firmware, f.tag};
    if (!f.accepted) fields << Tr("not a device this program works with");
    c.out.Unit(fields,
               {{QStringLiteral("address"), f.address}, {QStringLiteral("device_type"), f.deviceType},
                {QStringLiteral("serial_number"), f.serialNumber}, {QStringLiteral("firmware"), firmware},
                {QStringLiteral("device_tag"), f.tag}, {QStringLiteral("accepted"), f.accepted}});
  }
  c.out.Say(units == 1 ? Tr("One unit found.") : Tr("%1 units found.").arg(units));
  return c.out.Finish(c.options.commandName, units > 0 ? ExitCode::Done : ExitCode::NoDevice,
                      {{QStringLiteral("units"), units}, {QStringLiteral("conflicts"), conflicts}});
}

// The program's COM names, kept in the ports folder for the window and the command line alike;
// a name bound to a serial server's network port is reached as that port.
int RunPorts(Context& c) {
  PortMap ports(c.workDirectory + QStringLiteral("/ports"));
  const QStringList& w = c.options.words;
  if (w.front() == QLatin1String("add")) {
    if (const QString problem = ports.BindNetworkAddress(w[1], w[2]); !problem.isEmpty())
      return Fail(c, {ExitCode::Usage, problem});
    c.out.Say(Tr("%1 stands for %2").arg(w[1], w[2]));
    return c.out.Finish(c.options.commandName, ExitCode::Done, {{QStringLiteral("com"), w[1]}, {QStringLiteral("port"), w[2]}});
  }
  QJsonObject names;
  for (const PortMap::Entry& e : ports.Entries()) {
    const QString network = ports.NetworkAddress(e.comName);
    const QString target = !network.isEmpty() ? network : e.target.isEmpty() ? e.path : e.target;
    c.out.Say(QStringLiteral("%1  %2%3").arg(e.comName, target, e.present || !network.isEmpty() ? QString() : Tr(" (not there)")));
    names.insert(e.comName, target);
  }
  return c.out.Finish(c.options.commandName, ExitCode::Done, {{QStringLiteral("ports"), names}});
}

int Run(const QStringList& arguments) {
  const ParseResult parsed = ParseArguments(arguments);
  const Options& options = parsed.options;
  Output out({options.json, options.quiet, platform::IsTerminal(platform::Stream::Error)});
  if (!parsed.error.isEmpty()) {
    out.Error(parsed.error + Tr(" (korvane-cli --help tells the usage)"));
    return out.Finish(options.commandName, ExitCode::Usage);
  }
  if (options.help || options.version) {
    const QString text = options.help ? UsageText() : QStringLiteral("korvane-cli %1\n").arg(QStringLiteral(KVN_VERSION));
    std::fputs(text.toUtf8().constData(), stdout);
    return Status(ExitCode::Done);
  }
  // The texts beyond the table in the language of the window's pack, as the window loads them.
  ProgramTranslation translation;
  if (const QString pack = FindLanguagePack(QDir::currentPath()); !pack.isEmpty()) {
    StartupErrors ignored;
    translation.Load(PackLanguage(pack), TranslationFolders(QDir::currentPath()), ignored);
  }
  if (options.ports.size() > 1) return RunOnEveryPort(options, arguments, out);
  Context c{options, out, options.workDir.isEmpty() ? WorkDirectory(DefaultWorkBase()) : options.workDir, {}};
  LoadProgramSettings(c.workDirectory, c.setup);
  ApplyTo(options, c.setup);
  switch (options.command) {
    case Command::Identify: return RunIdentify(c);
    case Command::Read: return RunRead(c);
    case Command::Compare: return RunCompare(c);
    case Command::Backup: return RunBackup(c);
    case Command::Log: return RunLog(c);
    case Command::Report: return RunReport(c);
    case Command::Program: return RunProgram(c);
    case Command::RestoreDefault: return RunRestoreDefault(c);
    case Command::SaveDefault: return RunSaveDefault(c);
    case Command::Abort: return RunAbort(c);
    case Command::Ports: return RunPorts(c);
    case Command::Scan: return RunScan(c);
    case Command::Fleet: return RunFleet(c);
    case Command::Records: return RunRecords(c);
    case Command::None: break;
  }
  return Status(ExitCode::Usage);
}

}  // namespace kvn::cli

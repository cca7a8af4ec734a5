#include "cli/records_commands.h"

#include <QFileInfo>
#include <QJsonObject>
#include <memory>
#include <optional>
#include <vector>

#include "cli/commands.h"
#include "cli/device.h"
#include "cli/output.h"
#include "operations/device_backup.h"
#include "operations/event_log.h"
#include "operations/records_import.h"
#include "operations/records_history.h"
#include "operations/set_comparison.h"
#include "parameters/config_file.h"
#include "parameters/difference_list.h"
#include "parameters/value_codec.h"
#include "records/records.h"
#include "records/records_deadline.h"
#include "texts/atomic_file.h"
#include "texts/text_record.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli)

const QString kHead = QStringLiteral("HEAD");

// Each subcommand: its name, how many words follow it, and whether it may reach a device or
// write a file.
struct RecordsRow {
  const char* name;
  int minWords;
  int maxWords;
  bool output;  // -o FILE
  const char* usage;
};
constexpr RecordsRow kRecordsRows[] = {
    {"log", 0, 1, true, "records log [SERIAL] [--csv -o FILE.csv]"},
    {"show", 1, 1, true, "records show SERIAL[@REV] [-o FILE.kvn]"},
    {"diff", 1, 3, false, "records diff SERIAL [REV [REV]]"},
    {"server", 0, 1, false, "records server [URL]"},
    {"sync", 0, 0, false, "records sync"},
    {"import", 0, 1, false, "records import [DIR]"},
};

const RecordsRow* FindRow(const QString& name) {
  for (const RecordsRow& row : kRecordsRows)
    if (name == QLatin1String(row.name)) return &row;
  return nullptr;
}

// The unit's folder for a serial number, as its backups are named; a folder name given as it
// is ("unknown-tag-...") stays as it is.
QString UnitOf(const QString& serial) { return QFileInfo(BackupFolder(QString(), serial)).fileName(); }

// "SERIAL@REV": the unit and the revision (HEAD when none is given).
std::pair<QString, QString> UnitAndRevision(const QString& word) {
  const qsizetype at = word.indexOf(QLatin1Char('@'));
  if (at < 0) return {UnitOf(word), kHead};
  return {UnitOf(word.left(at)), word.mid(at + 1).isEmpty() ? kHead : word.mid(at + 1)};
}

Failure LoadRecord(Records& records, const QString& unit, const QString& revision, RegisterImage& set) {
  QString error;
  const std::optional<QByteArray> bytes = records.FileAt(unit, kSettingsFile, revision, &error);
  if (!bytes) return {ExitCode::Usage, error};
  if (!ReadConfigurationText(DecodeTextRecord(*bytes), set))
    return {ExitCode::Usage, Tr("the record %1 of %2 holds no valid set").arg(revision, unit)};
  return {};
}

// The unit's writes and the changes found made outside the program, as history.csv holds them.
int WriteHistoryCsv(Context& c, Records& records, const QString& unit) {
  const QChar decimal = LocaleDecimalSeparator();
  const Device d(c.setup, c.workDirectory);  // the texts a found change is named with
  QString error;
  const std::vector<RecordedOperation> operations = RecordedOperations(records, unit, d.texts, decimal, &error);
  if (!error.isEmpty()) return Fail(c, {ExitCode::Usage, error});
  if (!WriteFileAtomically(c.options.output, HistoryCsv(operations, decimal, LocaleEventFormats(decimal).list), &error))
    return Fail(c, {ExitCode::Usage, QStringLiteral("%1: %2").arg(c.options.output, error)});
  c.out.Say(Tr("Saved the change history of %1 to %2").arg(unit.isEmpty() ? Tr("every unit") : unit, c.options.output));
  return c.out.Finish(c.options.commandName, ExitCode::Done,
                      {{QStringLiteral("file"), c.options.output}, {QStringLiteral("records"), static_cast<int>(operations.size())}});
}

int RunRecordsLog(Context& c, const QStringList& words) {
  Records records(c.workDirectory);
  const QString unit = words.isEmpty() ? QString() : UnitOf(words.front());
  if (c.options.csv) return WriteHistoryCsv(c, records, unit);
  QString error;
  const std::vector<RecordEntry> entries = records.Log(unit, &error);
  if (!error.isEmpty()) return Fail(c, {ExitCode::Usage, error});
  for (const RecordEntry& e : entries) {
    const QString time = e.time.toString(Qt::ISODate);
    c.out.Row({e.commit.left(10), time, e.author, e.summary},
              {{QStringLiteral("event"), QStringLiteral("record")}, {QStringLiteral("commit"), e.commit},
               {QStringLiteral("time"), time}, {QStringLiteral("author"), e.author}, {QStringLiteral("email"), e.email},
               {QStringLiteral("unit"), e.unit}, {QStringLiteral("summary"), e.summary}, {QStringLiteral("message"), e.message}});
  }
  return c.out.Finish(c.options.commandName, ExitCode::Done, {{QStringLiteral("records"), static_cast<int>(entries.size())}});
}

int RunRecordsShow(Context& c, const QStringList& words) {
  Records records(c.workDirectory);
  const auto [unit, revision] = UnitAndRevision(words.front());
  const bool toFile = !c.options.output.isEmpty();
  QString error;
  const std::optional<QByteArray> bytes = records.FileAt(unit, toFile ? kSettingsFile : kSettingsTextFile, revision, &error);
  if (!bytes) return Fail(c, {ExitCode::Usage, error});
  if (toFile) {
    if (!WriteFileAtomically(c.options.output, *bytes, &error))
      return Fail(c, {ExitCode::Usage, QStringLiteral("%1: %2").arg(c.options.output, error)});
    const QString checksum = ChecksumOf(*bytes);
    c.out.Say(Tr("Saved the record %1 of %2 to %3 (checksum %4)").arg(revision, unit, c.options.output, checksum));
    return c.out.Finish(c.options.commandName, ExitCode::Done,
                        {{QStringLiteral("file"), c.options.output}, {QStringLiteral("checksum"), checksum.toLongLong()}});
  }
  const QStringList lines = QString::fromUtf8(*bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  for (const QString& line : lines)
    c.out.Row({line}, {{QStringLiteral("event"), QStringLiteral("line")}, {QStringLiteral("text"), line}});
  return c.out.Finish(c.options.commandName, ExitCode::Done, {{QStringLiteral("unit"), unit}, {QStringLiteral("revision"), revision}});
}

// The set the unit runs now, read as `read` reads it; it must be the unit the records name.
Failure ReadUnit(Context& c, Device& d, const QString& unit) {
  Failure f = ReachOutOfProgramming(d);
  if (!f.Failed()) f = ReadSet(d, c.out);
  d.link.Close();
  if (f.Failed()) return f;
  const QString found = UnitOf(SerialNumberIn(d.images->EditImage));
  if (found != unit) return {ExitCode::WrongDevice, Tr("the unit on %1 is %2, not %3").arg(d.settings.com_num, found, unit)};
  return {};
}

int RunRecordsDiff(Context& c, const QStringList& words) {
  Records records(c.workDirectory);
  const QString unit = UnitOf(words.front());
  const QStringList revisions = words.mid(1);
  Device d(c.setup, c.workDirectory);
  auto left = std::make_unique<RegisterImage>();
  auto right = std::make_unique<RegisterImage>();
  Failure f = LoadRecord(records, unit, revisions.value(0, kHead), *left);
  if (!f.Failed()) f = revisions.size() == 2 ? LoadRecord(records, unit, revisions[1], *right) : ReadUnit(c, d, unit);
  if (f.Failed()) return Fail(c, f);
  if (revisions.size() < 2) *right = d.images->EditImage;
  const NumberFormat format(LocaleDecimalSeparator());
  const std::vector<ParameterDifference> rows = SetDifferences(*left, *right, d.texts, format);
  for (const ParameterDifference& r : rows)
    c.out.Row({r.page, r.name, LeftText(r), RightText(r)},
              {{QStringLiteral("event"), QStringLiteral("difference")}, {QStringLiteral("page"), r.page},
               {QStringLiteral("parameter"), r.name}, {QStringLiteral("old"), LeftText(r)}, {QStringLiteral("new"), RightText(r)}});
  const QString other = revisions.size() == 2 ? revisions[1] : Tr("the unit");
  if (rows.empty())
    c.out.Say(Tr("No differences: the record %1 and %2 hold the same settings.").arg(revisions.value(0, kHead), other));
  else
    c.out.Say(rows.size() == 1 ? Tr("One parameter differs.") : Tr("%1 parameters differ.").arg(rows.size()));
  return c.out.Finish(c.options.commandName, rows.empty() ? ExitCode::Done : ExitCode::Differ,
                      {{QStringLiteral("unit"), unit}, {QStringLiteral("differences"), static_cast<int>(rows.size())}});
}

int RunRecordsServer(Context& c, const QStringList& words) {
  Records records(c.workDirectory);
  QString error;
  if (!words.isEmpty()) error = records.SetServer(words.front());
  const QString server = error.isEmpty() ? records.Server(&error) : QString();
  if (!error.isEmpty()) return Fail(c, {ExitCode::Usage, error});
  c.out.Say(server.isEmpty() ? Tr("No server is set for the records.") : Tr("The records' server: %1").arg(server));
  return c.out.Finish(c.options.commandName, ExitCode::Done, {{QStringLiteral("server"), server}});
}

int RunRecordsSync(Context& c) {
  // Asked for by name: 0 (no push) does not apply, the default bounds it.
  const int seconds = c.options.recordsTimeout > 0 ? c.options.recordsTimeout : kRecordsTimeoutSeconds;
  const SyncOutcome sync = SyncWithin(c.workDirectory, seconds * 1000);
  const QJsonObject fields{{QStringLiteral("received"), sync.received}, {QStringLiteral("sent"), sync.sent},
                           {QStringLiteral("pending"), sync.pending}};
  if (!sync.error.isEmpty()) {
    c.out.Error(sync.error);
    return c.out.Finish(c.options.commandName, ExitCode::NotSynced, fields);
  }
  c.out.Say(Tr("Records synced: %1 received, %2 sent.").arg(sync.received).arg(sync.sent));
  return c.out.Finish(c.options.commandName, ExitCode::Done, fields);
}

}  // namespace

QString RecordsUsageProblem(const Options& o, const QStringList& words) {
  const RecordsRow* row = words.isEmpty() ? nullptr : FindRow(words.front());
  const auto usage = [] {
    QStringList all;
    for (const RecordsRow& r : kRecordsRows) all << QString::fromLatin1(r.usage);
    return all.join(QStringLiteral(", "));
  };
  if (!row) return Tr("records takes: %1").arg(usage());
  const qsizetype given = words.size() - 1;
  if (given < row->minWords || given > row->maxWords) return Tr("%1 takes: %2").arg(words.front(), QString::fromLatin1(row->usage));
  if (!row->output && !o.output.isEmpty()) return Tr("records %1 writes no output file (-o)").arg(words.front());
  const bool log = words.front() == QLatin1String("log");
  if (o.csv && !log) return Tr("--csv belongs to records log");
  if (log && o.csv != !o.output.isEmpty()) return Tr("records log writes the change history with --csv -o FILE.csv");
  // Only a diff against the unit itself reaches a device.
  const bool reachesDevice = words.front() == QLatin1String("diff") && given < 3;
  if (!reachesDevice && !o.ports.isEmpty()) return Tr("records %1 reaches no device: --port belongs to records diff against the unit").arg(words.front());
  if (o.ports.size() > 1) return Tr("records diff compares one unit: give one --port");
  return {};
}

// Backups and history lines an earlier version kept (the work directory's backups/, or
// another station's folder), each a commit dated as it was; what was imported before is not
// committed again.
int RunRecordsImport(Context& c, const QStringList& words) {
  const QString folder = words.isEmpty() ? c.workDirectory + QStringLiteral("/backups") : words[0];
  const ImportOutcome outcome = ImportBackups(c.workDirectory, folder);
  for (const QString& skipped : outcome.skipped) c.out.Error(Tr("Not imported: %1").arg(skipped));
  const QJsonObject fields{{QStringLiteral("backups"), outcome.backups},
                           {QStringLiteral("history_lines"), outcome.lines},
                           {QStringLiteral("already_imported"), outcome.alreadyThere},
                           {QStringLiteral("skipped"), static_cast<int>(outcome.skipped.size())}};
  if (!outcome.error.isEmpty()) {
    c.out.Error(outcome.error);
    return c.out.Finish(c.options.commandName, ExitCode::Usage, fields);
  }
  c.out.Say(Tr("Imported %1 backups and %2 history lines (%3 imported before).")
                .arg(outcome.backups)
                .arg(outcome.lines)
                .arg(outcome.alreadyThere));
  return c.out.Finish(c.options.commandName, ExitCode::Done, fields);
}

int RunRecords(Context& c) {
  const QStringList& words = c.options.words;
  const QString sub = words.front();
  if (sub == QLatin1String("log")) return RunRecordsLog(c, words.mid(1));
  if (sub == QLatin1String("show")) return RunRecordsShow(c, words.mid(1));
  if (sub == QLatin1String("server")) return RunRecordsServer(c, words.mid(1));
  if (sub == QLatin1String("sync")) return RunRecordsSync(c);
  if (sub == QLatin1String("import")) return RunRecordsImport(c, words.mid(1));
  return RunRecordsDiff(c, words.mid(1));
}

}  // namespace kvn::cli

#include "operations/fleet.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <array>

#include "device_link/port_map.h"
#include "device_link/network_port.h"
#include "operations/device_backup.h"
#include "operations/set_comparison.h"
#include "operations/unit_records.h"
#include "records/records.h"
#include "records/unit_files.h"
#include "texts/setup_record.h"
#include "texts/tr_context.h"

namespace kvn {
namespace {

KVN_TR_CONTEXT(kvn::Fleet)

enum Column { kName, kPort, kAddress, kInterface, kBaud, kParity, kReleased, kChecksum, kColumns };
constexpr std::array<const char*, kColumns> kColumnNames{"name", "port", "address", "interface",
                                                         "baud", "parity", "released", "checksum"};

QString ColumnError(int line, int column, const QString& why) {
  return Tr("line %1, column %2 (%3): %4").arg(line).arg(column + 1).arg(QLatin1String(kColumnNames[static_cast<size_t>(column)]), why);
}

// One unit's fields into the unit; an error names the first that cannot be taken.
QString TakeFields(const QStringList& f, FleetUnit& u) {
  bool ok = false;
  u.name = f[kName].trimmed();
  if (u.name.isEmpty()) return ColumnError(u.line, kName, Tr("a unit needs a name"));
  u.port = f[kPort].trimmed();
  if (NetworkPort::IsAddress(u.port)) {
    if (const QString problem = NetworkPort::AddressProblem(u.port); !problem.isEmpty()) return ColumnError(u.line, kPort, problem);
  } else if (!PortMap::IsDevicePath(u.port) && PortMap::ComNumber(u.port) == 0) {
    return ColumnError(u.line, kPort, Tr("a device path, a COM name or tcp://HOST:PORT: %1").arg(u.port));
  }
  u.address = f[kAddress].trimmed().toInt(&ok);
  if (!ok || u.address < 1 || u.address > 247) return ColumnError(u.line, kAddress, Tr("1 to 247: %1").arg(f[kAddress]));
  const QString interface = f[kInterface].trimmed().toLower();
  if (interface != QLatin1String("rs485") && interface != QLatin1String("usb"))
    return ColumnError(u.line, kInterface, Tr("rs485 or usb: %1").arg(f[kInterface]));
  u.usb = interface == QLatin1String("usb");
  const int baud = f[kBaud].trimmed().toInt(&ok);
  const auto* rate = std::find(std::begin(kBaudRates), std::end(kBaudRates), ok ? baud : -1);
  if (rate == std::end(kBaudRates)) return ColumnError(u.line, kBaud, Tr("4800, 9600, 19200, 38400, 57600 or 115200: %1").arg(f[kBaud]));
  u.baudIndex = static_cast<int>(rate - std::begin(kBaudRates));
  static const QStringList parities{QStringLiteral("none"), QStringLiteral("odd"), QStringLiteral("even")};
  u.parity = static_cast<int>(parities.indexOf(f[kParity].trimmed().toLower()));
  if (u.parity < 0) return ColumnError(u.line, kParity, Tr("none, odd or even: %1").arg(f[kParity]));
  u.released = f[kReleased].trimmed();
  if (f.size() > kChecksum && !f[kChecksum].trimmed().isEmpty()) {
    const qint64 checksum = f[kChecksum].trimmed().toLongLong(&ok);
    if (!ok || checksum < 0) return ColumnError(u.line, kChecksum, Tr("the number the released file ends with: %1").arg(f[kChecksum]));
    if (u.released.isEmpty()) return ColumnError(u.line, kChecksum, Tr("a checksum needs its released file"));
    u.checksum = checksum;
  }
  return {};
}

}  // namespace

FleetList ReadFleetList(const QByteArray& bytes) {
  FleetList list;
  const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
  QStringList names;
  for (int i = 1; i < lines.size(); ++i) {  // line 1 is the header
    QString text = lines[i];
    if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
    if (text.trimmed().isEmpty() || text.trimmed().startsWith(QLatin1Char('#'))) continue;
    FleetUnit unit;
    unit.line = i + 1;
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() < kReleased || fields.size() > kColumns) {
      list.error = Tr("line %1: %2 fields, a unit has %3 (name,port,address,interface,baud,parity,released[,checksum])")
                       .arg(unit.line).arg(fields.size()).arg(kReleased + 1);
      return list;
    }
    QStringList padded = fields;
    while (padded.size() < kColumns) padded << QString();
    if (const QString error = TakeFields(padded, unit); !error.isEmpty()) {
      list.error = error;
      return list;
    }
    if (names.contains(unit.name)) {
      list.error = ColumnError(unit.line, kName, Tr("%1 is named twice").arg(unit.name));
      return list;
    }
    names << unit.name;
    list.units.push_back(unit);
  }
  if (list.units.empty() && list.error.isEmpty()) list.error = Tr("the list names no unit");
  return list;
}

QString VerdictText(const FleetFinding& f) {
  QString text;
  switch (f.verdict) {
    case FleetVerdict::AsReleased: text = Tr("as released"); break;
    case FleetVerdict::Unchanged: text = Tr("unchanged"); break;
    case FleetVerdict::FirstRecord: text = Tr("first record"); break;
    case FleetVerdict::Differs:
      text = f.differences.size() == 1 ? Tr("differs from released (1 row)")
                                       : Tr("differs from released (%1 rows)").arg(f.differences.size());
      break;
    case FleetVerdict::Changed: text = Tr("changed since the last record"); break;
    case FleetVerdict::ReleasedRefused: text = Tr("released file refused: %1").arg(f.why); break;
    case FleetVerdict::NoAnswer: text = Tr("no answer: %1").arg(f.why); break;
    case FleetVerdict::WrongDevice: text = Tr("wrong device: %1").arg(f.why); break;
  }
  const bool judgedAgainstReleased = f.verdict == FleetVerdict::AsReleased || f.verdict == FleetVerdict::Differs;
  if (judgedAgainstReleased && f.changedSinceRecord) text += Tr("; changed since the last record");
  if (!f.notRecorded.isEmpty()) text += Tr("; not recorded: %1").arg(f.notRecorded);
  return text;
}

int VerdictStatus(const FleetFinding& f) {
  switch (f.verdict) {
    case FleetVerdict::AsReleased: return f.changedSinceRecord ? 1 : 0;
    case FleetVerdict::Unchanged:
    case FleetVerdict::FirstRecord: return 0;
    case FleetVerdict::Differs:
    case FleetVerdict::Changed: return 1;
    case FleetVerdict::ReleasedRefused: return 2;
    case FleetVerdict::NoAnswer: return 3;
    case FleetVerdict::WrongDevice: break;
  }
  return 4;
}

QString RecordEventLog(const QString& workDirectory, const QString& unit, const QString& serial, const QByteArray& csv,
                       int events, const QDateTime& time) {
  Records records(workDirectory);
  QString error;
  const std::optional<QByteArray> last = records.FileAt(unit, kEventsFile, QStringLiteral("HEAD"), &error);
  // Lines end in CR LF, the header first.
  const int recorded = last ? std::max(0, static_cast<int>(last->count("\r\n")) - 1) : 0;
  QString note = Tr("event log: %1 events").arg(events);
  if (last && recorded == events) return note;
  const QString message = events >= recorded
                              ? Tr("%1: event log: %2 events, %3 new").arg(serial).arg(events).arg(events - recorded)
                              : Tr("%1: event log: %2 events, fewer than the %3 last recorded (cleared)").arg(serial).arg(events).arg(recorded);
  const RecordOutcome outcome = records.Attach(unit, kEventsFile, csv, message, time);
  if (!outcome.error.isEmpty()) return note + Tr(", not recorded: %1").arg(outcome.error);
  return events >= recorded ? note + Tr(", %1 new").arg(events - recorded) : note + Tr(", the log was cleared");
}

FleetFinding JudgeReadSet(const QString& workDirectory, const RegisterImage& set, const RegisterImage* released,
                          const Texts& texts, const NumberFormat& format, const QDateTime& time) {
  FleetFinding f;
  f.time = time;
  f.serialNumber = SerialNumberIn(set);
  const QString unit = RecordsUnitName(workDirectory, set, time);
  Records records(workDirectory);
  QString error;
  // Whether the unit has a record: one look at the last commit, not a walk of the plant's history.
  const bool first = !records.FileAt(unit, kSettingsFile, QStringLiteral("HEAD"), &error).has_value();
  const RecordOutcome recorded = records.Observe(unit, f.serialNumber, UnitFilesOf(set), time);
  f.notRecorded = recorded.error;
  f.changedSinceRecord = recorded.committed && !first;
  if (released) {
    f.differences = SetDifferences(set, *released, texts, format);
    f.verdict = f.differences.empty() ? FleetVerdict::AsReleased : FleetVerdict::Differs;
  } else {
    f.verdict = first ? FleetVerdict::FirstRecord : f.changedSinceRecord ? FleetVerdict::Changed : FleetVerdict::Unchanged;
  }
  return f;
}

}  // namespace kvn

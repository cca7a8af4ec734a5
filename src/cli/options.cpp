#include "cli/options.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

#include "cli/exit_codes.h"
#include "cli/records_commands.h"
#include "device_link/network_port.h"
#include "device_link/port_map.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli)

struct CommandRow {
  const char* name;
  Command command;
};
constexpr std::array<CommandRow, 14> kCommands{{
    {"identify", Command::Identify},
    {"read", Command::Read},
    {"compare", Command::Compare},
    {"backup", Command::Backup},
    {"log", Command::Log},
    {"report", Command::Report},
    {"program", Command::Program},
    {"restore-default", Command::RestoreDefault},
    {"save-default", Command::SaveDefault},
    {"abort", Command::Abort},
    {"ports", Command::Ports},
    {"records", Command::Records},
    {"scan", Command::Scan},
    {"fleet", Command::Fleet},
}};

std::optional<int> NumberIn(const QString& text) {
  bool ok = false;
  const int n = text.toInt(&ok);
  if (!ok || text != QString::number(n)) return std::nullopt;
  return n;
}

// Each option once: its name, whether a value follows, and what it sets (an error text when
// the value is refused).
using Setter = QString (*)(Options&, const QString&);
struct OptionRow {
  const char* name;
  bool takesValue;
  Setter set;
};

QString SetPort(Options& o, const QString& v) {
  if (NetworkPort::IsAddress(v)) {
    if (const QString problem = NetworkPort::AddressProblem(v); !problem.isEmpty()) return problem;
  } else if (!PortMap::IsDevicePath(v) && PortMap::ComNumber(v) == 0) {
    return Tr("--port takes a device path (/dev/ttyUSB0), a COM name (COM1 to COM50) or a serial server's "
              "tcp://HOST:PORT: %1").arg(v);
  }
  // Two runs on one device would interleave their transactions on one line.
  if (o.ports.contains(v)) return Tr("--port %1 is given twice").arg(v);
  if (!o.port) o.port = v;
  o.ports << v;
  return {};
}

QString SetInterface(Options& o, const QString& v) {
  if (v != QLatin1String("usb") && v != QLatin1String("rs485")) return Tr("--interface takes usb or rs485: %1").arg(v);
  o.usb = v == QLatin1String("usb");
  return {};
}

QString SetBaud(Options& o, const QString& v) {
  const std::optional<int> baud = NumberIn(v);
  const auto* rate = std::find(std::begin(kBaudRates), std::end(kBaudRates), baud.value_or(-1));
  if (rate == std::end(kBaudRates)) return Tr("--baud takes 4800, 9600, 19200, 38400, 57600 or 115200: %1").arg(v);
  o.baudIndex = static_cast<int>(rate - std::begin(kBaudRates));
  return {};
}

QString SetParity(Options& o, const QString& v) {
  static const QStringList names{QStringLiteral("none"), QStringLiteral("odd"), QStringLiteral("even")};
  if (!names.contains(v)) return Tr("--parity takes none, odd or even: %1").arg(v);
  o.parity = static_cast<int>(names.indexOf(v));
  return {};
}

QString SetChecksum(Options& o, const QString& v) {
  bool ok = false;
  const qint64 n = v.toLongLong(&ok);
  if (!ok || n < 0 || v != QString::number(n))
    return Tr("--expect-checksum takes the checksum as the file carries it (the number read prints): %1").arg(v);
  o.expectChecksum = n;
  return {};
}

QString SetAddresses(Options& o, const QString& v) {
  const QStringList ends = v.split(QLatin1Char('-'));
  const std::optional<int> first = NumberIn(ends.value(0));
  const std::optional<int> last = ends.size() == 2 ? NumberIn(ends[1]) : first;
  if (ends.size() > 2 || !first || !last || *first < 1 || *last > 247 || *first > *last)
    return Tr("--addresses takes a range within 1-247, such as 1-32 (or one address): %1").arg(v);
  o.firstAddress = *first;
  o.lastAddress = *last;
  return {};
}

QString SetAddress(Options& o, const QString& v) {
  const std::optional<int> a = NumberIn(v);
  if (!a || *a < 1 || *a > 254) return Tr("--address takes 1 to 254: %1").arg(v);
  o.address = *a;
  return {};
}

QString SetRecordsTimeout(Options& o, const QString& v) {
  const std::optional<int> s = NumberIn(v);
  if (!s || *s < 0 || *s > 3600) return Tr("--records-timeout takes seconds, 0 to 3600 (0: no push): %1").arg(v);
  o.recordsTimeout = *s;
  return {};
}

constexpr std::array<OptionRow, 24> kOptions{{
    {"--port", true, SetPort},
    {"--interface", true, SetInterface},
    {"--baud", true, SetBaud},
    {"--parity", true, SetParity},
    {"--address", true, SetAddress},
    {"--addresses", true, SetAddresses},
    {"--report", true, [](Options& o, const QString& v) { o.reportFile = v; return QString(); }},
    {"--work-dir", true, [](Options& o, const QString& v) { o.workDir = v; return QString(); }},
    {"--records-timeout", true, SetRecordsTimeout},
    {"--output", true, [](Options& o, const QString& v) { o.output = v; return QString(); }},
    {"--csv", false, [](Options& o, const QString&) { o.csv = true; return QString(); }},
    {"--with-log", false, [](Options& o, const QString&) { o.withLog = true; return QString(); }},
    {"--json", false, [](Options& o, const QString&) { o.json = true; return QString(); }},
    {"--quiet", false, [](Options& o, const QString&) { o.quiet = true; return QString(); }},
    {"--help", false, [](Options& o, const QString&) { o.help = true; return QString(); }},
    {"--version", false, [](Options& o, const QString&) { o.version = true; return QString(); }},
    {"--file", true, [](Options& o, const QString& v) { o.file = v; return QString(); }},
    {"--yes", false, [](Options& o, const QString&) { o.yes = true; return QString(); }},
    {"--expect-checksum", true, SetChecksum},
    {"--admin", false, [](Options& o, const QString&) { o.admin = true; return QString(); }},
    {"--password-file", true, [](Options& o, const QString& v) { o.passwordFile = v; o.admin = true; return QString(); }},
    {"--new-password-file", true, [](Options& o, const QString& v) { o.newPasswordFile = v; return QString(); }},
    {"--user-level-ok", false, [](Options& o, const QString&) { o.userLevelOk = true; return QString(); }},
    // A password never stands on the command line, where every user sees it in the process list.
    {"--password", true, [](Options&, const QString&) {
       return Tr("a password is never given on the command line: use --password-file FILE, or --admin to be asked");
     }},
}};

QString LongName(const QString& argument) {
  if (argument == QLatin1String("-o")) return QStringLiteral("--output");
  if (argument == QLatin1String("-h")) return QStringLiteral("--help");
  if (argument == QLatin1String("-q")) return QStringLiteral("--quiet");
  return argument;
}

const OptionRow* FindOption(const QString& name) {
  for (const OptionRow& row : kOptions)
    if (name == QLatin1String(row.name)) return &row;
  return nullptr;
}

QString TakeWord(Options& o, QStringList& positional, const QString& word) {
  if (o.command != Command::None) {
    positional << word;
    return {};
  }
  for (const CommandRow& row : kCommands) {
    if (word != QLatin1String(row.name)) continue;
    o.command = row.command;
    o.commandName = word;
    return {};
  }
  return Tr("unknown command: %1").arg(word);
}

// The options of the writing commands belong to them alone.
QString CheckWriteOptions(const Options& o) {
  if (WritesDevice(o.command)) {
    if (o.expectChecksum && o.command != Command::Program) return Tr("--expect-checksum belongs to program only");
    if (!o.newPasswordFile.isEmpty() && o.command == Command::RestoreDefault)
      return Tr("--new-password-file belongs to program and save-default");
    return {};
  }
  const bool writeOption = o.yes || o.expectChecksum || o.admin || !o.newPasswordFile.isEmpty() || o.userLevelOk;
  if (writeOption) return Tr("--yes, --expect-checksum, --admin, --password-file, --new-password-file and --user-level-ok "
                             "belong to program, restore-default and save-default");
  return {};
}

// Over USB the device is always at address 1, 115200 baud, no parity: a line setting given with
// it would be silently ignored or, for the address, make the device fall silent.
QString CheckInterface(const Options& o) {
  if (!o.usb.value_or(false)) return {};
  if (o.address || o.baudIndex || o.parity)
    return Tr("--address, --baud and --parity belong to --interface rs485: over USB the device answers at address 1, "
              "115200 baud, no parity");
  return {};
}

// What each command needs besides the common options.
QString CheckCommand(Options& o, const QStringList& positional) {
  if (o.help || o.version) return {};
  if (o.command == Command::None)
    return Tr("no command given (identify, read, compare, backup, log, report, program, restore-default, save-default, "
              "abort, scan, fleet, ports, records)");
  if (const QString problem = CheckWriteOptions(o); !problem.isEmpty()) return problem;
  if (const QString problem = CheckInterface(o); !problem.isEmpty()) return problem;
  if (o.ports.size() > 1 && !o.output.isEmpty()) return Tr("several ports cannot write one output file (-o)");
  if (o.csv && o.command != Command::Records) return Tr("--csv belongs to records log");
  if (o.withLog && o.command != Command::Fleet) return Tr("--with-log belongs to fleet (a device's log: log -o FILE.csv)");
  if (o.command != Command::Fleet && !o.reportFile.isEmpty()) return Tr("--report belongs to fleet (a device's report: report -o FILE.pdf)");
  if (o.command == Command::Fleet) {
    if (positional.size() != 1) return Tr("fleet takes the plant's list: fleet FLEET.csv [--report FILE.pdf] [--with-log]");
    if (!o.ports.isEmpty()) return Tr("fleet takes its ports from the list, not from --port");
    o.file = positional.front();
    return {};
  }
  if (o.command == Command::Compare || o.command == Command::Program) {
    if (positional.size() != 1) return Tr("%1 takes one configuration file: %1 FILE.kvn").arg(o.commandName);
    o.file = positional.front();
    return {};
  }
  if (o.command == Command::Scan) {
    if (o.usb.value_or(false)) return Tr("scan belongs to an RS-485 line (--interface rs485): over USB one unit answers");
    if (o.address) return Tr("scan asks every address of --addresses, not one --address");
    if (o.ports.size() > 1) return Tr("scan takes one --port: each bus is scanned on its own");
  } else if (o.firstAddress != 1 || o.lastAddress != 247) {
    return Tr("--addresses belongs to scan");
  }
  if (o.command == Command::Ports) {
    const bool list = positional == QStringList{QStringLiteral("list")};
    const bool add = positional.size() == 3 && positional.front() == QLatin1String("add");
    if (!list && !add) return Tr("ports takes: ports list, or ports add COMn tcp://HOST:PORT");
    if (!o.ports.isEmpty()) return Tr("ports names its COM name itself: --port belongs to the other commands");
    o.words = positional;
    return {};
  }
  if (o.command == Command::Records) {
    o.words = positional;
    return RecordsUsageProblem(o, positional);
  }
  if (o.command == Command::SaveDefault) {
    if (positional.size() > 1) return Tr("save-default takes at most one configuration file: save-default [FILE.kvn]");
    o.file = positional.value(0);
    return {};
  }
  if (!positional.isEmpty()) return Tr("%1 takes no argument: %2").arg(o.commandName, positional.front());
  if (o.command != Command::Report && !o.file.isEmpty()) return Tr("--file belongs to report only");
  if (o.command == Command::Read && o.output.isEmpty()) return Tr("read needs the output file: read -o FILE.kvn");
  if (o.command == Command::Log && o.output.isEmpty()) return Tr("log needs the output file: log -o FILE.csv");
  if (o.command == Command::Report && o.output.isEmpty()) return Tr("report needs the output file: report -o FILE.pdf");
  const bool writesFile = o.command == Command::Read || o.command == Command::Log || o.command == Command::Report;
  if (!writesFile && !o.output.isEmpty()) return Tr("%1 writes no output file (-o)").arg(o.commandName);
  return {};
}

}  // namespace

namespace {

ParseResult ParseAll(const QStringList& arguments) {
  ParseResult result;
  Options& o = result.options;
  QStringList positional;
  for (int i = 0; i < arguments.size(); ++i) {
    QString name = LongName(arguments[i]);
    std::optional<QString> value;
    if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
      value = name.mid(name.indexOf(QLatin1Char('=')) + 1);
      name = name.left(name.indexOf(QLatin1Char('=')));
    }
    if (!name.startsWith(QLatin1Char('-')) || name == QLatin1String("-")) {
      result.error = TakeWord(o, positional, arguments[i]);
      if (!result.error.isEmpty()) return result;
      continue;
    }
    const OptionRow* row = FindOption(name);
    if (!row) {
      result.error = Tr("unknown option: %1").arg(arguments[i]);
      return result;
    }
    if (row->takesValue && !value) {
      if (i + 1 == arguments.size()) {
        result.error = Tr("%1 needs a value").arg(name);
        return result;
      }
      value = arguments[++i];
    } else if (!row->takesValue && value) {
      result.error = Tr("%1 takes no value").arg(name);
      return result;
    }
    result.error = row->set(o, value.value_or(QString()));
    if (!result.error.isEmpty()) return result;
  }
  result.error = CheckCommand(o, positional);
  return result;
}

}  // namespace

ParseResult ParseArguments(const QStringList& arguments) {
  ParseResult result = ParseAll(arguments);
  // A script that asked for JSON gets its usage error as JSON, wherever the flag stood.
  if (!result.error.isEmpty() && arguments.contains(QStringLiteral("--json"))) result.options.json = true;
  return result;
}

void ApplyTo(const Options& options, InterfaceSettings& settings) {
  if (options.port) settings.com_num = *options.port;
  if (options.usb) settings.usb = *options.usb;
  if (options.baudIndex) settings.baud = *options.baudIndex;
  if (options.parity) settings.parity = *options.parity;
  if (options.address) settings.addr = *options.address;
}

bool TakesValue(const QString& name) {
  const OptionRow* row = FindOption(LongName(name));
  return row && row->takesValue;
}

QString UsageText() {
  return Tr("Usage: korvane-cli [options] COMMAND [arguments] [options]\n"
            "\n"
            "Commands:\n"
            "  identify             device type, serial number, firmware, tag, access level, mode\n"
            "  read -o FILE.kvn     the device's parameter set into a configuration file\n"
            "  compare FILE.kvn     the parameters in which the device and the file differ\n"
            "  backup               the device's set into backups/<serial>/<time>.kvn\n"
            "  log -o FILE.csv      the device's event log into a CSV file\n"
            "  report -o FILE.pdf [--file FILE.kvn]\n"
            "                       the configuration report of the device's set, or of a file\n"
            "  program FILE.kvn     program the file's set: programming mode, write, read back,\n"
            "                       commit, confirm by reading back, leave programming mode\n"
            "  restore-default      the device replaces its working set by its default set\n"
            "  save-default [FILE.kvn]\n"
            "                       the file's set (or the device's own) as the device's default\n"
            "  abort                take the unit out of programming mode (uncommitted writes are\n"
            "                       dropped) and end an admin login: after a power cut or a kill\n"
            "  scan [--addresses 1-247]\n"
            "                       every address of an RS-485 line asked once: the units found\n"
            "  fleet FLEET.csv      every unit of a plant's list read, recorded and judged against\n"
            "                       its released file (name,port,address,interface,baud,parity,\n"
            "                       released[,checksum]); --report FILE.pdf: the run's summary and\n"
            "                       each differing unit's rows; --with-log: each unit's event log\n"
            "                       into its records folder too\n"
            "  ports list           the program's COM names and what each stands for\n"
            "  ports add COMn tcp://HOST:PORT\n"
            "                       COMn stands for a serial server's network port, in the window too\n"
            "  records log [SERIAL] [--csv -o FILE.csv]\n"
            "                       the records' commits, newest first (of one unit); with --csv\n"
            "                       the change history in history.csv's columns, oldest first\n"
            "  records show SERIAL[@REV] [-o FILE.kvn]\n"
            "                       a unit's set as recorded (REV: HEAD, a commit, HEAD~2, ...)\n"
            "  records diff SERIAL [REV [REV]]\n"
            "                       the parameters in which a record and the unit (or two records)\n"
            "                       differ\n"
            "  records server [URL] the plant's server the records are synced with: a bare\n"
            "                       repository's path, file://, ssh://user@host[:port]/path or\n"
            "                       user@host:path (ssh: the agent's keys or ~/.ssh/id_*, the host\n"
            "                       in ~/.ssh/known_hosts; never a password)\n"
            "  records sync         fetch what other stations sent, put ours on top, push\n"
            "                       (never forced)\n"
            "  records import [DIR] the backups and change history an earlier version kept\n"
            "                       (backups/ of the work directory), each a commit as dated\n"
            "\n"
            "Options (default: the window's interface settings):\n"
            "  --port PATH|COMn|tcp://HOST:PORT\n"
            "                       device path (/dev/ttyUSB0, /dev/serial/by-id/...), COM name, or\n"
            "                       a serial server's network port (RTU frames over TCP)\n"
            "  --interface usb|rs485\n"
            "  --baud N             4800, 9600, 19200, 38400, 57600, 115200 (RS-485)\n"
            "  --parity none|odd|even\n"
            "  --address N          Modbus slave address 1..254 (RS-485)\n"
            "                       (with usb the device answers at 1, 115200 baud, no parity)\n"
            "  --work-dir DIR       the work directory (settings, ports, backups, records)\n"
            "  --records-timeout S  a command that recorded pushes the records to their server\n"
            "                       at its end, for at most S seconds (default 10; 0: no push);\n"
            "                       what did not go stays and goes with the next push or sync\n"
            "\n"
            "Programming (program, restore-default, save-default; USB interface only):\n"
            "  --port given several times: every device at once, one result line each\n"
            "  --yes                answer the questions OK (needed without a terminal)\n"
            "  --expect-checksum N  program only the file with this checksum (as read prints it)\n"
            "  --admin              log in as admin; the password is asked without echo\n"
            "  --password-file FILE the admin password from FILE's first line (- : stdin)\n"
            "  --new-password-file FILE\n"
            "                       also set the device's admin password from FILE\n"
            "  --user-level-ok      at user level only the user block is written; without\n"
            "                       this flag that is refused\n"
            "\n"
            "  --json               one JSON object per line on stdout\n"
            "  --quiet, -q          nothing on stdout but the differences; errors still on stderr\n"
            "  --help, -h           this text\n"
            "  --version            the program's version\n"
            "\n"
            "Exit status:\n") +
         ExitCodeTable();
}

}  // namespace kvn::cli

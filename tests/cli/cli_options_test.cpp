// korvane-cli's command line: options before or after the command, values refused with a
// reason, what each command needs, and one exit-code table behind --help and the man page.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "cli/exit_codes.h"
#include "cli/options.h"

namespace kvn::cli {
namespace {

QStringList Words(const char* line) { return QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

struct Accepted {
  const char* line;
  Command command;
  const char* port;  // nullptr: not given
  int usb;           // -1 not given, 0 rs485, 1 usb
  int baudIndex;     // -1 not given
  int parity;        // -1 not given
  int address;       // -1 not given
  const char* output;
  const char* file;
  bool json;
};

const Accepted kAccepted[] = {
    {"identify", Command::Identify, nullptr, -1, -1, -1, -1, "", "", false},
    {"--port /dev/ttyUSB0 identify --json", Command::Identify, "/dev/ttyUSB0", -1, -1, -1, -1, "", "", true},
    {"read -o set.kvn --port COM7", Command::Read, "COM7", -1, -1, -1, -1, "set.kvn", "", false},
    {"--output=a.kvn read", Command::Read, nullptr, -1, -1, -1, -1, "a.kvn", "", false},
    {"compare plant.kvn --interface rs485 --baud 19200 --parity even --address 17", Command::Compare, nullptr, 0, 2,
     2, 17, "", "plant.kvn", false},
    {"--interface=rs485 --baud=4800 --parity=odd --address=254 backup", Command::Backup, nullptr, 0, 0, 1, 254, "", "",
     false},
    {"abort --port COM4 --interface usb", Command::Abort, "COM4", 1, -1, -1, -1, "", "", false},
    {"log --json -o events.csv", Command::Log, nullptr, -1, -1, -1, -1, "events.csv", "", true},
    {"report --file plant.kvn -o plant.pdf", Command::Report, nullptr, -1, -1, -1, -1, "plant.pdf", "plant.kvn", false},
    {"backup --port /dev/serial/by-id/usb-Korvane_SM-if00 --quiet", Command::Backup,
     "/dev/serial/by-id/usb-Korvane_SM-if00", -1, -1, -1, -1, "", "", false},
    {"program plant.kvn --port COM1 --port COM2 --yes", Command::Program, "COM1", -1, -1, -1, -1, "", "plant.kvn", false},
    {"save-default", Command::SaveDefault, nullptr, -1, -1, -1, -1, "", "", false},
    {"restore-default --json", Command::RestoreDefault, nullptr, -1, -1, -1, -1, "", "", true},
};

// The writing commands' own options, and every --port kept in order.
TEST(CliOptions, WritingOptionsReachTheCommand) {
  const ParseResult r = ParseArguments(Words("program a.kvn --expect-checksum 41385457 --password-file pw "
                                             "--new-password-file npw --user-level-ok --port COM1 --port COM2"));
  ASSERT_EQ(r.error, QString());
  EXPECT_EQ(r.options.expectChecksum.value_or(-1), 41385457);
  EXPECT_TRUE(r.options.admin);  // a password file is an admin login
  EXPECT_EQ(r.options.passwordFile, QStringLiteral("pw"));
  EXPECT_EQ(r.options.newPasswordFile, QStringLiteral("npw"));
  EXPECT_TRUE(r.options.userLevelOk);
  EXPECT_FALSE(r.options.yes);
  EXPECT_EQ(r.options.ports, (QStringList{QStringLiteral("COM1"), QStringLiteral("COM2")}));
}

TEST(CliOptions, AcceptedLinesSetWhatTheyName) {
  for (const Accepted& c : kAccepted) {
    SCOPED_TRACE(c.line);
    const ParseResult r = ParseArguments(Words(c.line));
    ASSERT_EQ(r.error, QString());
    const Options& o = r.options;
    EXPECT_EQ(o.command, c.command);
    EXPECT_EQ(o.port.value_or(QStringLiteral("-")), c.port ? QString::fromLatin1(c.port) : QStringLiteral("-"));
    EXPECT_EQ(o.usb ? int(*o.usb) : -1, c.usb);
    EXPECT_EQ(o.baudIndex.value_or(-1), c.baudIndex);
    EXPECT_EQ(o.parity.value_or(-1), c.parity);
    EXPECT_EQ(o.address.value_or(-1), c.address);
    EXPECT_EQ(o.output, QString::fromLatin1(c.output));
    EXPECT_EQ(o.file, QString::fromLatin1(c.file));
    EXPECT_EQ(o.json, c.json);
  }
}

struct Refused {
  const char* line;
  const char* reason;  // a part of the error text
};

const Refused kRefused[] = {
    {"", "no command given"},
    {"--json", "no command given"},
    {"erase", "unknown command: erase"},
    {"identify --colour", "unknown option: --colour"},
    {"identify --port", "--port needs a value"},
    {"identify --port ttyUSB0", "--port takes a device path"},
    {"identify --port COM51", "--port takes a device path"},
    {"identify --interface can", "--interface takes usb or rs485"},
    {"identify --baud 14400", "--baud takes 4800"},
    {"identify --baud 9600x", "--baud takes 4800"},
    {"identify --parity mark", "--parity takes none, odd or even"},
    {"identify --address 0", "--address takes 1 to 254"},
    {"identify --address 255", "--address takes 1 to 254"},
    {"identify --json=yes", "--json takes no value"},
    {"identify extra", "identify takes no argument: extra"},
    {"read", "read needs the output file"},
    {"log", "log needs the output file: log -o FILE.csv"},
    {"report --file a.kvn", "report needs the output file: report -o FILE.pdf"},
    {"read -o a.kvn --file b.kvn", "--file belongs to report only"},
    {"identify -o x.kvn", "identify writes no output file"},
    {"compare", "compare takes one configuration file"},
    {"compare a.kvn b.kvn", "compare takes one configuration file"},
    {"program", "program takes one configuration file"},
    {"save-default a.kvn b.kvn", "save-default takes at most one configuration file"},
    {"restore-default a.kvn", "restore-default takes no argument"},
    {"program a.kvn --password admin", "a password is never given on the command line"},
    {"program a.kvn --expect-checksum 12ab", "--expect-checksum takes the checksum"},
    {"save-default --expect-checksum 1", "--expect-checksum belongs to program only"},
    {"restore-default --new-password-file p", "--new-password-file belongs to program and save-default"},
    {"read -o a.kvn --yes", "belong to program, restore-default and save-default"},
    {"identify --password-file p", "belong to program, restore-default and save-default"},
    {"read -o a.kvn --port COM1 --port COM2", "several ports cannot write one output file"},
    {"identify --port COM1 --port /dev/ttyUSB0 --port COM1", "--port COM1 is given twice"},
    {"identify --interface usb --address 5", "belong to --interface rs485"},
    {"read -o a.kvn --baud 9600 --interface usb", "belong to --interface rs485"},
    {"abort --yes", "belong to program, restore-default and save-default"},
    {"records", "records takes: records log [SERIAL]"},
    {"records erase KV1", "records takes: records log [SERIAL]"},
    {"records log KV1 KV2", "log takes: records log [SERIAL]"},
    {"records show", "show takes: records show SERIAL[@REV]"},
    {"records diff KV1 A B C", "diff takes: records diff SERIAL [REV [REV]]"},
    {"records log -o a.csv", "records log writes the change history with --csv -o FILE.csv"},
    {"records log KV1 --csv", "records log writes the change history with --csv -o FILE.csv"},
    {"records show KV1 --csv", "--csv belongs to records log"},
    {"read --csv -o a.kvn", "--csv belongs to records log"},
    {"records show KV1 --port COM1", "records show reaches no device"},
    {"records diff KV1 A B --port COM1", "records diff reaches no device"},
};

TEST(CliOptions, RefusedLinesSayWhy) {
  for (const Refused& c : kRefused) {
    SCOPED_TRACE(c.line);
    const ParseResult r = ParseArguments(Words(c.line));
    EXPECT_TRUE(r.error.contains(QString::fromLatin1(c.reason))) << r.error.toStdString();
  }
}

TEST(CliOptions, HelpAndVersionNeedNoCommand) {
  EXPECT_EQ(ParseArguments(Words("--help")).error, QString());
  EXPECT_EQ(ParseArguments(Words("-h")).error, QString());
  EXPECT_EQ(ParseArguments(Words("--version")).error, QString());
}

// The settings file's interface stays where the line names nothing.
TEST(CliOptions, TheLineOverridesOnlyWhatItNames) {
  InterfaceSettings s{QStringLiteral("COM3"), 2, 2, false, 9};
  ApplyTo(ParseArguments(Words("identify --address 17")).options, s);
  EXPECT_EQ(s.com_num, QStringLiteral("COM3"));
  EXPECT_EQ(s.baud, 2);
  EXPECT_EQ(s.parity, 2);
  EXPECT_FALSE(s.usb);
  EXPECT_EQ(s.addr, 17);
  ApplyTo(ParseArguments(Words("identify --interface usb --port /dev/ttyACM0")).options, s);
  EXPECT_TRUE(s.usb);
  EXPECT_EQ(s.com_num, QStringLiteral("/dev/ttyACM0"));
}

QString SourceText(const char* relative) {
  QFile f(QStringLiteral(KVN_SOURCE_DIR "/") + QString::fromLatin1(relative));
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// --help, the man page and the README give every status with what it means, as a script's
// author must read it; the table is this test's own, not the program's.
TEST(CliExitCodes, EveryCodeIsDocumentedWhereUsersLook) {
  const struct {
    int code;
    const char* says;
  } kDocumented[] = {{0, "done"},       {1, "differences"},        {2, "usage error"},
                     {3, "no device"},  {4, "programming mode"},   {5, "refused before anything was written"},
                     {6, "previous set is in force"}, {7, "still in programming mode"},
                     {8, "records sync"},       {130, "SIGHUP"}};
  const QString man = SourceText("packaging/man/korvane-cli.1");
  const QString readme = SourceText("README.md");
  ASSERT_FALSE(man.isEmpty());
  const QString manStatus = man.section(QStringLiteral(".SH EXIT STATUS"), 1).section(QStringLiteral(".SH "), 0, 0);
  for (const auto& row : kDocumented) {
    const QString number = QString::number(row.code);
    const QString says = QRegularExpression::escape(QString::fromLatin1(row.says));
    SCOPED_TRACE(number.toStdString());
    EXPECT_TRUE(UsageText().contains(QRegularExpression(QStringLiteral("\\n\\s+%1  [^\\n]*%2").arg(number, says))));
    EXPECT_TRUE(manStatus.contains(QRegularExpression(QStringLiteral("\\.TP\\n\\.B %1\\n[^.]*%2").arg(number, says))));
    EXPECT_TRUE(readme.contains(QRegularExpression(QStringLiteral("\\| %1 \\|[^\\n]*%2").arg(number, says))));
  }
  EXPECT_EQ(std::size(kDocumented), kExitCodes.size());
}

}  // namespace
}  // namespace kvn::cli

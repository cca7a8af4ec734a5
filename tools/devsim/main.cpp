// korvane-sim: the simulated speed monitor on a pseudo-terminal, for the demo and for manual
// tests. It prints the serial device to open (or makes a link to it) and runs until SIGINT or
// SIGTERM.
#include <QCommandLineParser>
#include <QCoreApplication>

#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "devsim/pty_device.h"

namespace {

using kvn::devsim::Fault;

constexpr int kLineRates[] = {4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kUsbRate = 115200;

struct NamedFault {
  const char* name;
  Fault fault;
};
constexpr NamedFault kFaultNames[] = {
    {"silent", Fault::Silent},           {"delayed", Fault::Delayed},
    {"slow-bytes", Fault::SlowBytes},    {"noise", Fault::Noise},
    {"corrupt-crc", Fault::CorruptCrc},  {"late", Fault::Late},
    {"wrong-type", Fault::WrongType},    {"wrong-firmware", Fault::WrongFirmware},
    {"wrong-mode", Fault::WrongMode},    {"reject-commit", Fault::RejectCommit},
    {"read-back-changed", Fault::ReadBackChanged},
};

struct Settings {
  kvn::devsim::SimOptions sim;
  QString link;
  std::vector<Fault> faults;
  int corruptNext = 0, corruptShare = 0, delayMs = 0, gapMs = 0, noise = 0, wrongFirmware = -1, rejectGroups = 0;
  int lostCommandAnswers = 0, silentLogFrom = -1;
  QString commitFault;
  bool late = false, silentAfterCommit = false, wrongType = false, wrongMode = false, verbose = false, remoteTest = false;
  bool deviceBitAfterCommit = false;
  QByteArray tag;  // null: the factory's
  uint32_t errors = 0;
  std::optional<float> speed;
};

[[noreturn]] void Fail(const QString& message) {
  std::fprintf(stderr, "korvane-sim: %s\n", qPrintable(message));
  std::exit(2);
}

long Number(const QCommandLineParser& p, const QString& name, long lowest, long highest) {
  bool ok = false;
  const long v = p.value(name).toLong(&ok, 0);  // 0x.. for masks
  if (!ok || v < lowest || v > highest)
    Fail(QStringLiteral("--%1 needs a number from %2 to %3").arg(name).arg(lowest).arg(highest));
  return v;
}

int BaudIndex(int baud) {
  for (int i = 0; i < 6; ++i)
    if (kLineRates[i] == baud) return i;
  Fail(QStringLiteral("--baud must be one of 4800, 9600, 19200, 38400, 57600, 115200"));
}

Fault FaultNamed(const QString& name) {
  for (const auto& n : kFaultNames)
    if (name == n.name) return n.fault;
  Fail(QStringLiteral("unknown fault \"%1\"").arg(name));
}

Settings Parse(const QCoreApplication& app) {
  QCommandLineParser p;
  p.setApplicationDescription("Simulated Korvane speed monitor (Modbus RTU slave) on a pseudo-terminal.");
  p.addHelpOption();
  const auto value = [&](const char* name, const char* help, const char* arg) {
    p.addOption(QCommandLineOption(name, help, arg));
  };
  const auto flag = [&](const char* name, const char* help) { p.addOption(QCommandLineOption(name, help)); };
  value("link", "Make PATH a symbolic link to the device (removed at exit), e.g. ~/.config/Kor_Vane/ports/COM7.", "PATH");
  value("address", "Modbus slave address on RS-485 (default 1).", "N");
  value("baud", "RS-485 baud rate the device expects; answers are paced at its character time.", "N");
  value("parity", "RS-485 parity: none, odd or even (11-bit characters with parity).", "P");
  flag("usb", "Reached through its USB port: 115200 baud, no parity, address 1.");
  value("fault", "Named fault (repeatable): silent, delayed, slow-bytes, noise, corrupt-crc, late, "
                 "wrong-type, wrong-firmware, wrong-mode, reject-commit, read-back-changed.", "NAME");
  value("corrupt-crc", "Spoil the CRC of the next N answers.", "N");
  value("corrupt-share", "Flip a bit in N of every 1000 answers, chosen at random.", "N");
  value("delay-ms", "Wait N ms before the first byte of every answer.", "N");
  value("gap-ms", "Wait N ms between the bytes of every answer.", "N");
  value("noise", "Send N noise bytes before every answer.", "N");
  flag("late", "Answer only after the master's time-out.");
  flag("wrong-type", "Report device type 2200.");
  value("wrong-firmware", "Report firmware version N (times 100, e.g. 115).", "N");
  flag("wrong-mode", "Report the device mode bits cleared (register 3024).");
  value("reject-groups", "Every commit rejects these group bits, e.g. 0x08.", "MASK");
  value("commit-fault", "Commits and default saves: ends-programming (programming mode has ended before they "
                        "come) or keeps-old-set (answered as accepted, nothing applied).", "KIND");
  value("silent-log-from", "Leave event-log reads from input register N on unanswered.", "N");
  value("lose-command-answers", "Carry out the next N commands to register 108 without answering them.", "N");
  flag("silent-after-commit", "Carry out the next commit or default save, then answer nothing more.");
  value("errors", "Current error bits, e.g. 0x80 for a sensor error.", "MASK");
  value("speed", "Hold the speed at RPM instead of the run-up and plateau.", "RPM");
  value("password", "Admin password (default \"admin\").", "TEXT");
  value("serial", "Serial number the device reports (16 characters at most), to tell simulated units apart.", "TEXT");
  value("tag", "Device tag it starts with (16 characters at most).", "TEXT");
  flag("device-bit-after-commit", "After a commit the device sets its own bit 5 of the first relay word.");
  value("tcp", "Serve as a serial server: RTU frames over TCP on 127.0.0.1 at PORT (0: any free port) instead "
               "of a pseudo-terminal, paced at the line's baud.", "PORT");
  value("units", "Answer as N units on one RS-485 line, at the address and the N-1 after it, each with a serial "
                 "number and tag of its own (not with --usb).", "N");
  flag("remote-test", "The remote test-and-reset input is closed.");
  flag("verbose", "Print every request.");
  p.process(app);

  Settings s;
  auto& m = s.sim.model;
  if (p.isSet("address")) m.line.address = static_cast<int>(Number(p, "address", 1, 254));
  int bits = 10;
  if (p.isSet("parity")) {
    const QString parity = p.value("parity");
    if (parity == "none") m.line.parityChoice = 0;
    else if (parity == "even") m.line.parityChoice = 1, bits = 11;
    else if (parity == "odd") m.line.parityChoice = 2, bits = 11;
    else Fail("--parity must be none, odd or even");
  }
  if (p.isSet("baud")) {
    const int baud = static_cast<int>(Number(p, "baud", 1, 1000000));
    m.line.baudIndex = BaudIndex(baud);
    s.sim.pacing = {baud, bits};
  }
  if (p.isSet("usb")) {
    m.usb = true;
    s.sim.pacing = {kUsbRate, 10};
  }
  if (p.isSet("password")) m.adminPassword = p.value("password").toStdString();
  if (p.isSet("serial")) {
    if (p.value("serial").toLatin1().size() > 16) Fail("--serial takes 16 characters at most");
    m.identity.serialNumber = p.value("serial").toLatin1().toStdString();
  }
  if (p.isSet("tag")) {
    if (p.value("tag").toLatin1().size() > 16) Fail("--tag takes 16 characters at most");
    s.tag = p.value("tag").toLatin1();
  }
  s.deviceBitAfterCommit = p.isSet("device-bit-after-commit");
  if (p.isSet("tcp")) s.sim.tcpPort = static_cast<int>(Number(p, "tcp", 0, 65535));
  if (p.isSet("units")) {
    s.sim.units = static_cast<int>(Number(p, "units", 1, 247));
    if (s.sim.units > 1 && m.usb) Fail("--units belongs to an RS-485 line: over USB one device answers at address 1");
    if (m.line.address + s.sim.units - 1 > 247) Fail("--units runs past address 247");
  }
  s.link = p.value("link");
  for (const QString& name : p.values("fault")) s.faults.push_back(FaultNamed(name));
  if (p.isSet("corrupt-crc")) s.corruptNext = static_cast<int>(Number(p, "corrupt-crc", 0, 1000000));
  if (p.isSet("corrupt-share")) s.corruptShare = static_cast<int>(Number(p, "corrupt-share", 0, 1000));
  if (p.isSet("delay-ms")) s.delayMs = static_cast<int>(Number(p, "delay-ms", 0, 60000));
  if (p.isSet("gap-ms")) s.gapMs = static_cast<int>(Number(p, "gap-ms", 0, 60000));
  if (p.isSet("noise")) s.noise = static_cast<int>(Number(p, "noise", 0, 200));
  if (p.isSet("wrong-firmware")) s.wrongFirmware = static_cast<int>(Number(p, "wrong-firmware", 0, 65535));
  if (p.isSet("reject-groups")) s.rejectGroups = static_cast<int>(Number(p, "reject-groups", 0, 255));
  if (p.isSet("silent-log-from")) s.silentLogFrom = static_cast<int>(Number(p, "silent-log-from", 0, 65535));
  if (p.isSet("lose-command-answers"))
    s.lostCommandAnswers = static_cast<int>(Number(p, "lose-command-answers", 0, 1000));
  s.commitFault = p.value("commit-fault");
  if (!s.commitFault.isEmpty() && s.commitFault != "ends-programming" && s.commitFault != "keeps-old-set")
    Fail("--commit-fault must be ends-programming or keeps-old-set");
  if (p.isSet("errors")) s.errors = static_cast<uint32_t>(Number(p, "errors", 0, 0x1FFFFFF));
  if (p.isSet("speed")) {
    bool ok = false;
    const float rpm = p.value("speed").toFloat(&ok);
    if (!ok || rpm < 0) Fail("--speed needs a speed in RPM");
    s.speed = rpm;
  }
  s.late = p.isSet("late");
  s.silentAfterCommit = p.isSet("silent-after-commit");
  s.wrongType = p.isSet("wrong-type");
  s.wrongMode = p.isSet("wrong-mode");
  s.remoteTest = p.isSet("remote-test");
  s.verbose = p.isSet("verbose");
  return s;
}

void ApplyFaults(const Settings& s, kvn::devsim::PtyDevice& device) {
  auto& f = device.faults();
  for (Fault fault : s.faults) device.SetFault(fault);
  if (s.corruptNext > 0) f.corruptCrcNext = s.corruptNext;
  if (s.corruptShare > 0) f.corruptPerMille = s.corruptShare;
  if (s.delayMs > 0) f.firstByteDelayMs = s.delayMs;
  if (s.gapMs > 0) f.interByteGapMs = s.gapMs;
  if (s.noise > 0) f.noiseBytes = s.noise;
  if (s.late) device.SetFault(Fault::Late);
  if (s.wrongType) device.SetFault(Fault::WrongType);
  if (s.wrongFirmware >= 0) f.firmware = s.wrongFirmware;
  if (s.wrongMode) device.SetFault(Fault::WrongMode);
  if (s.rejectGroups) f.rejectGroups = s.rejectGroups;
  f.programmingEndsBeforeCommit = s.commitFault == "ends-programming";
  f.commitKeepsOldSet = s.commitFault == "keeps-old-set";
  f.progCommandAnswersLost = s.lostCommandAnswers;
  f.silentAfterCommit = s.silentAfterCommit;
  f.silentLogFrom = s.silentLogFrom;
  f.deviceBitAfterCommit = s.deviceBitAfterCommit;
  device.WithModel([&](kvn::devsim::DeviceModel& m) {
    if (!s.tag.isNull()) m.SetWorkingText(kvn::reg::TagNumber, 8, s.tag.toStdString());
    m.SetErrors(s.errors);
    m.SetRemoteTestInput(s.remoteTest);
    m.ForceSpeed(s.speed);
  });
}

void MakeLink(const QString& link, const std::string& target) {
  namespace fs = std::filesystem;
  const fs::path path = link.toStdString();
  std::error_code ec;
  if (fs::exists(fs::symlink_status(path, ec)) && !fs::is_symlink(fs::symlink_status(path, ec)))
    Fail(QStringLiteral("%1 exists and is not a link; not replacing it").arg(link));
  fs::remove(path, ec);
  fs::create_directories(path.parent_path(), ec);
  fs::create_symlink(target, path, ec);
  if (ec) Fail(QStringLiteral("cannot create link %1: %2").arg(link, QString::fromStdString(ec.message())));
}

void RemoveLink(const QString& link, const std::string& target) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path path = link.toStdString();
  if (fs::is_symlink(fs::symlink_status(path, ec)) && fs::read_symlink(path, ec) == target) fs::remove(path, ec);
}

void PrintRequest(const kvn::devsim::RecordedRequest& r, bool answered) {
  std::printf("request: address %d, function %d, registers %d..%d%s\n", r.address, r.function, r.start,
              r.start + r.count - 1, answered ? "" : " (no answer)");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("korvane-sim");
  const Settings settings = Parse(app);

  // The signals are taken by sigwait below; blocked before the simulator thread starts so that
  // it inherits the mask and never receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  kvn::devsim::RequestObserver observer;
  if (settings.verbose) observer = PrintRequest;
  kvn::devsim::PtyDevice device(settings.sim, observer);
  ApplyFaults(settings, device);
  if (!settings.link.isEmpty()) MakeLink(settings.link, device.SlavePath());

  const auto& m = settings.sim.model;
  // The firmware it reports, a --wrong-firmware included.
  const int firmware = settings.wrongFirmware >= 0 ? settings.wrongFirmware : m.identity.firmware;
  for (int i = 0; i < settings.sim.units; ++i) {
    const kvn::devsim::ModelOptions unit = kvn::devsim::UnitOptions(m, i);
    std::printf("korvane-sim: %sdevice type %d, firmware %d.%02d, serial %s\n",
                settings.sim.units > 1 ? qPrintable(QStringLiteral("address %1: ").arg(unit.line.address)) : "",
                settings.wrongType ? 2200 : unit.identity.deviceType, firmware / 100, firmware % 100,
                unit.identity.serialNumber.c_str());
  }
  std::printf("korvane-sim: listening on %s", device.SlavePath().c_str());
  if (!settings.link.isEmpty()) std::printf(" (link %s)", qPrintable(settings.link));
  if (m.usb)
    std::printf(", USB: 115200 baud, address 1\n");
  else
    std::printf(", RS-485: address %d, %d baud, parity %s%s\n", m.line.address, kLineRates[m.line.baudIndex],
                m.line.parityChoice == 0 ? "none" : m.line.parityChoice == 1 ? "even" : "odd",
                settings.sim.pacing.baud > 0 ? "" : " (answers not paced)");
  std::printf("korvane-sim: admin password \"%s\"; Ctrl+C ends\n", m.adminPassword.c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  device.Stop();
  if (!settings.link.isEmpty()) RemoveLink(settings.link, device.SlavePath());
  std::printf("korvane-sim: stopped\n");
  return 0;
}

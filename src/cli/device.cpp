#include "cli/device.h"
#include "cli/interrupt.h"
#include "cli/terminal.h"

#include <QDir>

#include "device_link/port_state.h"
#include "operations/device_poll.h"
#include "operations/poll_state.h"
#include "platform/platform.h"
#include "texts/language_pack.h"
#include "texts/program_settings.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Device)

constexpr int kAcceptingPolls = 3;

enum Msg {
  kMsgUnknownDevice = 63,
  kMsgVersion = 64,
  kMsgModeMismatch = 83,
};

}  // namespace

QString Device::OpenRefusalText(PortState state, const QString& port) {
  switch (state) {
    case PortState::NoPermission:
      return Tr("%1: permission denied: add the user to the dialout group and log in again").arg(port);
    case PortState::InUse: return Tr("%1 is in use by another program").arg(port);
    case PortState::Absent: return Tr("%1 does not exist").arg(port);
    default: return Tr("%1 cannot be opened as a serial port").arg(port);
  }
}

namespace {
// The window's settings as far as they reach a device: its off-line flag, its set loaded and
// its level shown are the window's own state, never a command's.
LocSetupRec OnTheDevice(LocSetupRec settings) {
  settings.offline_mode = 0;
  settings.setup_loaded = false;
  settings.last_acc_lvl = -2;
  return settings;
}
}  // namespace

CommandPause::CommandPause() {
  bool ok = false;
  const int divisor = qEnvironmentVariableIntValue("KORVANE_TEST_PAUSE_DIVISOR", &ok);
  if (ok && divisor >= 2 && divisor <= 1000) divisor_ = divisor;
}

void CommandPause::Wait(int milliseconds) { Pause::Wait(milliseconds / divisor_); }

Device::Device(const LocSetupRec& s, const QString& workDirectory)
    : settings(OnTheDevice(s)),
      ports(workDirectory + QStringLiteral("/ports")),
      link(settings, ports, pause),
      master(link, texts, prompts),
      blocks(master, *images, settings) {
  texts.FillFromDefaults();
  // The window's language pack, where the window finds it (the working directory): both
  // programs then name parameters, pages and events alike. A refused pack leaves the table's
  // own texts, as the window's start-up does.
  StartupErrors ignored;
  LoadLanguagePack(QDir::currentPath(), texts, ignored);
}

QString Device::PortPathProblem(const QString& path) {
  switch (platform::KindOfNode(path)) {
    case platform::NodeKind::Missing: return Tr("%1 does not exist").arg(path);
    case platform::NodeKind::CharacterDevice: return {};
    case platform::NodeKind::RegularFile: return Tr("%1 is a regular file, not a serial port").arg(path);
    case platform::NodeKind::Directory: return Tr("%1 is a folder, not a serial port").arg(path);
    case platform::NodeKind::Fifo: return Tr("%1 is a FIFO, not a serial port").arg(path);
    case platform::NodeKind::Other: break;
  }
  return Tr("%1 is not a serial port").arg(path);
}

void KeptPrompts::ShowError(const QString& text) {
  last_ = text;
  if (told) told(text);
}

void KeptPrompts::ShowInfo(const QString& text) { ShowError(text); }

bool KeptPrompts::ConfirmOkCancel(const QString& text, DefaultButton preferred) {
  // A question whose default is Cancel risks what the engineer must read: --yes never answers it.
  if (answers_.yes && preferred == DefaultButton::Ok) return true;
  return answers_.terminal && AskOnTerminal(text);
}

QString MessageText(const Device& device, int n) { return device.texts.GetMessageText(n); }

Device::Failure Device::Open() {
  const QString& name = settings.com_num;
  if (name.isEmpty())
    return {ExitCode::NoDevice, Tr("no port: give --port, or choose one in the window's interface settings")};
  if (!ports.NetworkAddress(name).isEmpty()) {
    if (link.Open()) return {};
    return {ExitCode::NoDevice, Tr("%1: %2").arg(name, link.NetworkError())};
  }
  const QString path = ports.Resolve(name);
  if (path.isEmpty()) return {ExitCode::NoDevice, Tr("%1 stands for no device").arg(name)};
  const QString problem = PortPathProblem(path);
  if (!problem.isEmpty()) return {ExitCode::NoDevice, problem};
  if (!link.Open()) {
    if (link.IsOpen()) return {ExitCode::NoDevice, Tr("%1 takes no serial line settings").arg(name)};
    return {ExitCode::NoDevice, OpenRefusalText(link.OpenRefusal(), name)};
  }
  return {};
}

Device::Failure Device::Identify() {
  const auto silent = [&] {
    return Failure{ExitCode::NoDevice,
                   settings.usb ? Tr("the device on %1 does not answer").arg(settings.com_num)
                                : Tr("the device on %1 does not answer (address %2, %3 baud)")
                                      .arg(settings.com_num)
                                      .arg(settings.addr)
                                      .arg(BaudOfIndex(settings.baud))};
  };
  // The window polls on: one spoiled or late answer costs it a poll, not the device. So does
  // the command line, a few polls at most, before it calls the device silent.
  PollState poll;
  for (int attempt = 0; attempt < kAcceptingPolls; ++attempt) {
    poll = PollState{};
    PollDeviceOnce(link, blocks, *images, poll);
    if (poll.LinkOk || poll.DeviceState != DeviceState::Accepted || Interrupted()) break;
  }
  switch (poll.DeviceState) {
    case DeviceState::UnknownDevice: return {ExitCode::WrongDevice, MessageText(*this, kMsgUnknownDevice)};
    case DeviceState::VersionIncompatible: return {ExitCode::WrongDevice, MessageText(*this, kMsgVersion)};
    case DeviceState::ModeMismatch: return {ExitCode::WrongDevice, MessageText(*this, kMsgModeMismatch)};
    case DeviceState::Accepted: break;
  }
  if (!poll.LinkOk && link.OnNetwork() && !link.IsOpen())
    return {ExitCode::NoDevice, Tr("%1: the connection to the serial server ended: %2").arg(settings.com_num, link.NetworkError())};
  if (!poll.LinkOk) return silent();
  return {};
}

}  // namespace kvn::cli

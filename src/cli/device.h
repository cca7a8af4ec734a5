#pragma once
#include <QString>
#include <functional>
#include <memory>

#include "cli/exit_codes.h"
#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/port_state.h"
#include "device_link/register_image.h"
#include "device_link/serial_link.h"
#include "texts/console_prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"

namespace kvn::cli {

// The core's messages (a failed event-log read says why through the prompts), kept for the
// command's error line instead of a box, and told at once where a command wants them.
// Questions are answered as a user who backs out would, unless the command allows more: its
// --yes answers those whose default is OK, and a terminal is asked the rest (y/N).
class KeptPrompts : public ConsolePrompts {
 public:
  struct Answers {
    bool yes = false;
    bool terminal = false;
  };
  void ShowError(const QString& text) override;
  void ShowInfo(const QString& text) override;
  bool ConfirmOkCancel(const QString& text, DefaultButton preferred = DefaultButton::Ok) override;
  const QString& LastText() const { return last_; }
  // A question will be put to the person at the terminal (not answered by --yes).
  bool AsksTerminal() const { return answers_.terminal && !answers_.yes; }

  void SetAnswers(Answers answers) { answers_ = answers; }
  std::function<void(const QString&)> told;  // every message, as it is shown

 private:
  QString last_;
  Answers answers_;
};

// The protocol's fixed waits (after a write, after a command). The test suite and the benchmarks
// run hundreds of sessions against the simulator, which needs none of them: they divide the
// waits by KORVANE_TEST_PAUSE_DIVISOR (2 to 1000). Without it a device gets every millisecond.
class CommandPause : public Pause {
 public:
  CommandPause();
  void Wait(int milliseconds) override;

 private:
  int divisor_ = 1;
};

// The link to the device as the window builds it (one serial link, Modbus master and block
// transfer over the three register images), without a window.
class Device {
 public:
  Device(const LocSetupRec& setup, const QString& workDirectory);
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  // What stopped a step: the exit status and the message for the user.
  struct Failure {
    ExitCode code = ExitCode::Done;
    QString message;
    bool Failed() const { return code != ExitCode::Done; }
  };

  // Opens the port: only a terminal device (checked before anything is opened, so a FIFO or a
  // file never blocks), exclusively, with the line settings applied.
  Failure Open();
  // One poll of the device as the window's, which judges it: a device of another type or
  // firmware, or in another mode, is refused with the window's texts.
  Failure Identify();

  // Why a path cannot serve as a serial port before anything opens it; empty when it may be
  // one (a character device). A missing path, a regular file, a folder, a FIFO or a socket.
  static QString PortPathProblem(const QString& path);

  LocSetupRec settings;  // off-line never: a command is always on the device
  Texts texts;
  PortMap ports;
  CommandPause pause;
  KeptPrompts prompts;
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  SerialLink link;
  ModbusMaster master;
  BlockTransfer blocks;

 private:
  static QString OpenRefusalText(PortState state, const QString& port);
};

// The text of message n of the text table.
QString MessageText(const Device& device, int n);

}  // namespace kvn::cli

#include "operations/connection.h"

#include <QDateTime>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "device_link/block_transfer.h"
#include "device_link/serial_link.h"
#include "operations/device_reading.h"
#include "operations/device_transaction.h"
#include "operations/unit_records.h"
#include "parameters/parameter_view.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "texts/tr_context.h"

namespace kvn {
namespace {

KVN_TR_CONTEXT(kvn::Connection)

// Message numbers of the texts and questions used here.
enum Msg {
  kMsgNotConnectedHw = 7,
  kMsgReadFailure = 8,
  kMsgParametersRead = 20,
  kMsgDiffers = 76,
  kMsgSame = 77,
  kMsgSameButPassword = 78,
};

const char* ParityName(int parity) {
  switch (parity) {
    case 1: return "odd";
    case 2: return "even";
    default: return "none";
  }
}

}  // namespace

QString InterfaceLabelText(const InterfaceSettings& settings) {
  if (settings.usb) return settings.com_num + QStringLiteral(" (USB)");
  // The parity names are fixed words, not texts of the table.
  return QStringLiteral("%1; %2; %3")
      .arg(settings.com_num)
      .arg(BaudOfIndex(settings.baud))
      .arg(QLatin1String(ParityName(settings.parity)));
}

void Connection::Connect() {
  const bool open = s_.link.Open();
  if (s_.show_interface) s_.show_interface(open);
}

void Connection::UpdateModeDisplay() {
  if (s_.update_mode_display) s_.update_mode_display();
}

bool Connection::ReadsPasswordBlock() const { return SetIncludesPassword(s_.images.EditImage, s_.setup); }

ReadOutcome Connection::ReadDeviceSettings() {
  if (!s_.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Edit)) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgNotConnectedHw));
    return ReadOutcome::Failed;
  }
  s_.form.ClearPassword();
  const bool withPassword = ReadsPasswordBlock();
  if (!ReadParameterBlocks(s_.blocks, withPassword)) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgReadFailure));
    s_.form.ClearControls();
    return ReadOutcome::Failed;
  }
  const bool same = !s_.setup.setup_loaded || ParameterBlocksEqual(s_.images.EditImage, s_.images.DeviceImage, withPassword);
  if (!same) {
    if (!s_.prompts.ConfirmOkCancel(s_.texts.GetMessageText(kMsgDiffers))) return ReadOutcome::Declined;
  } else if (s_.setup.setup_loaded) {
    const bool admin = Cell(s_.images.EditImage, reg::AccessLevel) > 0;
    s_.prompts.ShowInfo(s_.texts.GetMessageText(admin ? kMsgSame : kMsgSameButPassword));
    return ReadOutcome::Unchanged;
  }
  AdoptParameterBlocks(s_.blocks, s_.images, withPassword);
  s_.form.FillControls();
  return ReadOutcome::Adopted;
}

void Connection::Record() {
  const RegisterImage& identification = s_.images.EditImage;
  // A unit in programming mode answers with writes never committed: not the set it runs.
  if (s_.workDirectory.isEmpty() || InProgrammingMode(identification)) return;
  auto set = std::make_unique<RegisterImage>(s_.images.DeviceImage);
  const BlockDescriptor& id = Block(BlockId::Identification);
  std::copy_n(identification.begin() + id.start, id.count, set->begin() + id.start);
  const QString error = RecordReadSet(s_.workDirectory, *set, QDateTime::currentDateTime());
  if (!error.isEmpty()) s_.prompts.ShowError(Tr("The records could not be written:\r\n%1").arg(error));
}

ReadOutcome Connection::RereadDeviceSettings() {
  const ReadOutcome outcome = ReadDeviceSettings();
  if (outcome == ReadOutcome::Adopted) {
    s_.setup.setup_loaded = true;
    UpdateModeDisplay();
  }
  return outcome;
}

void Connection::cmd_read_paramClick() {
  const PollTimerStopped noPoll(s_.timer);
  // A session's own read-back is recorded with its outcome; this read is one of its own,
  // whether the window takes its set or not.
  const ReadOutcome outcome = ReadDeviceSettings();
  if (outcome != ReadOutcome::Failed) Record();
  if (outcome != ReadOutcome::Adopted) return;
  s_.prompts.ShowInfo(s_.texts.GetMessageText(kMsgParametersRead));
  s_.setup.setup_loaded = true;
  UpdateModeDisplay();
}

void Connection::chk_off_lineClick(bool ticked) {
  s_.setup.offline_mode = ticked ? 1 : 0;
  if (ticked) s_.form.ClearPassword();
  UpdateModeDisplay();
}

}  // namespace kvn

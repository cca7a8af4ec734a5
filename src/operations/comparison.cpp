#include "operations/comparison.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#include "operations/configuration_file.h"
#include "device_link/block_table.h"
#include "operations/device_backup.h"
#include "operations/device_reading.h"
#include "operations/device_transaction.h"
#include "operations/set_comparison.h"
#include "texts/prompts.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "texts/tr_context.h"

namespace kvn {

namespace {

constexpr int kMsgNotConnected = 7;  // "Device not connected. Check hardware and ..."
constexpr int kMsgReadFailure = 8;   // "Parameter read failure. Check hardware"
constexpr int kMsgSetNotValid = 53;  // "Current configuration set is not valid."

KVN_TR_CONTEXT(kvn::Comparison)

}  // namespace

std::optional<std::vector<ParameterDifference>> Comparison::WindowAgainstDevice() {
  auto scratch = std::make_unique<RegisterImage>();
  if (!ReadStoredBlocks(s_.blocks, *scratch, false)) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgReadFailure));
    return std::nullopt;
  }
  return WindowAgainst(*scratch);
}

std::vector<ParameterDifference> Comparison::WindowAgainst(const RegisterImage& deviceSet) const {
  return SetDifferences(s_.images.EditImage, deviceSet, s_.texts, s_.format);
}

QString ProgrammingModeReadNote() {
  return Tr("The device is in programming mode: it answers with written values that are not committed, not "
            "with the set it runs. Finish the session or abort programming mode to compare with that set.");
}

ComparisonView Comparison::DeviceView(std::vector<ParameterDifference> differences) const {
  return {Tr("Compare with device"), Tr("Device"), std::move(differences),
          Tr("No differences: the window and the device hold the same settings."), {}};
}

bool Comparison::WindowHoldsASet() {
  if (s_.setup.setup_loaded) return true;
  s_.prompts.ShowError(s_.texts.GetMessageText(kMsgSetNotValid));
  return false;
}

void Comparison::men_file_cmp_devClick() {
  if (!WindowHoldsASet()) return;
  if (s_.setup.offline_mode != 0 || !s_.poll.LinkOk) {
    s_.prompts.ShowError(s_.texts.GetMessageText(kMsgNotConnected));
    return;
  }
  std::optional<std::vector<ParameterDifference>> differences;
  {
    PollTimerStopped stopped(s_.timer);
    Hourglass hourglass;
    differences = WindowAgainstDevice();
  }
  if (!differences) return;
  ComparisonView view = DeviceView(std::move(*differences));
  if (InProgrammingMode(s_.images.DeviceImage)) {
    view.note = ProgrammingModeReadNote();
    view.identical = view.note + QStringLiteral("\r\n\r\n") + view.identical;
  }
  s_.show(view);
}

void Comparison::men_file_cmp_fileClick() {
  if (!WindowHoldsASet()) return;
  // A title of its own: the load's would promise to replace the window's set.
  const QString path = s_.files.AskLoadFileName(Tr("Compare with Config File"));
  if (path.isEmpty()) return;
  auto scratch = std::make_unique<RegisterImage>();
  if (!s_.files.ReadInto(path, *scratch)) return;
  s_.show({Tr("Compare with file %1").arg(QFileInfo(path).fileName()), Tr("File"),
           SetDifferences(s_.images.EditImage, *scratch, s_.texts, s_.format),
           Tr("No differences: the window and the file hold the same settings."), {}});
}

}  // namespace kvn

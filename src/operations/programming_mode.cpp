#include "operations/programming_mode.h"

#include <algorithm>

#include "device_link/block_transfer.h"
#include "device_link/modbus_master.h"
#include "operations/admin_login.h"
#include "operations/device_reading.h"
#include "operations/set_comparison.h"
#include "texts/setup_record.h"

namespace kvn {

bool SendProgCommand(ModbusMaster& master, RegisterImages& images, const InterfaceSettings& settings, int value) {
  RegisterImage& edit = images.EditImage;
  edit[reg::ProgCommand] = value;
  return master.WriteWithRetry(settings.addr, reg::ProgCommand, {edit.data() + reg::ProgCommand, 1});
}

ModeRead ReadMode(BlockTransfer& blocks, const RegisterImages& images) {
  if (!blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Device)) return ModeRead::NoAnswer;
  return InProgrammingMode(images.DeviceImage) ? ModeRead::In : ModeRead::Out;
}

ModeRead EnterProgrammingMode(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images,
                              const InterfaceSettings& settings) {
  SendProgCommand(master, images, settings, cmd::EnterProgramming);
  return ReadMode(blocks, images);
}

ModeRead LeaveProgrammingMode(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images,
                              const InterfaceSettings& settings) {
  ModeRead mode = ModeRead::In;
  // A command lost on the line is sent once more: a unit left in programming mode holds its
  // machine in the safe state until someone walks up to it.
  for (int attempt = 0; attempt < 2 && mode != ModeRead::Out; ++attempt) {
    SendProgCommand(master, images, settings, cmd::LeaveProgramming);
    mode = ReadMode(blocks, images);
  }
  return mode;
}

LevelRead EndAdminLogin(ModbusMaster& master, BlockTransfer& blocks, RegisterImages& images,
                        const InterfaceSettings& settings) {
  LogOut(master, images, settings);
  if (!blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Device)) return LevelRead::NoAnswer;
  return Cell(images.DeviceImage, reg::AccessLevel) > 0 ? LevelRead::Admin : LevelRead::User;
}

namespace {

bool BlocksEqual(const RegisterImage& a, const RegisterImage& b, const std::vector<BlockDescriptor>& blocks) {
  return std::all_of(blocks.begin(), blocks.end(), [&](const BlockDescriptor& block) { return BlockEquals(a, b, block); });
}

// `base` with the given blocks of `over` laid on it: a whole set whose other blocks never differ.
std::unique_ptr<RegisterImage> Overlaid(const RegisterImage& base, const RegisterImage& over,
                                        const std::vector<BlockDescriptor>& blocks) {
  auto image = std::make_unique<RegisterImage>(base);
  for (const BlockDescriptor& b : blocks)
    std::copy(over.begin() + b.start, over.begin() + b.start + b.count, image->begin() + b.start);
  return image;
}

QStringList Names(const std::vector<ParameterDifference>& rows) {
  QStringList names;
  for (const ParameterDifference& row : rows) names << row.name;
  return names;
}

}  // namespace

SetJudgement JudgeSetInForce(const RegisterImage& readBack, const RegisterImage& written, const RegisterImage* backup,
                             const std::vector<BlockDescriptor>& blocks, const Texts& texts, const NumberFormat& format) {
  SetJudgement judgement;
  const bool previous = backup && BlocksEqual(readBack, *backup, blocks);
  if (BlocksEqual(readBack, written, blocks)) {
    judgement.verdict = SetVerdict::New;
    judgement.alsoPrevious = previous;
    return judgement;
  }
  if (previous) {
    judgement.verdict = SetVerdict::Previous;
    return judgement;
  }
  const auto held = Overlaid(written, readBack, blocks);
  QStringList differing = Names(SetDifferences(written, *held, texts, format));
  if (backup) {
    const QStringList fromBackup = Names(SetDifferences(*Overlaid(written, *backup, blocks), *held, texts, format));
    differing.erase(std::remove_if(differing.begin(), differing.end(),
                                   [&](const QString& name) { return !fromBackup.contains(name); }),
                    differing.end());
  }
  judgement.differing = differing;
  return judgement;
}

}  // namespace kvn

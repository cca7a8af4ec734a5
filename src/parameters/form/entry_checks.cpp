#include "parameters/form/entry_checks.h"

#include <bit>
#include <cmath>

#include "texts/prompts.h"
#include "texts/texts.h"

namespace kvn {

namespace {

bool InIntRange(int64_t v, int64_t lower, int64_t upper) {
  return (lower == 0 && upper == 0) || (lower <= v && v <= upper);
}

bool InFloatRange(float x, float lower, float upper) {
  return (lower == 0.0f && upper == 0.0f) || (lower <= x && x <= upper);
}

}  // namespace

EntryChecks::EntryChecks(RegisterImages& images, const Codec& codec, const Texts& texts,
                         Prompts& prompts, const FormState& state)
    : edit_(images.EditImage), codec_(codec), texts_(texts), prompts_(prompts), state_(state) {}

QString EntryChecks::TooLongText(int maxLength) const {
  return texts_.GetMessageText(entry_msg::TooLong) + QString::number(maxLength) +
         texts_.GetMessageText(entry_msg::TooLongEnd);
}

void EntryChecks::ShowOutOfRange(const QString& rangeText) {
  prompts_.ShowError(texts_.GetMessageText(entry_msg::OutOfRange) + rangeText);
}

EntryResult EntryChecks::AcceptInt16(const QString& text, int reg, int decimals, int64_t lower,
                                     int64_t upper) {
  const ScaledValue parsed = codec_.ParseScaled(text, decimals);
  if (!parsed.ok) {
    prompts_.ShowError(texts_.GetMessageText(entry_msg::NotANumber));
    return Rejected();
  }
  if (!InIntRange(parsed.value, lower, upper)) {
    ShowOutOfRange(IntRangeText(codec_, {lower, upper, false}, decimals));
    return Rejected();
  }
  const auto stored = static_cast<int32_t>(parsed.value);
  edit_[static_cast<size_t>(reg)] = stored;
  return {codec_.FormatScaled(stored, decimals), true};
}

EntryResult EntryChecks::AcceptInt32(const QString& text, int reg, int decimals, int64_t lower,
                                     int64_t upper, bool zeroAllowed) {
  const ScaledValue parsed = codec_.ParseScaled(text, decimals);
  if (!parsed.ok) {
    prompts_.ShowError(texts_.GetMessageText(entry_msg::NotANumber));
    return Rejected();
  }
  if (zeroAllowed && parsed.value == 0) lower = 0;
  if (!InIntRange(parsed.value, lower, upper)) {
    ShowOutOfRange(IntRangeText(codec_, {lower, upper, false}, decimals));
    return Rejected();
  }
  WriteInt32(edit_, reg, static_cast<int32_t>(parsed.value));
  return {codec_.FormatScaled(ReadInt32(edit_, reg), decimals), true};
}

EntryResult EntryChecks::AcceptFloat(const QString& text, int reg, int mode, float lower,
                                     float upper) {
  const std::optional<float> parsed = codec_.ParseFloat(text);
  if (!parsed) {
    prompts_.ShowError(texts_.GetMessageText(entry_msg::NotANumber));
    return Rejected();
  }
  if (!InFloatRange(*parsed, lower, upper)) {
    ShowOutOfRange(FloatRangeText(codec_, {lower, upper}, mode));
    return Rejected();
  }
  WriteInt32(edit_, reg, std::bit_cast<int32_t>(*parsed));
  return {codec_.FormatFloat(*parsed, mode), true};
}

bool EntryChecks::RecheckRange(int rowNumber) {
  if (rowNumber < 1 || rowNumber > kParameterRows) return true;
  const std::optional<QString> range = OutsideRangeText(ParameterRow(rowNumber), codec_);
  if (range) ShowOutOfRange(*range);
  return !range;
}

}  // namespace kvn

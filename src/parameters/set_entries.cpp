#include "parameters/set_entries.h"

#include "parameters/field_kinds.h"
#include "parameters/parameter_pages.h"
#include "parameters/parameter_table.h"
#include "parameters/range_text.h"
#include "texts/texts.h"

namespace kvn {
namespace {

enum Msg {
  kMsgOutOfRange = 5,  // followed by "lower ... upper"
  kMsgIncomplete = 28,
};

// The device's own list of a drop-down, as its page is built: a language pack may add items,
// never values the device knows.
int DeviceChoices(const ParameterDescriptor& row) {
  const auto place = pages::PlaceOfControl(row.name);
  if (!place) return 0;
  return static_cast<int>(QLatin1StringView(place->control->text).count(QLatin1Char('|'))) + 1;
}

bool ChoiceKnown(const ParameterDescriptor& row, const FieldKind& kind, const Codec& codec) {
  const int index = kind.show(ShowContext{codec, codec.Edit(), 0}, row).index;
  return index >= 0 && index < DeviceChoices(row);
}

}  // namespace

std::optional<EntryProblem> FirstEntryProblem(const BlockDescriptor& block, const Codec& codec, const Texts& texts) {
  for (int n = 1; n <= kParameterRows; ++n) {
    const ParameterDescriptor& row = ParameterRow(n);
    if (row.blockId != block.id) continue;
    const FieldKind* kind = KindOf(row.fieldType);
    if (kind && kind->control == ControlKind::ComboBox && !ChoiceKnown(row, *kind, codec))
      return EntryProblem{n, texts.GetMessageText(kMsgIncomplete)};
    if (const std::optional<QString> range = OutsideRangeText(row, codec))
      return EntryProblem{n, texts.GetMessageText(kMsgOutOfRange) + *range};
  }
  return std::nullopt;
}

}  // namespace kvn

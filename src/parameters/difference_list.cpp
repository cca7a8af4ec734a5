#include "parameters/difference_list.h"

#include "parameters/field_kinds.h"
#include "parameters/parameter_table.h"

namespace kvn {

std::vector<ParameterDifference> DifferenceList(const RegisterImage& left,
                                                const RegisterImage& right, const Texts& texts,
                                                const NumberFormat& format) {
  std::vector<ParameterDifference> differences;
  for (int n = 1; n <= kParameterRows; ++n) {
    const ParameterDescriptor& row = ParameterRow(n);
    const FieldKind* kind = KindOf(row.fieldType);
    if (kind == nullptr || kind->derived) continue;
    // The states first: texts, units and items are looked up only where the states differ.
    const FieldShown shownLeft = kind->show(ShowContext{format, left, 0}, row);
    const FieldShown shownRight = kind->show(ShowContext{format, right, 0}, row);
    if (SameShown(*kind, shownLeft, shownRight)) continue;
    const QString unit = UnitOf(texts, row);
    QString a = ShownText(texts, *kind, shownLeft, row, unit);
    QString b = ShownText(texts, *kind, shownRight, row, unit);
    // A changed password shows masked on both sides: its states have told it apart.
    if (a == b && row.fieldType != FieldType::Password) continue;
    differences.push_back({n, PageCaptionOf(texts, row), CaptionOf(texts, row), std::move(a), std::move(b)});
  }
  return differences;
}

}  // namespace kvn

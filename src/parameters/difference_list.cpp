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
    QString a = ShownText(texts, format, left, row);
    QString b = ShownText(texts, format, right, row);
    if (a == b) continue;
    differences.push_back({n, PageCaptionOf(texts, row), CaptionOf(texts, row), std::move(a), std::move(b)});
  }
  return differences;
}

}  // namespace kvn

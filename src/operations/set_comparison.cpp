#include "operations/set_comparison.h"

#include <algorithm>
#include <memory>

#include "device_link/block_table.h"

namespace kvn {

std::vector<ParameterDifference> SetDifferences(const RegisterImage& edit, const RegisterImage& other,
                                                const Texts& texts, const NumberFormat& format) {
  auto withEditPassword = std::make_unique<RegisterImage>(other);
  const BlockDescriptor& b = Block(BlockId::Password);
  std::copy_n(edit.begin() + b.start, b.count, withEditPassword->begin() + b.start);
  return DifferenceList(edit, *withEditPassword, texts, format);
}

}  // namespace kvn

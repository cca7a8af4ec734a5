#pragma once
#include <QString>
#include <vector>

#include "device_link/register_image.h"

namespace kvn {

class NumberFormat;
class Texts;

// One parameter whose shown value differs between two parameter sets.
struct ParameterDifference {
  int row = 0;       // ParameterTable row 1..155
  QString page;      // caption of the page that shows it
  QString caption;   // as its accessible name gives it: "Overspeed limit, Relay 1"
  QString left;      // shown text in the first set
  QString right;     // shown text in the second set
};

// The parameters of the table, in table order, whose shown texts differ between left and
// right. Block CRCs and the derived values are no settings of their own and stay out; so do
// the relay words' bit 5, which every load clears (no row shows it).
std::vector<ParameterDifference> DifferenceList(const RegisterImage& left,
                                                const RegisterImage& right, const Texts& texts,
                                                const NumberFormat& format);

}  // namespace kvn

#pragma once
#include <vector>

#include "device_link/register_image.h"
#include "parameters/difference_list.h"

namespace kvn {

class NumberFormat;
class Texts;

// The parameters in which `other` (a device's set read into a scratch image, or a file's)
// differs from `edit`, the set a save or a write starts from. The password is left out of
// comparisons: a file never holds it, the device gives it to an admin only, and the window's
// field stays empty until a new one is typed; the other set takes edit's, so that it never
// differs. Both front ends list exactly these rows.
std::vector<ParameterDifference> SetDifferences(const RegisterImage& edit, const RegisterImage& other,
                                                const Texts& texts, const NumberFormat& format);

}  // namespace kvn

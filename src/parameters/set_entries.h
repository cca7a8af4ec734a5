#pragma once
#include <QString>
#include <optional>

#include "device_link/block_table.h"

namespace kvn {

class Codec;
class Texts;

// A value of a set that its page would not have let the engineer enter.
struct EntryProblem {
  int row = 0;      // ParameterTable row 1..155
  QString message;  // the message the page shows for it
};

// The first parameter of the block whose value in EditImage could not have been entered on its
// page: a choice beyond the device's own list ("Parameter settings not complete.", as the page
// shows a selection it cannot show), or a number outside its current limits (the out-of-range
// message with the range). The limits come from EditImage, so the device's factory blocks must
// be there. A set that never passed through the pages (a file) is held to the same rules.
std::optional<EntryProblem> FirstEntryProblem(const BlockDescriptor& block, const Codec& codec, const Texts& texts);

}  // namespace kvn

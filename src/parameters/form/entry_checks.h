#pragma once
#include <QString>
#include <cstdint>

#include "device_link/register_image.h"
#include "parameters/parameter_table.h"
#include "parameters/range_text.h"
#include "parameters/value_codec.h"

namespace kvn {

class Prompts;
class Texts;

// State shared by all bound edit fields of the window.
struct FormState {
  bool FillInProgress = false;  // set while FillControls runs: change handlers do nothing
  QString TextOnEntry;          // text of the edit field when it was entered
};

// Result of checking one entry: the text the field shows afterwards and whether the value
// reached EditImage.
struct EntryResult {
  QString text;
  bool accepted = false;
};

// Message numbers of the entry checks.
namespace entry_msg {
inline constexpr int TooLong = 3;       // followed by the maximum length
inline constexpr int TooLongEnd = 4;    // ends message 3
inline constexpr int OutOfRange = 5;    // followed by "lower ... upper"
inline constexpr int NotANumber = 6;
}  // namespace entry_msg

// Parses, range-checks and stores typed values into EditImage, and re-checks stored values.
// A rejected entry shows its message, leaves EditImage unchanged and gives back TextOnEntry.
class EntryChecks {
 public:
  EntryChecks(RegisterImages& images, const Codec& codec, const Texts& texts, Prompts& prompts,
              const FormState& state);

  EntryResult AcceptInt16(const QString& text, int reg, int decimals, int64_t lower,
                          int64_t upper);
  EntryResult AcceptInt32(const QString& text, int reg, int decimals, int64_t lower,
                          int64_t upper, bool zeroAllowed);
  EntryResult AcceptFloat(const QString& text, int reg, int mode, float lower, float upper);

  // The stored value of row 1..155 against its current limits; shows message 5 with the range
  // on failure. Rows that are not numeric pass. A stored 0 in the DynamicOrZero row passes,
  // as it did when it was entered.
  bool RecheckRange(int rowNumber);

  // Message 3, the length and message 4 as one text.
  QString TooLongText(int maxLength) const;

 private:
  void ShowOutOfRange(const QString& rangeText);
  EntryResult Rejected() const { return {state_.TextOnEntry, false}; }

  RegisterImage& edit_;
  const Codec& codec_;
  const Texts& texts_;
  Prompts& prompts_;
  const FormState& state_;
};

}  // namespace kvn

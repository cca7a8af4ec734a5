#pragma once
#include <QString>
#include <vector>

#include "device_link/register_image.h"

namespace kvn {

class NumberFormat;
struct ParameterDescriptor;
struct BlockDescriptor;
class Texts;

// One parameter, or one register no parameter shows, that differs between two sets.
struct ParameterDifference {
  int row = 0;       // ParameterTable row 1..155; 0 for a register that no row shows
  int reg = 0;       // that register (row 0 only)
  QString page;      // caption of the page that shows it
  QString caption;   // as its accessible name gives it: "Overspeed limit, Relay 1"
  // The name every list gives it, unique among the parameters: the caption, with its section
  // where another row's caption reads the same ("Device comment (Configuration - admin)");
  // "Register 3008" for a register no row shows.
  QString name;
  QString left;      // shown text in the first set
  QString right;     // shown text in the second set
  // The registers differ while both sides show the same text: the difference lies below the
  // shown precision (or in padding the text does not show). The raw values then tell it.
  bool belowShown = false;
  QString leftRaw;   // the differing registers' raw values, "5556=0x0083"; empty when the
  QString rightRaw;  // shown texts tell the difference (and always for the password block)
};

// The differences between left and right, decided on the registers, never on the shown texts:
// every register of the stored blocks and of the rows' own blocks is compared on its low 16
// bits. The rows come in table order, then the registers of the stored blocks that no row shows
// by their number. Rows computed from others stay out, and so do the bits the device owns (bit
// 5 of the relay words, which every load clears). Empty means the blocks are equal.
std::vector<ParameterDifference> DifferenceList(const RegisterImage& left,
                                                const RegisterImage& right, const Texts& texts,
                                                const NumberFormat& format);

// What every list shows of one side: the shown text, and the raw values in brackets when the
// shown texts do not tell the two sides apart.
QString LeftText(const ParameterDifference& d);
QString RightText(const ParameterDifference& d);
// The note of a difference below the shown precision: "differs below the shown precision".
QString BelowShownNote();
// The difference as one line of a record: "name: left → right", and for a difference below
// the shown precision the note with both raw values.
QString DifferenceLine(const ParameterDifference& d);

// --- One set on its own, for a record that must change with every register ---

// Whether the row's shown text stays the same when one of its own register bits changes: its
// text then cannot stand for its registers alone (a float below the shown decimals).
bool TextHidesRegisters(const Texts& texts, const NumberFormat& format, const RegisterImage& image,
                        const ParameterDescriptor& row);
// The row's registers as the difference list gives raw values: "5556=0x0083, 5557=0x44E1".
QString RegistersText(const RegisterImage& image, const ParameterDescriptor& row);
// The bits of a stored block's register that no row shows (0 for a register outside them),
// the name and the text the difference list gives such a register.
uint16_t UnshownBits(int r);
QString UnshownRegisterName(int r);
QString UnshownRegisterText(const RegisterImage& image, int r);
// The page caption a list gives a block's parameters: its page's, or "Factory settings" for
// the stored blocks no page shows.
QString DifferencePage(const Texts& texts, const BlockDescriptor& block);

}  // namespace kvn

#pragma once
#include <QString>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "device_link/register_image.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"

namespace kvn {

class Texts;

// The control a field type is shown in.
enum class ControlKind : uint8_t { EditField, CheckBox, ComboBox, Label };

// What a row's control shows for a register image.
struct FieldShown {
  QString text;                 // edit field or label
  bool checked = false;         // check box
  int index = -1;               // drop-down selection (-1: none)
  std::optional<bool> enabled;  // check boxes that the value itself enables or disables
};

// What the shown value depends on besides the row's own registers.
struct ShowContext {
  const NumberFormat& format;
  const RegisterImage& image;   // the row's registers, and the rated speed, sensor type, offset
                                // and latch mask that decide how they show
  int accessLevel;              // below 1 the password block's CRC is not shown
};

// One field type: its control, how the control is filled and emptied, and how a check box or a
// drop-down stores its state. The table below the widget layer that the form, the comparison
// and the change history all read; none of them switches over the field type itself.
struct FieldKind {
  FieldType type;
  ControlKind control;
  bool numericEntry;   // an edit field holding a number: empty means "not entered"
  bool textEntry;      // an edit field holding text (`detail` characters)
  bool clearedChecked; // a check box's state when the form is emptied
  FieldShown (*show)(const ShowContext& context, const ParameterDescriptor& row);
  // A check box's or drop-down's state into the image; nullptr for the other kinds.
  void (*store)(RegisterImage& image, const ParameterDescriptor& row, int state);
  bool derived;        // shown from other rows or constant: not a setting of its own
};

// The kind of a field type; nullptr for a type no row may use (4, or beyond 13).
const FieldKind* KindOf(FieldType type);

// The row's value as one line of text, the way its page shows it: numbers with their decimals
// and unit, the drop-down's item text (from the current texts), a check box as checked or
// not, text without its padding, the password masked. Empty for a kind without a value.
QString ShownText(const Texts& texts, const NumberFormat& format, const RegisterImage& image,
                  const ParameterDescriptor& row);
// The same from what the row's control shows, with the row's unit already looked up.
QString ShownText(const Texts& texts, const FieldKind& kind, const FieldShown& shown,
                  const ParameterDescriptor& row, const QString& unit);
// The text the row's control shows: an edit field's or a label's text, a drop-down's item
// text in the current texts; empty for a check box.
QString ControlText(const Texts& texts, const FieldKind& kind, const FieldShown& shown,
                    const ParameterDescriptor& row);
// What a label of the parameter pages (caption, heading, unit, column heading, "to") shows for
// the current texts: its text-table row's current text, with the row's leading blanks (the
// page's English text while the row is still empty); a label without a row keeps the page's
// text. Empty for a name no label of the pages carries.
QString LabelShownText(const Texts& texts, std::string_view name);
// The unit label's text behind the row's control; empty when it has none.
QString UnitOf(const Texts& texts, const ParameterDescriptor& row);

// The row's caption as the window's accessible name gives it: the row caption, and for a
// table column its heading after a comma ("Overspeed limit, Relay 1"), in the current texts.
QString CaptionOf(const Texts& texts, const ParameterDescriptor& row);
// The caption of the page that shows the row, in the current texts.
QString PageCaptionOf(const Texts& texts, const ParameterDescriptor& row);
// The heading of the page section that shows the row ("Configuration - user"), in the current
// texts; empty for a row no page shows.
QString SectionCaptionOf(const Texts& texts, const ParameterDescriptor& row);
// The caption of a section heading of the parameter pages ("lbl_config_usr": "Configuration -
// user"), in the current texts; empty for a name that heads no section.
QString HeadingCaptionOf(const Texts& texts, const char* headingName);
// A name of its own for every row, index row - 1: its caption, and where another row's caption
// reads the same in the current texts, the section after it: "Device comment (Configuration -
// user)". Lists without a page column (the change history) tell the rows apart by it.
std::vector<QString> ParameterNames(const Texts& texts);
// The same from the rows' captions (CaptionOf, index row - 1) when the caller holds them.
std::vector<QString> ParameterNames(const Texts& texts, std::vector<QString> captions);
// The caption of the page that shows a block's rows; empty for a block no page shows.
QString PageCaptionOf(const Texts& texts, const BlockDescriptor& block);

// The register bits a row shows: its registers, each with the bits that are the row's own (a
// check box owns one bit of its word). At most 16 registers; none for a value computed from
// other rows.
struct RowRegister {
  int32_t reg;
  uint16_t bits;
};
struct RowRegisters {
  std::array<RowRegister, 16> at{};
  int count = 0;
};
RowRegisters RegistersShownBy(const ParameterDescriptor& row);

}  // namespace kvn

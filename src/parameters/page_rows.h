#pragma once
#include <array>
#include <cstdint>
#include <span>

// The pages of the main window are described as constant tables of rows; the window's page
// builder turns them into widgets, and the parameter pages' tables also name the captions,
// units and drop-down lists that a parameter's text is shown with. A row is a caption cell (caption label + info mark) and a value cell
// (entry controls and unit). Names follow the row's name: lbl_<row>, lbl_i_<row>,
// gpl_lab_<row>, gpl_<row>.
namespace kvn::pages {

enum class Kind : uint8_t {
  Edit,     // parameter entry field
  Masked,   // entry field showing "*" for every character
  Combo,    // drop-down list; text holds the items joined with "|"
  Check,    // check box; text is its caption (usually empty inside rows)
  Value,    // read-only value label, written by the program
  Unit,     // unit label after the entry controls
  Word,     // a caption inside a value cell ("to", an inline caption)
  Info,     // an info mark inside a value cell, beside an inline caption
  Link,     // a caption that acts as a press-and-hold button
  Button,   // push button
  VScroll,  // vertical scroll bar (error lists)
};

enum Flag : uint8_t { kNone = 0, kDisabled = 1, kHidden = 2, kTicked = 4 };

// Width classes keep fields of one kind equally wide, so units line up down a section.
enum class Width : uint8_t { Auto, Number, Text16, Text32, Combo, WideCombo, Value, Word, Column };

struct Control {
  const char* name = nullptr;
  Kind kind = Kind::Word;
  const char* text = "";
  uint8_t flags = kNone;
  Width width = Width::Auto;
  int8_t col = -1;   // grid column in the value cell; -1: the next one
  int8_t line = 0;   // line inside a multi-line value cell
  int8_t lines = 1;  // lines spanned
  int8_t cols = 1;   // columns spanned
};

inline constexpr int kMaxRowControls = 8;

struct Row {
  const char* name = nullptr;     // row suffix
  const char* caption = nullptr;  // English caption, without leading blanks
  std::array<Control, kMaxRowControls> controls{};
  int8_t lines = 1;               // height of the row in lines
};

// A column header of a table section (OUTPUT relays, process values, device status).
struct Column {
  const char* name;
  const char* caption;
  int width;
};

constexpr Control Edit(const char* name, Width width = Width::Number, uint8_t flags = kNone) {
  return {name, Kind::Edit, "", flags, width};
}
constexpr Control Masked(const char* name) { return {name, Kind::Masked, "", kNone, Width::Text16}; }
constexpr Control Combo(const char* name, const char* items, Width width = Width::Combo) {
  return {name, Kind::Combo, items, kNone, width};
}
constexpr Control Check(const char* name, uint8_t flags = kNone, const char* caption = "") {
  return {name, Kind::Check, caption, flags, Width::Auto};
}
constexpr Control Value(const char* name, Width width = Width::Value) {
  return {name, Kind::Value, "", kNone, width};
}
constexpr Control Unit(const char* name, const char* text) {
  return {name, Kind::Unit, text, kNone, Width::Word};
}
constexpr Control Word(const char* name, const char* text) {
  return {name, Kind::Word, text, kNone, Width::Auto};
}
constexpr Control Info(const char* name) { return {name, Kind::Info, "ⓘ ", kNone, Width::Auto}; }
constexpr Control Link(const char* name, const char* text) {
  return {name, Kind::Link, text, kNone, Width::Auto};
}
constexpr Control Button(const char* name, const char* text, uint8_t flags = kNone) {
  return {name, Kind::Button, text, flags, Width::Auto};
}

// Placement inside a table section or a multi-line cell.
constexpr Control At(Control c, int col, int line = 0, int lines = 1, int cols = 1) {
  c.col = static_cast<int8_t>(col);
  c.line = static_cast<int8_t>(line);
  c.lines = static_cast<int8_t>(lines);
  c.cols = static_cast<int8_t>(cols);
  return c;
}

// Grid column of each control of a row's value cell, as the page builder places them: a
// control without a column takes the next one, a unit goes behind a table's columns.
inline std::array<int, kMaxRowControls> ControlColumns(const Row& row, int columnCount) {
  std::array<int, kMaxRowControls> columns{};
  columns.fill(-1);
  int next = 0;
  for (size_t i = 0; i < row.controls.size() && row.controls[i].name != nullptr; ++i) {
    const Control& c = row.controls[i];
    int col = c.col;
    if (col < 0) col = (c.kind == Kind::Unit && columnCount > 0) ? columnCount : next;
    next = col + c.cols;
    columns[i] = col;
  }
  return columns;
}

}  // namespace kvn::pages

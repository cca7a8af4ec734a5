#pragma once
#include <array>
#include <cstdint>

namespace kvn {

enum class TextKind : int32_t {
  Label = 0,
  Button = 1,
  TabSheet = 2,
  MenuItem = 3,
  InfoText = 4,
  ComboItems = 5,
  Message = 6,
  ErrorText = 7,
  ReportText = 8,
  CheckBox = 9,
  FormCaption = 10,
  AppTitle = 11,
  Spare = 12,
  ButtonHint = 13,
  EventText = 14,
};

// One row of the text table. Strings are UTF-8.
struct TextEntry {
  const char* key;
  TextKind kind;
  int32_t number;      // message/error/report/event index, or owning dialog (0 main window)
  uint8_t container;   // where the main-window control is searched (0 none, 1 menu, 2 status, 3..10 pages)
  int32_t indent;      // 1: label shown with two leading blanks
  const char* default_text;
  const char* extra_text;
};

inline constexpr int kTextRowCount = 635;

// All texts of the program in their fixed order; the order is a file format (language packs).
extern const std::array<TextEntry, kTextRowCount> TextTable;

}  // namespace kvn

#pragma once

namespace kvn {

// The names of the three write operations, as the window's button and menu items show them
// and as the change history records them, from either front end. A language pack replaces
// them through the text table's rows of the same keys.
struct OperationName {
  const char* key;      // the control's name and text-table key
  const char* caption;  // its built-in caption
};
inline constexpr OperationName kProgramOperation{"cmd_save_prog", "Program device settings"};
inline constexpr OperationName kRestoreOperation{"men_dev_restore", "Restore default setup"};
inline constexpr OperationName kSaveDefaultOperation{"men_dev_save", "Save current setup as default"};

}  // namespace kvn

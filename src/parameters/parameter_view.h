#pragma once
#include <QString>

#include "device_link/block_table.h"

namespace kvn {

// Where the set being edited is shown and typed: the window's parameter pages, or the command
// line's file and flags. The device operations fill and empty it and ask it whether its entries
// may go to the device; they never reach its controls themselves.
class ParameterView {
 public:
  virtual ~ParameterView() = default;

  // Shows EditImage; empties every entry (no set is loaded).
  virtual void FillControls() = 0;
  virtual void ClearControls() = 0;
  // Forgets a typed admin password, in EditImage as well.
  virtual void ClearPassword() = 0;
  // The block's entries are complete and within their limits; else the first that is not has
  // been shown with its message.
  virtual bool EntriesComplete(const BlockDescriptor& block) = 0;

  // The engineer asked for a new admin password to be sent with the set.
  virtual bool PasswordChangeWanted() const = 0;
  // The new password as entered (empty when none was).
  virtual QString NewPasswordEntry() const = 0;
  // Brings the password entry before the engineer after message 'password missing'.
  virtual void ShowPasswordEntry() = 0;
};

}  // namespace kvn

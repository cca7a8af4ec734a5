#pragma once

namespace kvn {

class ProgrammingSession;

// The device's default setup, run in the session dialog: restoring it (the device replaces
// its working setup, then everything is read back into the window) and saving the window's
// setup as the new default (written, verified, then committed as default).

// Menu items "Restore default setup" and "Save current setup as default": open the dialog.
void OpenRestoreDefault(ProgrammingSession& session);
void OpenSaveDefault(ProgrammingSession& session);

// Dialog steps.
void RestoreDefaultStep(ProgrammingSession& session);
void WriteDefaultStep(ProgrammingSession& session);
void CommitDefaultStep(ProgrammingSession& session);

}  // namespace kvn

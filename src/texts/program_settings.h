#pragma once
#include <QString>
#include <functional>

#include "texts/setup_record.h"

namespace kvn {

class Prompts;

inline constexpr char kWorkFolderName[] = "Kor_Vane";
inline constexpr char kSettingsFileName[] = "Kvn_Config.cfg";
inline constexpr char kStartupLogName[] = "kvn_init.log";
inline constexpr int kSettingsFieldCount = 40;

// The per-user folder that holds the work directory: the XDG configuration folder on Linux
// (normally ~/.config), the roaming application-data folder elsewhere; the home folder when the
// platform reports neither.
QString DefaultWorkBase();

// base + "/Kor_Vane". The application passes DefaultWorkBase(); tests and the demo pass a
// temporary folder so that they never touch the engineer's own settings.
QString WorkDirectory(const QString& base);

// Creates the work directory when it is missing. On failure shows
// "Cannot create work directory. Check your access rights." in a plain message box and returns
// false.
bool EnsureWorkDirectory(const QString& workDirectory, Prompts& prompts);

// The program settings text: 40 fields, each followed by "|".
QString BuildSettingsText(const LocSetupRec& setup);
// Fills the 40 persisted fields from a settings text; a missing, non-integer or out-of-range
// field takes its default. Other fields are left alone.
void ApplySettingsText(const QString& text, LocSetupRec& setup);

// Steps of the settings load that belong to other parts of the program. The start-up sequence
// supplies them; either may be left empty.
struct SettingsLoadHooks {
  // Runs after the file was read and before the fields are taken: puts the speed plot's write
  // position back to the first slot and the poll phase to 1.
  std::function<void()> resetPlotAndPollPhase;
  // Runs last: applies offline_mode and setup_loaded to pages, panels and menus.
  std::function<void()> updateModeDisplay;
};

// Clears setup_loaded and reads "Kvn_Config.cfg" from the work directory (not creating it).
// A missing, unreadable or damaged file gives all defaults and shows nothing; so does anything
// but a regular file, and a file far larger than any settings file, neither of which is read.
void LoadProgramSettings(const QString& workDirectory, LocSetupRec& setup,
                         const SettingsLoadHooks& hooks = {});

// Writes the settings file, creating the work directory first. Returns false when nothing
// could be written; the reason has been shown through prompts and the previous file is intact.
bool SaveProgramSettings(const QString& workDirectory, const LocSetupRec& setup,
                         Prompts& prompts);

// Failures of the start-up steps (language pack, logo, icon), one CR LF-ended line each. Never
// shown to the engineer; written to the start-up log.
class StartupErrors {
 public:
  StartupErrors() = default;
  // Lines already ended by CR LF, as the window collects them.
  explicit StartupErrors(QString text) : text_(std::move(text)) {}
  void Append(const QString& line) { text_ += line + QStringLiteral("\r\n"); }
  const QString& Text() const { return text_; }
  bool IsEmpty() const { return text_.isEmpty(); }

 private:
  QString text_;
};

// Writes "kvn_init.log" when errors is not empty; otherwise removes a log of an earlier start.
// Returns true when a log was written.
bool WriteStartupLog(const QString& workDirectory, const StartupErrors& errors, Prompts& prompts);

}  // namespace kvn

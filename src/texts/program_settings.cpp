#include "texts/program_settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <array>
#include <climits>

#include "texts/prompts.h"
#include "texts/text_record.h"
#include "texts/texts.h"

namespace kvn {

namespace {

// One field of the settings text. Every integer field is checked against [low, high]: a value
// that is not an integer takes def, a value outside the range takes fallback (which differs from
// def only for the baud rate). Switches read any non-zero integer as on.
struct SettingsField {
  enum class Kind { PortName, Number, Switch } kind;
  int LocSetupRec::*number = nullptr;
  int (LocSetupRec::*numbers)[5] = nullptr;
  bool LocSetupRec::*flag = nullptr;
  bool (LocSetupRec::*flags)[5] = nullptr;
  int index = 0;
  int32_t def = 0;
  int32_t low = INT32_MIN;
  int32_t high = INT32_MAX;
  int32_t fallback = 0;
};

constexpr SettingsField PortName() { return {.kind = SettingsField::Kind::PortName}; }

constexpr SettingsField Number(int LocSetupRec::*member, int32_t def, int32_t low = INT32_MIN,
                               int32_t high = INT32_MAX, int32_t fallback = 0) {
  return {.kind = SettingsField::Kind::Number, .number = member, .def = def, .low = low,
          .high = high, .fallback = fallback};
}

constexpr SettingsField NumberAt(int (LocSetupRec::*member)[5], int index, int32_t def,
                                 int32_t low = INT32_MIN, int32_t high = INT32_MAX,
                                 int32_t fallback = 0) {
  return {.kind = SettingsField::Kind::Number, .numbers = member, .index = index, .def = def,
          .low = low, .high = high, .fallback = fallback};
}

constexpr SettingsField Switch(bool LocSetupRec::*member) {
  return {.kind = SettingsField::Kind::Switch, .flag = member};
}

constexpr SettingsField SwitchAt(bool (LocSetupRec::*member)[5], int index) {
  return {.kind = SettingsField::Kind::Switch, .flags = member, .index = index};
}

// The settings text in file order. The file keeps baud, address, parity and lists the
// underspeed thicknesses before the overspeed ones; the record orders them differently.
constexpr int kThkLow = 0, kThkHigh = 3;
using R = LocSetupRec;
const std::array<SettingsField, kSettingsFieldCount> kSettingsFields = {{
    PortName(),                                              // 1
    Number(&R::baud, 2, 0, 5, 0),                            // 2: out of range gives 4800
    Number(&R::addr, 1, 1, 254, 1),                          // 3
    Number(&R::parity, 0, 0, 2, 0),                          // 4
    Switch(&R::usb),                                         // 5
    NumberAt(&R::diag_min_col, 0, 255),                      // 6  red
    NumberAt(&R::diag_min_col, 1, 32768),                    //    green
    NumberAt(&R::diag_min_col, 2, 128),                      //    maroon
    NumberAt(&R::diag_min_col, 3, 32896),                    //    olive
    NumberAt(&R::diag_min_col, 4, 8388608),                  // 10 navy
    NumberAt(&R::diag_max_col, 0, 8421504),                  // 11 gray
    NumberAt(&R::diag_max_col, 1, 12632256),                 //    silver
    NumberAt(&R::diag_max_col, 2, 65280),                    //    lime
    NumberAt(&R::diag_max_col, 3, 65535),                    //    yellow
    NumberAt(&R::diag_max_col, 4, 16711680),                 // 15 blue
    Number(&R::diag_speed_col, 0),                           // 16 black
    Number(&R::diag_rated_col, 8388736),                     // 17 purple
    SwitchAt(&R::diag_min_act, 0),                           // 18
    SwitchAt(&R::diag_min_act, 1),
    SwitchAt(&R::diag_min_act, 2),
    SwitchAt(&R::diag_min_act, 3),
    SwitchAt(&R::diag_min_act, 4),
    SwitchAt(&R::diag_max_act, 0),                           // 23
    SwitchAt(&R::diag_max_act, 1),
    SwitchAt(&R::diag_max_act, 2),
    SwitchAt(&R::diag_max_act, 3),
    SwitchAt(&R::diag_max_act, 4),
    Number(&R::diag_speed_thk, 1, kThkLow, kThkHigh, 1),     // 28
    Number(&R::diag_rated_thk, 0, kThkLow, kThkHigh, 0),     // 29
    NumberAt(&R::diag_min_thk, 0, 0, kThkLow, kThkHigh, 0),  // 30
    NumberAt(&R::diag_min_thk, 1, 0, kThkLow, kThkHigh, 0),
    NumberAt(&R::diag_min_thk, 2, 0, kThkLow, kThkHigh, 0),
    NumberAt(&R::diag_min_thk, 3, 0, kThkLow, kThkHigh, 0),
    NumberAt(&R::diag_min_thk, 4, 0, kThkLow, kThkHigh, 0),
    NumberAt(&R::diag_max_thk, 0, 0, kThkLow, kThkHigh, 0),  // 35
    NumberAt(&R::diag_max_thk, 1, 0, kThkLow, kThkHigh, 0),
    NumberAt(&R::diag_max_thk, 2, 0, kThkLow, kThkHigh, 0),
    NumberAt(&R::diag_max_thk, 3, 0, kThkLow, kThkHigh, 0),
    NumberAt(&R::diag_max_thk, 4, 0, kThkLow, kThkHigh, 0),
    Number(&R::offline_mode, 0),                             // 40
}};

// Record is LocSetupRec or const LocSetupRec: one accessor for reading and writing.
template <typename Record>
auto& NumberOf(Record& setup, const SettingsField& field) {
  return field.number ? setup.*field.number : (setup.*field.numbers)[field.index];
}

template <typename Record>
auto& FlagOf(Record& setup, const SettingsField& field) {
  return field.flag ? setup.*field.flag : (setup.*field.flags)[field.index];
}

QString FieldText(const LocSetupRec& setup, const SettingsField& field) {
  switch (field.kind) {
    case SettingsField::Kind::PortName:
      return setup.com_num;
    case SettingsField::Kind::Number:
      return QString::number(NumberOf(setup, field));
    case SettingsField::Kind::Switch:
      return FlagOf(setup, field) ? QStringLiteral("1") : QStringLiteral("0");
  }
  return QString();
}

void TakeField(const QString& text, const SettingsField& field, LocSetupRec& setup) {
  if (field.kind == SettingsField::Kind::PortName) {
    setup.com_num = text;
    return;
  }
  const std::optional<int32_t> value = ParseDecimalInt(text);
  if (field.kind == SettingsField::Kind::Switch) {
    FlagOf(setup, field) = value.value_or(0) != 0;
    return;
  }
  int32_t number = value.value_or(field.def);
  if (value && (number < field.low || number > field.high)) number = field.fallback;
  NumberOf(setup, field) = number;
}

QString FileIn(const QString& workDirectory, const char* name) {
  return workDirectory + QLatin1Char('/') + QLatin1String(name);
}

}  // namespace

QString DefaultWorkBase() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (base.isEmpty()) base = QDir::homePath();
  return base;
}

QString WorkDirectory(const QString& base) {
  return base + QLatin1Char('/') + QLatin1String(kWorkFolderName);
}

bool EnsureWorkDirectory(const QString& workDirectory, Prompts& prompts) {
  // mkpath rather than a single level: unlike the application-data folder on other systems,
  // the XDG configuration folder need not exist yet on a fresh account.
  if (QDir(workDirectory).exists() || QDir().mkpath(workDirectory)) return true;
  prompts.ShowMessage(QStringLiteral("Cannot create work directory. Check your access rights."));
  return false;
}

QString BuildSettingsText(const LocSetupRec& setup) {
  QString text;
  for (const SettingsField& field : kSettingsFields) text += FieldText(setup, field) + u'|';
  return text;
}

void ApplySettingsText(const QString& text, LocSetupRec& setup) {
  QString rest = text;
  for (const SettingsField& field : kSettingsFields) {
    auto [value, remaining] = NextField(rest);
    TakeField(value, field, setup);
    rest = remaining;
  }
}

void LoadProgramSettings(const QString& workDirectory, LocSetupRec& setup,
                         const SettingsLoadHooks& hooks) {
  setup.setup_loaded = false;
  // Start-up shows no message for a settings file that cannot be used (missing, damaged, no
  // regular file, far too large): defaults serve.
  const QString text = ReadTextRecordQuiet(FileIn(workDirectory, kSettingsFileName), file_cap::kSettings);
  if (hooks.resetPlotAndPollPhase) hooks.resetPlotAndPollPhase();
  ApplySettingsText(text, setup);
  if (hooks.updateModeDisplay) hooks.updateModeDisplay();
}

bool SaveProgramSettings(const QString& workDirectory, const LocSetupRec& setup,
                         Prompts& prompts) {
  if (!EnsureWorkDirectory(workDirectory, prompts)) return false;
  return WriteTextRecord(FileIn(workDirectory, kSettingsFileName), BuildSettingsText(setup),
                         prompts) == 0;
}

bool WriteStartupLog(const QString& workDirectory, const StartupErrors& errors,
                     Prompts& prompts) {
  // A log left by an earlier start would tell whoever reads it about problems this start
  // does not have.
  if (errors.IsEmpty()) {
    QFile::remove(FileIn(workDirectory, kStartupLogName));
    return false;
  }
  if (!EnsureWorkDirectory(workDirectory, prompts)) return false;
  return WriteTextRecord(FileIn(workDirectory, kStartupLogName), errors.Text(), prompts) == 0;
}

}  // namespace kvn

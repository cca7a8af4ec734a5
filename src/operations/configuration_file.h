#pragma once
#include <QByteArray>
#include <QString>

#include "device_link/register_image.h"

namespace kvn {

class Connection;
class ParameterView;
class Prompts;
class Texts;
struct LocSetupRec;
struct PollState;
struct RegisterImages;

// Saving the parameter set of EditImage to a configuration file and loading one back.
class ConfigurationFile {
 public:
  struct Services {
    Prompts& prompts;
    const Texts& texts;
    RegisterImages& images;
    ParameterView& form;
    LocSetupRec& setup;
    PollState& poll;
    Connection& connection;
  };
  explicit ConfigurationFile(Services services) : s_(services) {}

  void men_file_save_cfgClick();
  void men_file_load_cfgClick();
  // A configuration file's bytes from the records (a unit's settings.kvn at one commit),
  // loaded as "Load configuration" loads the file, with its checks and messages.
  void LoadRecord(const QByteArray& bytes);

  // 0 written, 1 writing failed, -1 cancelled (no file chosen, or not to be overwritten).
  int SaveConfiguration();
  bool LoadConfiguration();

  // The load's open dialog; empty when cancelled. Another reader of a set names its own title.
  QString AskLoadFileName();
  QString AskLoadFileName(const QString& title);
  // A configuration file's set into image (a scratch image), with the checks of a load; a
  // refused file shows what a load shows and leaves false.
  bool ReadInto(const QString& path, RegisterImage& image);

 private:
  // The record's text, or empty after the file's reason and message 55 were shown.
  QString ReadRecord(const QString& path);
  // The record's text into EditImage; a refused one shows why and leaves EditImage as it was.
  bool LoadText(const QString& text);
  // The window follows a load: a loaded set fills it; either way the next poll reads anew.
  void Loaded(bool loaded);

  Services s_;
};

}  // namespace kvn

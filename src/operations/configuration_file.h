#pragma once

namespace kvn {

class Connection;
class ParameterForm;
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
    ParameterForm& form;
    LocSetupRec& setup;
    PollState& poll;
    Connection& connection;
  };
  explicit ConfigurationFile(Services services) : s_(services) {}

  void men_file_save_cfgClick();
  void men_file_load_cfgClick();

  // 0 written, 1 writing failed, -1 cancelled (no file chosen, or not to be overwritten).
  int SaveConfiguration();
  bool LoadConfiguration();

 private:
  Services s_;
};

}  // namespace kvn

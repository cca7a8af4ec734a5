#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "operations/device_context.h"
#include "parameters/difference_list.h"

namespace kvn {

class ConfigurationFile;
class NumberFormat;
class Prompts;

// What a comparison window shows: the other side's column heading, a title and the rows, and
// what a box says instead when there are no rows.
struct ComparisonView {
  QString title;
  QString otherSide;  // "Device" or "File"
  std::vector<ParameterDifference> differences;
  QString identical;  // "No differences: the window and the device hold the same settings."
  QString note;       // what the other side's values are worth, above the rows; empty: nothing to say
};

// A unit in programming mode answers reads with what was written to it, committed or not.
QString ProgrammingModeReadNote();

// The window's parameter set against the device's or a configuration file's, parameter by
// parameter. The other set goes into a scratch image: EditImage, DeviceImage and VerifyImage
// stay as they are, and the device is only read. The password is not compared.
class Comparison {
 public:
  struct Services : DeviceContext {
    Prompts& prompts;
    ConfigurationFile& files;
    const NumberFormat& format;
    std::function<void(const ComparisonView&)> show;
  };
  explicit Comparison(Services services) : s_(std::move(services)) {}

  void men_file_cmp_devClick();
  void men_file_cmp_fileClick();

  // The differences between the window and the device; nullopt when the device could not be
  // read (the read failure was shown). The caller has stopped the poll.
  std::optional<std::vector<ParameterDifference>> WindowAgainstDevice();
  // The differences between the window and a set of the device's kept earlier (the backup
  // held through programming mode, where reads give what was written, not what runs).
  std::vector<ParameterDifference> WindowAgainst(const RegisterImage& deviceSet) const;
  // The view of those differences, as the menu item shows it.
  ComparisonView DeviceView(std::vector<ParameterDifference> differences) const;

 private:
  // A comparison needs a set in the window; without one message 53 says so.
  bool WindowHoldsASet();

  Services s_;
};

}  // namespace kvn

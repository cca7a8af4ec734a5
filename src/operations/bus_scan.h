#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace kvn {

class ModbusMaster;

// What one address of a bus answered.
struct BusFinding {
  enum class Kind {
    Unit,      // a unit answered: its identity follows
    Conflict,  // answers came garbled, twice: two units at one address, suspected
  };
  Kind kind = Kind::Unit;
  int address = 0;
  int deviceType = 0;
  int firmware = 0;  // version x 100
  QString serialNumber;
  QString tag;
  bool accepted = false;  // a type and firmware the program works with
};

// Every address of a range asked once for its identification, with short time limits (most
// addresses stay silent), one after another: an RS-485 bus has one master. Read-only.
class BusScan {
 public:
  struct Range {
    int first = 1;
    int last = 247;
  };
  // progress(address done, addresses in all) after each address; false stops the scan.
  using Progress = std::function<bool(int done, int total)>;

  explicit BusScan(ModbusMaster& master) : master_(master) {}
  std::vector<BusFinding> Run(Range range, const Progress& progress = {});

 private:
  std::optional<BusFinding> Ask(int address);

  ModbusMaster& master_;
};

}  // namespace kvn

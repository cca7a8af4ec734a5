#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace kvn {

inline constexpr int kComPortCount = 50;  // COM1..COM50

// Linux has no COM names, so the program maps "COM1".."COM50" to device paths:
//  1. a link named COMn in the ports folder (normally <work directory>/ports) wins; the
//     engineer can create, change or delete these links, and the device simulator presents
//     itself as a COM port by creating one;
//  2. serial ports without a link take the remaining numbers in a stable order: USB
//     adapters by their /dev/serial/by-id name (stable across re-plugging), then the other
//     ports by device path.
class PortMap {
 public:
  struct Entry {
    QString comName;      // "COM7"
    QString path;         // what is opened: the link or the device path
    QString target;       // the device the path stands for (/dev/ttyUSB0, /dev/pts/5)
    QString description;  // adapter description, empty for links to non-USB devices
    QString serialNumber;
    bool fromLink = false;
  };

  explicit PortMap(QString portsFolder);

  const QString& PortsFolder() const { return portsFolder_; }

  // Rebuilds the mapping from the ports folder and the system's serial ports.
  void Refresh();
  // Device path for "COMn"; empty when the name is not mapped or malformed.
  QString Resolve(const QString& comName);
  // The current mapping, ordered by COM number.
  const std::vector<Entry>& Entries();

  // "COM12" → 12; 0 for anything else.
  static int ComNumber(const QString& comName);

 private:
  QString portsFolder_;
  std::vector<Entry> entries_;
  bool fresh_ = false;
};

}  // namespace kvn

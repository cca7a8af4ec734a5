#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace kvn {

inline constexpr int kComPortCount = 50;  // COM1..COM50

// Where udev names USB serial devices by vendor, product and serial number.
inline constexpr const char* kSerialByIdFolder = "/dev/serial/by-id";

// Linux has no COM names, so the program maps "COM1".."COM50" to device paths:
//  1. a link named COMn in the ports folder (normally <work directory>/ports) wins; the
//     engineer can create, change or delete these links, and the device simulator presents
//     itself as a COM port by creating one;
//  2. a serial device seen for the first time takes the lowest number no link holds, and the
//     program remembers it by making that link itself, to the device's stable name: its
//     by-id name for a USB adapter, its device path for a built-in port. An unplugged
//     adapter leaves its link dangling, so its number stays its own until it comes back.
// Only when the ports folder cannot be written are numbers given in memory, for this run.
class PortMap {
 public:
  struct Entry {
    QString comName;      // "COM7"
    QString path;         // what is opened: the link or the device path
    QString target;       // the device the path stands for (/dev/ttyUSB0, /dev/pts/5)
    QString description;  // adapter description, empty for links to non-USB devices
    QString serialNumber;
    bool fromLink = false;
    bool present = true;  // false: a remembered device that is not there now
  };

  // What a COM name stands for at one moment; a lost port is reopened only while this still
  // names the same device.
  struct Identity {
    QString link;    // the link itself (inode, times, target); empty when the name has none
    QString device;  // by-id name, pseudo-terminal instance or device path; empty: absent
  };

  explicit PortMap(QString portsFolder, QString byIdFolder = QString::fromLatin1(kSerialByIdFolder));

  const QString& PortsFolder() const { return portsFolder_; }

  // Rebuilds the mapping from the ports folder and the system's serial ports, giving
  // devices seen for the first time their numbers.
  void Refresh();
  // Refreshes, then the device path for "COMn"; empty when the name is not mapped or malformed.
  // A device path ("/dev/ttyUSB0", "/dev/serial/by-id/...") stands for itself, unrefreshed.
  QString Resolve(const QString& comName);
  // The path "COMn" stands for without looking for new devices: its link, or the number the
  // last refresh gave in memory.
  QString Lookup(const QString& comName) const;
  // The serial server's network port a name stands for: the name itself when it is one
  // ("tcp://HOST:PORT"), or the address a COMn link in the ports folder names (as a serial
  // server's virtual-COM driver binds a COM name to it); empty for a serial port.
  QString NetworkAddress(const QString& comName) const;
  // Binds "COMn" to a network port: a link in the ports folder whose target is the address.
  // Empty when done, else why not.
  QString BindNetworkAddress(const QString& comName, const QString& address) const;
  Identity IdentityOf(const QString& comName) const;
  // The current mapping, ordered by COM number.
  const std::vector<Entry>& Entries();

  // "COM12" → 12; 0 for anything else.
  static int ComNumber(const QString& comName);
  // A name with a folder in it is the path of a device, not one of the program's COM names.
  static bool IsDevicePath(const QString& name) { return name.contains(QLatin1Char('/')); }

 private:
  struct Device {
    QString path;       // the stable name that is remembered
    QString canonical;  // the device node it leads to now
    QString sortKey;
    QString description;
    QString serialNumber;
  };

  QString LinkPath(int number) const;
  bool HasLink(const QString& comName) const;
  QString ByIdName(const QString& canonical) const;
  QString DeviceIdentity(const QString& path) const;
  std::vector<Device> SystemDevices() const;
  bool Remember(int number, const QString& devicePath) const;

  QString portsFolder_;
  QString byIdFolder_;
  std::vector<Entry> entries_;
  bool fresh_ = false;
};

}  // namespace kvn

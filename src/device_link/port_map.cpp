#include "device_link/port_map.h"

#include <filesystem>
#include <system_error>

#include "device_link/network_port.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <set>

#include "platform/platform.h"

namespace kvn {
namespace {

QString ComName(int number) { return QStringLiteral("COM%1").arg(number); }

}  // namespace

PortMap::PortMap(QString portsFolder, QString byIdFolder)
    : portsFolder_(std::move(portsFolder)), byIdFolder_(std::move(byIdFolder)) {}

int PortMap::ComNumber(const QString& comName) {
  if (!comName.startsWith(QLatin1String("COM"))) return 0;
  bool ok = false;
  const int n = comName.mid(3).toInt(&ok);
  if (!ok || n < 1 || n > kComPortCount || comName.mid(3) != QString::number(n)) return 0;
  return n;
}

QString PortMap::LinkPath(int number) const { return QDir(portsFolder_).filePath(ComName(number)); }

bool PortMap::HasLink(const QString& comName) const {
  const int n = ComNumber(comName);
  if (n == 0 || portsFolder_.isEmpty()) return false;
  const QFileInfo link(LinkPath(n));
  return link.exists() || link.isSymLink();
}

// The stable name of a USB serial device: its by-id link, if udev made one.
QString PortMap::ByIdName(const QString& canonical) const {
  if (canonical.isEmpty()) return {};
  const QDir byId(byIdFolder_);
  for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
    if (link.canonicalFilePath() == canonical) return link.fileName();
  }
  return {};
}

QString PortMap::DeviceIdentity(const QString& path) const {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  if (canonical.isEmpty()) return {};
  const QString byId = ByIdName(canonical);
  if (!byId.isEmpty()) return QStringLiteral("usb:") + byId;
  if (const auto instance = platform::ReusedNodeInstance(canonical)) return *instance;
  return QStringLiteral("dev:") + canonical;
}

// USB adapters by their by-id names, then the other ports by device path.
std::vector<PortMap::Device> PortMap::SystemDevices() const {
  std::vector<Device> devices;
  const QDir byId(byIdFolder_);
  for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
    const QString canonical = link.canonicalFilePath();
    if (!canonical.isEmpty())
      devices.push_back({link.filePath(), canonical, QStringLiteral("0") + link.fileName(), {}, {}});
  }
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const QString canonical = QFileInfo(info.systemLocation()).canonicalFilePath();
    auto known = std::find_if(devices.begin(), devices.end(),
                              [&](const Device& d) { return d.canonical == canonical; });
    if (known == devices.end()) {
      devices.push_back({info.systemLocation(), canonical, QStringLiteral("1") + info.systemLocation(), {}, {}});
      known = devices.end() - 1;
    }
    known->description = info.description();
    known->serialNumber = info.serialNumber();
  }
  std::sort(devices.begin(), devices.end(),
            [](const Device& a, const Device& b) { return a.sortKey < b.sortKey; });
  return devices;
}

// Making the link fails when the name was taken meanwhile; the device then tries the next one.
bool PortMap::Remember(int number, const QString& devicePath) const {
  if (portsFolder_.isEmpty() || !QDir().mkpath(portsFolder_)) return false;
  return QFile::link(devicePath, LinkPath(number));
}

void PortMap::Refresh() {
  entries_.clear();
  std::set<int> taken;
  std::set<QString> linkedDevices;

  for (int n = 1; n <= kComPortCount; ++n) {
    if (!HasLink(ComName(n))) continue;
    const QFileInfo link(LinkPath(n));
    Entry e;
    e.comName = ComName(n);
    e.path = link.filePath();
    e.target = link.isSymLink() ? link.symLinkTarget() : link.filePath();
    e.fromLink = true;
    // A serial server's port names no file: it is there as long as its name is, and its server
    // is reached when it is opened.
    const QString network = NetworkAddress(e.comName);
    if (!network.isEmpty()) e.target = network;
    e.present = link.exists() || !network.isEmpty();
    if (link.exists()) linkedDevices.insert(link.canonicalFilePath());
    taken.insert(n);
    entries_.push_back(e);
  }

  int next = 1;
  for (const Device& device : SystemDevices()) {
    if (linkedDevices.count(device.canonical)) continue;
    Entry e;
    e.target = device.path;
    e.description = device.description;
    e.serialNumber = device.serialNumber;
    for (; next <= kComPortCount && e.comName.isEmpty(); ++next) {
      if (taken.count(next)) continue;
      e.comName = ComName(next);
      e.fromLink = Remember(next, device.path);
      e.path = e.fromLink ? LinkPath(next) : device.path;
      // A name someone else took meanwhile: keep looking.
      if (!e.fromLink && HasLink(e.comName)) e.comName.clear();
    }
    if (e.comName.isEmpty()) break;
    taken.insert(ComNumber(e.comName));
    linkedDevices.insert(device.canonical);
    entries_.push_back(e);
  }
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return ComNumber(a.comName) < ComNumber(b.comName);
  });
  fresh_ = true;
}

const std::vector<PortMap::Entry>& PortMap::Entries() {
  if (!fresh_) Refresh();
  return entries_;
}

QString PortMap::Resolve(const QString& comName) {
  if (IsDevicePath(comName)) return comName;
  if (ComNumber(comName) == 0) return {};
  Refresh();
  return Lookup(comName);
}

QString PortMap::Lookup(const QString& comName) const {
  if (IsDevicePath(comName)) return comName;
  if (ComNumber(comName) == 0) return {};
  if (HasLink(comName)) return LinkPath(ComNumber(comName));
  for (const Entry& e : entries_)
    if (e.comName == comName && !e.fromLink) return e.path;
  return {};
}

QString PortMap::NetworkAddress(const QString& comName) const {
  if (NetworkPort::IsAddress(comName)) return comName;
  if (ComNumber(comName) == 0) return {};
  // The link's own text: it names no file, so nothing may resolve it.
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(LinkPath(ComNumber(comName)).toStdString(), error);
  const QString text = error ? QString() : QString::fromStdString(target.string());
  return NetworkPort::IsAddress(text) ? text : QString();
}

QString PortMap::BindNetworkAddress(const QString& comName, const QString& address) const {
  if (ComNumber(comName) == 0) return QCoreApplication::translate("kvn::PortMap", "%1 is no COM name (COM1 to COM50)").arg(comName);
  if (const QString problem = NetworkPort::AddressProblem(address); !problem.isEmpty()) return problem;
  const QString link = LinkPath(ComNumber(comName));
  if (!QDir().mkpath(portsFolder_))
    return QCoreApplication::translate("kvn::PortMap", "the folder %1 cannot be created").arg(portsFolder_);
  std::error_code error;
  const std::filesystem::path path = link.toStdString();
  const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status))
    return QCoreApplication::translate("kvn::PortMap", "%1 is not a link: it is left as it is").arg(link);
  // Made beside the old one and renamed over it, so the name never stands for nothing.
  const std::filesystem::path fresh = path.string() + ".new";
  std::filesystem::remove(fresh, error);
  std::filesystem::create_symlink(address.toStdString(), fresh, error);
  if (!error) std::filesystem::rename(fresh, path, error);
  if (error) return QStringLiteral("%1: %2").arg(link, QString::fromStdString(error.message()));
  return {};
}

PortMap::Identity PortMap::IdentityOf(const QString& comName) const {
  const QString path = Lookup(comName);
  if (path.isEmpty()) return {};
  return {HasLink(comName) ? platform::LinkStamp(path) : QString(), DeviceIdentity(path)};
}

}  // namespace kvn

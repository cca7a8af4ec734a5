#include "device_link/port_map.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <set>

namespace kvn {
namespace {

// The stable name of a USB serial device: its /dev/serial/by-id link, if udev made one.
QString ByIdName(const QString& devicePath) {
  const QDir byId(QStringLiteral("/dev/serial/by-id"));
  const QString canonical = QFileInfo(devicePath).canonicalFilePath();
  for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
    if (link.canonicalFilePath() == canonical) return link.fileName();
  }
  return {};
}

struct Candidate {
  QString sortKey;
  PortMap::Entry entry;
};

}  // namespace

PortMap::PortMap(QString portsFolder) : portsFolder_(std::move(portsFolder)) {}

int PortMap::ComNumber(const QString& comName) {
  if (!comName.startsWith(QLatin1String("COM"))) return 0;
  bool ok = false;
  const int n = comName.mid(3).toInt(&ok);
  if (!ok || n < 1 || n > kComPortCount || comName.mid(3) != QString::number(n)) return 0;
  return n;
}

void PortMap::Refresh() {
  entries_.clear();
  std::set<int> taken;
  std::set<QString> linkedTargets;

  const QDir folder(portsFolder_);
  for (int n = 1; n <= kComPortCount && !portsFolder_.isEmpty(); ++n) {
    const QFileInfo link(folder.filePath(QStringLiteral("COM%1").arg(n)));
    if (!link.exists() && !link.isSymLink()) continue;
    Entry e;
    e.comName = QStringLiteral("COM%1").arg(n);
    e.path = link.filePath();
    e.target = link.isSymLink() ? link.symLinkTarget() : link.filePath();
    e.fromLink = true;
    linkedTargets.insert(QFileInfo(e.target).canonicalFilePath());
    taken.insert(n);
    entries_.push_back(e);
  }

  std::vector<Candidate> candidates;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const QString path = info.systemLocation();
    if (linkedTargets.count(QFileInfo(path).canonicalFilePath())) continue;
    Candidate c;
    c.entry.path = path;
    c.entry.target = path;
    c.entry.description = info.description();
    c.entry.serialNumber = info.serialNumber();
    const QString byId = info.hasVendorIdentifier() ? ByIdName(path) : QString();
    // USB adapters first, by their stable id; then fixed ports by path.
    c.sortKey = byId.isEmpty() ? QStringLiteral("1") + path : QStringLiteral("0") + byId;
    candidates.push_back(c);
  }
  std::sort(candidates.begin(), candidates.end(),
            [](const Candidate& a, const Candidate& b) { return a.sortKey < b.sortKey; });

  int next = 1;
  for (Candidate& c : candidates) {
    while (taken.count(next)) ++next;
    if (next > kComPortCount) break;
    c.entry.comName = QStringLiteral("COM%1").arg(next);
    taken.insert(next);
    entries_.push_back(c.entry);
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
  if (ComNumber(comName) == 0) return {};
  // A link wins and is read directly; only a name without one needs the system's port list,
  // which may have changed since (an adapter re-plugged), so that is read again.
  const QFileInfo link(QDir(portsFolder_).filePath(comName));
  if (!portsFolder_.isEmpty() && (link.exists() || link.isSymLink())) return link.filePath();
  Refresh();
  for (const Entry& e : entries_)
    if (e.comName == comName) return e.path;
  return {};
}

}  // namespace kvn

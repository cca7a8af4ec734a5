#include "parameters/form/find_control.h"

#include <QWidget>
#include <array>

namespace kvn {

namespace {

struct ContainerEntry {
  int code;
  const char* name;
};

constexpr std::array<ContainerEntry, 9> kContainers = {{
    {container::Status, "pnl_status"},
    {container::Device, "tab_device"},
    {container::Measure, "tab_measure"},
    {container::Output, "tab_output"},
    {container::Diag, "tab_diag"},
    {7, "tab_proc_data"},
    {8, "tab_sys_diag"},
    {9, "tab_log"},
    {10, "tab_report"},
}};

// Grid panels below `parent` are opened while `depth` allows; depth 0 compares names only.
QWidget* SearchChildren(const QWidget& parent, const QString& name, int depth) {
  for (QObject* object : parent.children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child == nullptr) continue;
    if (child->objectName() == name) return child;
    if (depth > 0 && IsGridPanel(*child)) {
      if (QWidget* found = SearchChildren(*child, name, depth - 1)) return found;
    }
  }
  return nullptr;
}

}  // namespace

QString ContainerName(int container) {
  for (const ContainerEntry& entry : kContainers) {
    if (entry.code == container) return QString::fromLatin1(entry.name);
  }
  return {};
}

QWidget* FindContainer(const QWidget& root, int container) {
  const QString name = ContainerName(container);
  if (name.isEmpty()) return nullptr;
  if (root.objectName() == name) return const_cast<QWidget*>(&root);
  return root.findChild<QWidget*>(name);
}

bool IsGridPanel(const QWidget& widget) {
  return widget.objectName().startsWith(QLatin1String("gpl_"));
}

QWidget* FindControlIn(const QWidget& container, const QString& name, int container_code) {
  // A page opens two levels of grid panels; the status panel none.
  const int depth = container_code == container::Status ? 0 : 2;
  return SearchChildren(container, name, depth);
}

QWidget* FindControl(const QWidget& root, const QString& name, int container) {
  const QWidget* holder = FindContainer(root, container);
  return holder == nullptr ? nullptr : FindControlIn(*holder, name, container);
}

}  // namespace kvn

#pragma once
#include <QString>

#include "texts/containers.h"

class QWidget;

namespace kvn {

// Object name of the widget that stands for a container code ("pnl_status", "tab_device",
// ...), or an empty text for a code that names no container.
QString ContainerName(int container);

// The container widget of a code, looked for anywhere below root; nullptr when the code names
// no container or the window has no such widget.
QWidget* FindContainer(const QWidget& root, int container);

// Grid panels are the layout rows and sections of the pages; by the window's naming rule
// their names begin with "gpl_". Lookup by name descends into them and into nothing else.
bool IsGridPanel(const QWidget& widget);

// The control with that name inside one container widget. The status panel (code 2) is
// searched in its direct children only; a page is searched in its direct children, the
// children of grid panels among them and the children of grid panels nested one level
// further, depth first in child order. Names compare exactly.
QWidget* FindControlIn(const QWidget& container, const QString& name, int container_code);

// The main window's control with that name inside the container of that code, or nullptr.
QWidget* FindControl(const QWidget& root, const QString& name, int container);

}  // namespace kvn

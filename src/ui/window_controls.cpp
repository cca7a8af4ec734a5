#include "ui/window_controls.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>

#include "parameters/form/find_control.h"

namespace kvn {

QWidget* WindowControls::Find(const QString& name, int container) const {
  const QString key = name + QLatin1Char('@') + QString::number(container);
  auto it = found_->constFind(key);
  if (it != found_->constEnd() && !it->isNull()) return it->data();
  QWidget* w = FindControl(root_, name, container);
  if (w) found_->insert(key, w);
  return w;
}

QLabel* WindowControls::Label(const QString& name, int container) const {
  return qobject_cast<QLabel*>(Find(name, container));
}

QAction* WindowControls::MenuItem(const QString& name) const {
  return root_.findChild<QAction*>(name);
}

QTabWidget* WindowControls::Pages() const {
  return root_.findChild<QTabWidget*>(QStringLiteral("pg_ctrl1"));
}

void WindowControls::SetText(const QString& name, int container, const QString& text) const {
  if (QLabel* label = Label(name, container)) label->setText(text);
}

void WindowControls::SetTextColour(const QString& name, int container, const QColor& colour) const {
  QLabel* label = Label(name, container);
  // Set twice a second by the poll: a palette change repaints, so only when it changes.
  if (!label || label->palette().color(QPalette::WindowText) == colour) return;
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, colour);
  label->setPalette(p);
}

void WindowControls::Enable(const QString& name, int container, bool enabled) const {
  if (QWidget* w = Find(name, container)) w->setEnabled(enabled);
}

void WindowControls::Show(const QString& name, int container, bool shown) const {
  if (QWidget* w = Find(name, container)) w->setVisible(shown);
}

void WindowControls::EnableMenu(const QString& name, bool enabled) const {
  if (QAction* a = MenuItem(name)) a->setEnabled(enabled);
}

void WindowControls::ShowPage(const QString& name, bool shown) const {
  QTabWidget* pages = Pages();
  if (!pages) return;
  for (int i = 0; i < pages->count(); ++i)
    if (pages->widget(i)->objectName() == name) pages->setTabVisible(i, shown);
}

}  // namespace kvn

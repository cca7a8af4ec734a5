#pragma once
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QString>
#include <memory>

#include "texts/containers.h"

class QAction;
class QLabel;
class QTabWidget;
class QWidget;

namespace kvn {

// The device operations reach the window's controls by name, as the text table and the
// parameter table do, so they need no knowledge of how the window builds its pages. A name
// the window lacks is skipped silently: the collection of captions reports missing controls.
class WindowControls {
 public:
  explicit WindowControls(QWidget& root) : root_(root) {}

  QWidget& Root() const { return root_; }
  QWidget* Find(const QString& name, int container) const;
  QLabel* Label(const QString& name, int container) const;
  QAction* MenuItem(const QString& name) const;
  QTabWidget* Pages() const;

  void SetText(const QString& name, int container, const QString& text) const;
  void SetTextColour(const QString& name, int container, const QColor& colour) const;
  void Enable(const QString& name, int container, bool enabled) const;
  void Show(const QString& name, int container, bool shown) const;
  void EnableMenu(const QString& name, bool enabled) const;
  // Hides or shows the page of pg_ctrl1 with that object name.
  void ShowPage(const QString& name, bool shown) const;

 private:
  QWidget& root_;
  // The poll writes the same few dozen controls twice a second: look each up once.
  std::shared_ptr<QHash<QString, QPointer<QWidget>>> found_ =
      std::make_shared<QHash<QString, QPointer<QWidget>>>();
};

}  // namespace kvn

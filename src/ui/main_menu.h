#pragma once

class QAction;
class QMainWindow;
class QMenuBar;
class QString;

namespace kvn {

// Builds the main menu men_main: File, Access level, Settings, Device default. Every item is a
// QAction named after its text-table key; a top-level item is its menu's menuAction().
QMenuBar* BuildMainMenu(QMainWindow& window);

// Writes the items outside the text table again in the current translation: the menu is built
// before the translation is loaded.
void RetranslateMainMenu(QMenuBar& menu);

// The first top-level item or direct sub-item with that name; deeper levels are not searched.
QAction* FindMenuItem(const QMenuBar& menu, const QString& key);

}  // namespace kvn

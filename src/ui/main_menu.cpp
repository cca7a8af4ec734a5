#include "ui/main_menu.h"

#include "operations/operation_names.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <span>

namespace kvn {

namespace {

struct MenuEntry {
  const char* name;  // nullptr: separator
  const char* caption;
  bool checkable = false;
  bool translated = false;  // a caption outside the text table: through tr()
};

struct TopMenu {
  const char* name;
  const char* caption;
  std::span<const MenuEntry> items;
  bool enabled;
};

constexpr MenuEntry kFileItems[] = {
    {"men_file_load_cfg", "Load configuration"},
    {"men_file_save_cfg", "Save configuration"},
    {"men_file_cmp_dev", QT_TRANSLATE_NOOP("kvn::MainMenu", "Compare with device..."), false, true},
    {"men_file_cmp_file", QT_TRANSLATE_NOOP("kvn::MainMenu", "Compare with file..."), false, true},
    {nullptr, nullptr},
    {"men_file_history", QT_TRANSLATE_NOOP("kvn::MainMenu", "Change history..."), false, true},
    {"men_file_records_server", QT_TRANSLATE_NOOP("kvn::MainMenu", "Records server..."), false, true},
    {nullptr, nullptr},
    {"men_file_quit", "Quit"},
    {nullptr, nullptr},
    {"men_file_about", "About"},
};

constexpr MenuEntry kAccessItems[] = {
    {"men_perm_admin", "Admin", true},
    {"men_perm_user", "User", true},
};

constexpr MenuEntry kSettingsItems[] = {
    {"men_settings_if", "Interface settings..."},
    {"men_settings_plot", "Plot settings..."},
};

constexpr MenuEntry kDeviceItems[] = {
    {kRestoreOperation.key, kRestoreOperation.caption},
    {kSaveDefaultOperation.key, kSaveDefaultOperation.caption},
};

// The device-default menu waits for a device that accepts it (switched by the live poll).
constexpr TopMenu kMenus[] = {
    {"men_file", "File", kFileItems, true},
    {"men_perm", "Access level", kAccessItems, true},
    {"men_settings", "Settings", kSettingsItems, true},
    {"men_device", "Device default", kDeviceItems, false},
};

QString TranslatedCaption(const MenuEntry& item) {
  return QCoreApplication::translate("kvn::MainMenu", item.caption);
}

}  // namespace

QMenuBar* BuildMainMenu(QMainWindow& window) {
  auto* bar = new QMenuBar(&window);
  bar->setObjectName(QStringLiteral("men_main"));
  for (const TopMenu& top : kMenus) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(top.caption));
    menu->menuAction()->setObjectName(QString::fromUtf8(top.name));
    menu->menuAction()->setEnabled(top.enabled);
    for (const MenuEntry& item : top.items) {
      if (item.name == nullptr) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(item.translated ? TranslatedCaption(item) : QString::fromUtf8(item.caption));
      action->setObjectName(QString::fromUtf8(item.name));
      action->setCheckable(item.checkable);
    }
  }
  window.setMenuBar(bar);
  return bar;
}

void RetranslateMainMenu(QMenuBar& menu) {
  for (const TopMenu& top : kMenus)
    for (const MenuEntry& item : top.items)
      if (item.translated)
        if (QAction* action = FindMenuItem(menu, QString::fromUtf8(item.name))) action->setText(TranslatedCaption(item));
}

QAction* FindMenuItem(const QMenuBar& menu, const QString& key) {
  for (QAction* top : menu.actions()) {
    if (top->objectName() == key) return top;
    if (top->menu() == nullptr) continue;
    for (QAction* item : top->menu()->actions()) {
      if (!item->isSeparator() && item->objectName() == key) return item;
    }
  }
  return nullptr;
}

}  // namespace kvn

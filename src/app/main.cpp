#include <QApplication>

#include "app/application.h"
#include "device_link/pause.h"
#include "texts/program_settings.h"
#include "texts/recent_folders.h"
#include "ui/logo.h"
#include "ui/qt_prompts.h"
#include "ui/theme.h"
#include "ui/window_texts.h"

// Program start: the light theme, the application title, then the program-wide state and the
// windows in their creation order (the main window runs its start-up sequence as it is made).
int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);
  // The desktop pairs the window with the menu entry of this name (its icon, its task-bar
  // group); the built-in icon holds until an icon file of the working directory replaces it.
  QGuiApplication::setDesktopFileName(QStringLiteral(KVN_APP_ID));
  QApplication::setWindowIcon(kvn::BuiltInIconSet());
  kvn::theme::ApplyLightTheme(qtApp);
  kvn::SetApplicationTitle(QStringLiteral("Korvane"));

  // The folders last used by the file dialogs are kept beside the settings, and like them
  // written when the engineer quits.
  kvn::RecentFolders folders;
  folders.Load(kvn::WorkDirectory(kvn::DefaultWorkBase()));
  kvn::QtPrompts prompts(nullptr, &folders);
  kvn::Pause pause;
  kvn::Application app(prompts, pause, {kvn::DefaultWorkBase(), kvn::LocaleDecimalSeparator()});
  app.Window().show();
  const int status = QApplication::exec();
  folders.Save(app.WorkDir());
  return status;
}

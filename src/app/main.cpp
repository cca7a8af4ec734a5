#include <QApplication>
#include <QString>

#include "device_link/pause.h"
#include "device_link/register_image.h"
#include "parameters/value_codec.h"
#include "texts/setup_record.h"
#include "texts/texts.h"
#include "ui/main_form.h"
#include "ui/qt_prompts.h"
#include "ui/theme.h"

// Program start: the light theme, the application title, the program-wide state and the
// windows in their creation order. The main window runs its start-up sequence while it is
// being created, before any dialog exists.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kvn::theme::ApplyLightTheme(app);
  QApplication::setApplicationDisplayName(QStringLiteral("Korvane"));

  kvn::Texts texts;
  kvn::LocSetupRec setup;
  const auto images = kvn::MakeRegisterImages();
  const kvn::Codec codec(kvn::LocaleDecimalSeparator(), *images);
  kvn::QtPrompts prompts;
  kvn::Pause pause;
  QString startupErrors;

  kvn::TMain_Form mainForm({texts, setup, *images, codec, prompts, pause, startupErrors, {}});
  // Still to come in this order: the file-dialog holder, the interface-settings and
  // plot-settings dialogs, the parameter-update dialog, the about box and the two indicator
  // windows.
  mainForm.show();
  return QApplication::exec();
}

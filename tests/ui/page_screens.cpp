// Saves a picture of every page of the main window, for looking at the layout:
//   kvn_page_screens [output folder]   (default /tmp), files kvn_page_0.png .. kvn_page_7.png
#include <QApplication>
#include <QDir>
#include <QTabWidget>

#include "ui/theme.h"
#include "ui/window_texts.h"
#include "window_fixture.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  kvn::theme::ApplyLightTheme(app);
  kvn::SetApplicationTitle(QStringLiteral("Korvane"));
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp"));
  kvn::test::WindowUnderTest window;
  kvn::TMain_Form& form = window.Start();
  form.show();
  for (int page = 0; page < form.pg_ctrl1->count(); ++page) {
    form.ShowPage(page);
    QApplication::processEvents();
    const QString file = out.filePath(QStringLiteral("kvn_page_%1.png").arg(page));
    if (!form.grab().save(file)) return 1;
  }
  return window.prompts.NothingShown() ? 0 : 2;
}

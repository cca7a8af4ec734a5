// The program starting with a translation of the texts beyond the table (made by lrelease at
// build time) beside its pack: which file it takes, and what the window and the core then say.
#include <gtest/gtest.h>

#include <QFile>
#include <QMenuBar>
#include <QPushButton>

#include "device_link/serial_link.h"
#include "e2e/live_app.h"
#include "lngpack/lngpack.h"
#include "lngpack/pack_files.h"
#include "operations/change_history.h"
#include "ui/compare_window.h"
#include "ui/main_menu.h"
#include "ui/param_upd_dialog.h"

namespace kvn::test {
namespace {

struct TranslationCase {
  const char *name, *pack, *qm;  // pack: none when nullptr
  QByteArray qmBytes;            // empty: the one lrelease made
  bool translated;
};

// A menu item, a dialog's and a window's buttons, the history header, a port state.
const QStringList kEnglish = {"Compare with device...", "Close", "Show changes...", "Date and time", "in use"};
const QStringList kGerman = {"Mit Gerät vergleichen...", "Schließen", "Änderungen zeigen...", "Datum und Uhrzeit", "belegt"};

class TranslationStart : public LiveApp, public ::testing::WithParamInterface<TranslationCase> {
 protected:
  void TearDown() override {
    LiveApp::TearDown();
    dir.reset();
  }
  QStringList Shown() const {
    return {FindMenuItem(*app->Window().men_main, QStringLiteral("men_file_cmp_dev"))->text(),
            app->compareWindow->findChild<QPushButton*>()->text(),
            app->paramUpd->findChild<QPushButton*>(QStringLiteral("cmd_show_changes"))->text(),
            HistoryHeader().value(0), RefusalText(PortState::InUse)};
  }
  std::unique_ptr<ScratchWorkingDirectory> dir = std::make_unique<ScratchWorkingDirectory>();
};

TEST_P(TranslationStart, TakesTheTranslationOfThePacksLanguageOnly) {
  const TranslationCase& c = GetParam();
  QString out;
  QTextStream o(&out);
  if (c.pack) {
    ASSERT_EQ(lngpack::Base(dir->Path(c.pack), lngpack::BuiltInTexts(), o, o), 0);
    ASSERT_EQ(lngpack::Seal(dir->Path(c.pack), o, o), 0);
  }
  QFile qm(dir->Path(c.qm));
  const bool made = c.qmBytes.isEmpty() ? QFile::copy(QStringLiteral(KVN_TEST_QM), qm.fileName())
                                         : qm.open(QIODevice::WriteOnly) && qm.write(c.qmBytes) > 0;
  ASSERT_TRUE(made);
  qm.close();
  StartProgram();
  EXPECT_EQ(Shown(), c.translated ? kGerman : kEnglish);
  const QString damaged = qm.fileName() + QStringLiteral(": not a translation file\r\n");
  EXPECT_EQ(app->startupErrors.contains(damaged), !c.qmBytes.isEmpty());
  app.reset();  // the translation goes with the program
  EXPECT_EQ(HistoryHeader().value(0), kEnglish[3]);
}

INSTANTIATE_TEST_SUITE_P(Start, TranslationStart,
                         ::testing::Values(TranslationCase{"beside_its_pack", "de.lngpack", "korvane_de.qm", {}, true},
                                           TranslationCase{"without_a_pack", nullptr, "korvane_de.qm", {}, false},
                                           TranslationCase{"of_another_language", "el.lngpack", "korvane_de.qm", {}, false},
                                           TranslationCase{"missing", "de.lngpack", "korvane_el.qm", {}, false},
                                           TranslationCase{"damaged", "de.lngpack", "korvane_de.qm", "no qm", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvn::test

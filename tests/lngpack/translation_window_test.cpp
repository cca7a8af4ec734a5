// The program starting with a translation of the texts beyond the table (made by lrelease at
// build time) beside its pack: which file it takes, and what the window and the core then say.
#include <gtest/gtest.h>

#include <QCoreApplication>
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
#include "ui/about_dialog.h"
#include "ui/button_texts.h"
#include "ui/setup_diag_dialog.h"
#include "ui/setup_if_dialog.h"

#include <QLayout>
#include <QStyle>

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

// German captions, longer than the design's buttons were drawn for.
const std::pair<const char*, const char*> kGermanButtons[] = {
    {"cmd_read_param", "Geräteeinstellungen auslesen und anzeigen"},
    {"cmd_enter_prog", "Programmiermodus des Geräts starten"},
    {"cmd_out_report", "PDF-Bericht der Konfiguration erzeugen"},
    {"cmd_load_log", "Ereignisprotokoll vom Gerät laden"},
};

class GermanStart : public TranslationStart {
 protected:
  void SetUp() override {
    TranslationStart::SetUp();
    QString out;
    QTextStream o(&out);
    const QString pack = dir->Path(QStringLiteral("de.lngpack"));
    ASSERT_EQ(lngpack::Base(pack, lngpack::BuiltInTexts(), o, o), 0);
    QStringList lines = ReadPackLines(pack);
    for (const auto& [key, text] : kGermanButtons) lines[LineOf(key)] = QString::fromUtf8(text);
    ASSERT_TRUE(WritePackLines(pack, lines));
    ASSERT_EQ(lngpack::Seal(pack, o, o), 0);
    ASSERT_TRUE(QFile::copy(QStringLiteral(KVN_TEST_QM), dir->Path(QStringLiteral("korvane_de.qm"))));
    StartProgram();
  }
};

// Every button of the window and its dialogs shows its whole German text, "Show changes..."
// too; the standard buttons speak German from Qt's own catalogue.
TEST_F(GermanStart, ButtonsHoldTheirWholeTextAndStandardButtonsAreTranslated) {
  app->paramUpd->findChild<QPushButton*>(QStringLiteral("cmd_show_changes"))->show();
  QCoreApplication::processEvents();  // the layouts place what the texts made wider
  const std::vector<QWidget*> windows = {&app->Window(), app->paramUpd.get(), app->compareWindow.get(),
                                         app->setupInterface.get(), app->setupPlot.get(), app->about.get()};
  for (QWidget* window : windows) {
    if (window->layout()) window->layout()->activate();
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
      // A layout places only the buttons shown; one of fixed width has its width anyway.
      const bool placed = !window->layout() || button->isVisibleTo(window) ||
                          button->minimumWidth() == button->maximumWidth();
      if (button->isHidden() || !placed) continue;
      const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
      const int textWidth = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&'));
      EXPECT_LE(textWidth, button->width() - margin) << button->objectName().toStdString() << ": "
                                                     << button->text().toStdString();
    }
  }
  EXPECT_FALSE(app->translation.QtFile().isEmpty());
  EXPECT_EQ((QStringList{StandardButtonText("&Yes"), StandardButtonText("&No"), StandardButtonText("Cancel")}),
            (QStringList{"&Ja", "&Nein", "Abbrechen"}));
}

}  // namespace
}  // namespace kvn::test

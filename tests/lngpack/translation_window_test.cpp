// The program starting with a translation of the texts beyond the table beside its pack: which
// file it takes, and what the window, the dialogs and the core's texts then say.
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

enum class Qm { None, Built, Damaged };

struct TranslationCase {
  const char* name;
  const char* pack;    // the pack in the working directory; nullptr: none
  const char* qmName;  // where the translation lies
  Qm qm;
  bool translated;
  const char* logLine;  // what the start-up log says besides a missing pack; empty: nothing
};

// What a window and the core show of the texts beyond the table, English first.
struct Shown {
  QString menu, close, showChanges, historyHeader, portInUse;
};
const Shown kEnglish{QStringLiteral("Compare with device..."), QStringLiteral("Close"),
                     QStringLiteral("Show changes..."), QStringLiteral("Date and time"), QStringLiteral("in use")};
const Shown kGerman{QStringLiteral("Mit Gerät vergleichen..."), QStringLiteral("Schließen"),
                    QStringLiteral("Änderungen zeigen..."), QStringLiteral("Datum und Uhrzeit"), QStringLiteral("belegt")};

class TranslationStart : public LiveApp, public ::testing::WithParamInterface<TranslationCase> {
 protected:
  void TearDown() override {
    LiveApp::TearDown();
    dir.reset();
  }
  void WritePack(const char* name) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const QString path = dir->Path(QString::fromUtf8(name));
    ASSERT_EQ(lngpack::Base(path, lngpack::BuiltInTexts(), o, e), 0);
    ASSERT_EQ(lngpack::Seal(path, o, e), 0);
  }
  void WriteQm(const char* name, Qm kind) {
    const QString path = dir->Path(QString::fromUtf8(name));
    if (kind == Qm::Built) ASSERT_TRUE(QFile::copy(QStringLiteral(KVN_TEST_QM), path));
    if (kind == Qm::Damaged) {
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(QByteArray(64, 'x'));
    }
  }
  Shown Now() const {
    Shown s;
    QAction* item = FindMenuItem(*app->Window().men_main, QStringLiteral("men_file_cmp_dev"));
    s.menu = item ? item->text() : QString();
    for (QPushButton* b : app->compareWindow->findChildren<QPushButton*>()) s.close += b->text();
    auto* changes = app->paramUpd->findChild<QPushButton*>(QStringLiteral("cmd_show_changes"));
    s.showChanges = changes ? changes->text() : QString();
    s.historyHeader = HistoryHeader().value(0);
    s.portInUse = RefusalText(PortState::InUse);
    return s;
  }
  static void ExpectShown(const Shown& now, const Shown& due) {
    EXPECT_EQ(now.menu, due.menu);
    EXPECT_EQ(now.close, due.close);
    EXPECT_EQ(now.showChanges, due.showChanges);
    EXPECT_EQ(now.historyHeader, due.historyHeader);
    EXPECT_EQ(now.portInUse, due.portInUse);
  }

  std::unique_ptr<ScratchWorkingDirectory> dir = std::make_unique<ScratchWorkingDirectory>();
};

TEST_P(TranslationStart, TakesTheTranslationOfThePacksLanguageOnly) {
  const TranslationCase& c = GetParam();
  if (c.pack) WritePack(c.pack);
  WriteQm(c.qmName, c.qm);
  StartProgram();
  ExpectShown(Now(), c.translated ? kGerman : kEnglish);
  EXPECT_EQ(app->translation.File().isEmpty(), !c.translated);
  QString log = c.pack ? QString() : QStringLiteral("language pack file not found\r\n");
  if (*c.logLine) log += dir->Path(QString::fromUtf8(c.qmName)) + QString::fromUtf8(c.logLine) + QStringLiteral("\r\n");
  EXPECT_EQ(app->startupErrors, log);
  // The translation goes with the program: the next one in this process starts in English.
  app.reset();
  EXPECT_EQ(HistoryHeader().value(0), kEnglish.historyHeader);
  EXPECT_EQ(RefusalText(PortState::InUse), kEnglish.portInUse);
}

INSTANTIATE_TEST_SUITE_P(
    Start, TranslationStart,
    ::testing::Values(TranslationCase{"beside_its_pack", "de.lngpack", "korvane_de.qm", Qm::Built, true, ""},
                      TranslationCase{"without_a_pack", nullptr, "korvane_de.qm", Qm::Built, false, ""},
                      TranslationCase{"of_another_language", "el.lngpack", "korvane_de.qm", Qm::Built, false, ""},
                      TranslationCase{"missing", "de.lngpack", "korvane_el.qm", Qm::None, false, ""},
                      TranslationCase{"damaged", "de.lngpack", "korvane_de.qm", Qm::Damaged, false,
                                      ": not a translation file"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvn::test

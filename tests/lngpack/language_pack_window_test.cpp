// The whole program starting with and without a pack in its working directory.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

#include "e2e/live_app.h"
#include "lngpack/lngpack.h"
#include "lngpack/pack_files.h"
#include "parameters/form/find_control.h"
#include "texts/text_table.h"
#include "ui/main_menu.h"
#include "ui/window_texts.h"

namespace kvn::test {
namespace {

class LanguagePackStart : public LiveApp {
 protected:
  void TearDown() override {
    LiveApp::TearDown();  // the program goes before its working directory
    dir.reset();
  }
  QString Path(const char* name) const { return dir->Path(QString::fromUtf8(name)); }
  // A sealed Greek pack made the way a translator makes one.
  void WriteGreekPack(const char* name) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const QString path = Path(name);
    ASSERT_EQ(lngpack::Base(path, lngpack::BuiltInTexts(), o, e), 0);
    QStringList lines = ReadPackLines(path);
    Translate(lines);
    ASSERT_TRUE(WritePackLines(path, lines));
    ASSERT_EQ(lngpack::Seal(path, o, e), 0);
  }
  QString TabCaption(const char* name) const {
    QTabWidget& pages = *app->Window().pg_ctrl1;
    for (int i = 0; i < pages.count(); ++i)
      if (pages.widget(i)->objectName() == QLatin1String(name)) return pages.tabText(i);
    return {};
  }
  QString MenuCaption(const char* name) const {
    QAction* item = FindMenuItem(*app->Window().men_main, QString::fromLatin1(name));
    return item ? item->text() : QString();
  }

  std::unique_ptr<ScratchWorkingDirectory> dir = std::make_unique<ScratchWorkingDirectory>();
};

TEST_F(LanguagePackStart, WithoutAPackTheEnglishTextsStayAndTheLogSaysSo) {
  StartProgram();
  EXPECT_EQ(app->startupErrors, QStringLiteral("language pack file not found\r\n"));
  EXPECT_TRUE(QFile::exists(app->WorkDir() + QStringLiteral("/kvn_init.log")));
  EXPECT_EQ(Control<QPushButton>("cmd_read_param")->text(), QStringLiteral("Read device settings"));
}

TEST_F(LanguagePackStart, AGreekPackShowsInTheWindowAndTheExportHoldsIt) {
  WriteGreekPack("el.lngpack");
  StartProgram();
  EXPECT_TRUE(app->startupErrors.isEmpty()) << app->startupErrors.toStdString();
  EXPECT_FALSE(QFile::exists(app->WorkDir() + QStringLiteral("/kvn_init.log")));
  EXPECT_EQ(TabCaption("tab_device"), QStringLiteral(" ΣΥΣΚΕΥΗ "));
  EXPECT_EQ(Text("lbl_usr_tag1"), QStringLiteral("  Ετικέτα θέσης"));
  EXPECT_EQ(Text("lbl_lbl_conn_stat"), QStringLiteral("Κατάσταση συσκευής"));
  EXPECT_EQ(Control<QPushButton>("cmd_read_param")->text(), QStringLiteral("Ανάγνωση ρυθμίσεων"));
  EXPECT_EQ(MenuCaption("men_file"), QStringLiteral("Αρχείο"));
  EXPECT_EQ(app->Window().windowTitle(), QStringLiteral(" Korvane - ρυθμίσεις συσκευής"));
  auto* parity = Control<QComboBox>("cmb_parity");
  ASSERT_EQ(parity->count(), 3);
  EXPECT_EQ(parity->itemText(2), QStringLiteral("περιττή"));

  Control<QPushButton>("Button8")->click();  // hidden, but its handler is the export
  const QStringList exported = ReadPackLines(Path(kBaseLanguageFile));
  ASSERT_EQ(exported.size(), kPackLineCount);
  EXPECT_EQ(exported.mid(0, kTextRowCount), app->texts.CurrentTexts);
  EXPECT_EQ(exported[LineOf("cmd_read_param")], QStringLiteral("Ανάγνωση ρυθμίσεων"));
  EXPECT_TRUE(prompts.Calls().empty());
}

TEST_F(LanguagePackStart, AnEmptyPackEmptiesEveryCaptionAndEveryTableFilledList) {
  QStringList empty(kTextRowCount);
  ASSERT_TRUE(WritePackLines(Path("empty.lngpack"), empty << QStringLiteral("00000000")));
  // The second by name is not read.
  WriteGreekPack("greek.lngpack");
  StartProgram();
  EXPECT_TRUE(app->startupErrors.isEmpty()) << app->startupErrors.toStdString();
  int captions = 0, lists = 0;
  for (int i = 0; i < kTextRowCount; ++i) {
    const TextEntry& row = TextTable[i];
    const QString key = QString::fromLatin1(row.key);
    if (row.number != 0 || row.container < container::Status) continue;
    QWidget* control = FindControl(app->Window(), key, row.container);
    if (!control) continue;
    if (row.kind == TextKind::ComboItems) {
      EXPECT_EQ(qobject_cast<QComboBox*>(control)->count(), 0) << row.key;
      ++lists;
    } else if (row.kind == TextKind::Label || row.kind == TextKind::Button ||
               row.kind == TextKind::CheckBox) {
      EXPECT_TRUE(TrimCaption(control->property("text").toString()).isEmpty()) << row.key;
      ++captions;
    }
  }
  EXPECT_EQ(lists, 7);
  EXPECT_GT(captions, 200);
  EXPECT_EQ(TabCaption("tab_log"), QStringLiteral("  "));
  EXPECT_EQ(MenuCaption("men_file"), QString());
}

}  // namespace
}  // namespace kvn::test

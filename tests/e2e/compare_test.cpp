// Comparing the window's set with the device and with a configuration file, on the real
// window against the simulator: the rows shown, the images and the device left alone, and the
// way from a row to its field.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "e2e/live_app.h"
#include "operations/connection.h"
#include "parameters/config_file.h"
#include "parameters/parameter_table.h"
#include "texts/text_record.h"
#include "ui/compare_window.h"
#include "ui/main_menu.h"

namespace kvn::test {
namespace {

class Compare : public LiveApp {
 protected:
  void SetUp() override {
    LiveApp::SetUp();
    StartProgram();
    Poll();
    app->connection->cmd_read_paramClick();  // the window holds the device's set
    ASSERT_TRUE(app->setup.setup_loaded);
    Poll();  // the menu items follow the new state
    prompts.ClearCalls();
  }
  void Trigger(const char* item) { FindMenuItem(*app->Window().men_main, QString::fromLatin1(item))->trigger(); }
  // Changes an overspeed limit the way the engineer does.
  void TypeLimit(const char* name, const char* text) {
    auto* field = Control<QLineEdit>(name);
    field->setText(QString::fromLatin1(text));
    app->form.TakeEdit(field);
  }
  QTableWidget& Rows() { return app->compareWindow->Table(); }
  QStringList Row(int r) {
    QStringList cells;
    for (int c = 0; c < Rows().columnCount(); ++c) cells << Rows().item(r, c)->text();
    return cells;
  }
  QStringList Headers() {
    QStringList h;
    for (int c = 0; c < Rows().columnCount(); ++c) h << Rows().horizontalHeaderItem(c)->text();
    return h;
  }
};

TEST_F(Compare, WithTheDeviceListsTheChangedLimitsAndOnlyReads) {
  TypeLimit("txt_vmax_lim_1", "2500");
  TypeLimit("txt_vmax_lim_2", "2600");
  const auto before = std::make_unique<RegisterImages>(*app->images);
  sim().ClearRequests();
  Trigger("men_file_cmp_dev");
  EXPECT_TRUE(before->EditImage == app->images->EditImage);
  EXPECT_TRUE(before->DeviceImage == app->images->DeviceImage);
  EXPECT_TRUE(before->VerifyImage == app->images->VerifyImage);
  ASSERT_FALSE(sim().Requests().empty());
  for (const auto& request : sim().Requests()) EXPECT_EQ(request.function, 3);
  EXPECT_EQ(Headers(), (QStringList{"Page", "Parameter", "Window", "Device"}));
  ASSERT_EQ(Rows().rowCount(), 2);
  EXPECT_EQ(Row(0).mid(0, 3), (QStringList{"OUTPUT", "Overspeed limit, Relay 1", "2500.00 RPM"}));
  EXPECT_EQ(Row(1)[1], QStringLiteral("Overspeed limit, Relay 2"));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(Compare, EnterOnARowBringsItsFieldToTheFront) {
  TypeLimit("txt_vmax_lim_2", "2600");
  Trigger("men_file_cmp_dev");
  ASSERT_EQ(Rows().rowCount(), 1);
  QTest::keyClick(&Rows(), Qt::Key_Return);
  EXPECT_EQ(app->Window().pg_ctrl1->currentIndex(), 2);
  EXPECT_EQ(app->Window().focusWidget(), Control<QWidget>("txt_vmax_lim_2"));
}

TEST_F(Compare, WithAFileOfTheSameSetSaysSoInOneLine) {
  const QString path = workBase.filePath(QStringLiteral("signed-off.kvn"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(EncodeTextRecord(ConfigurationText(app->images->EditImage)));
  file.close();
  prompts.QueueFileName(path);
  Trigger("men_file_cmp_file");
  EXPECT_EQ(Headers().last(), QStringLiteral("File"));
  EXPECT_TRUE(Rows().isHidden());
  EXPECT_EQ(app->compareWindow->Summary().text(),
            QStringLiteral("No differences: the window and the file hold the same settings."));
}

TEST_F(Compare, WithABrokenFileShowsWhatALoadShows) {
  const QString path = workBase.filePath(QStringLiteral("broken.kvn"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("1|2|3|\x1a" "99");
  file.close();
  prompts.QueueFileName(path);
  Trigger("men_file_cmp_file");
  EXPECT_EQ(prompts.TextsOf(RecordingPrompts::Kind::Error), QStringList{app->texts.GetMessageText(55)});
  EXPECT_FALSE(app->compareWindow->isVisible());
}

}  // namespace
}  // namespace kvn::test

// Comparing the window's set with the device and with a configuration file, on the real
// window against the simulator: the rows shown, the images and the device left alone, and the
// way from a row to its field.
#include <gtest/gtest.h>

#include <QScrollBar>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <functional>

#include "e2e/live_app.h"
#include "operations/connection.h"
#include "parameters/config_file.h"
#include "parameters/field_kinds.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
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
  // The window's set as a configuration file in the work directory.
  QString SaveWindowSet(const char* name) {
    const QString path = workBase.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(EncodeTextRecord(ConfigurationText(app->images->EditImage)));
    return path;
  }
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

// A device in programming mode answers with writes never committed: the list says so above
// its rows, and so does the box of an equal set.
TEST_F(Compare, WithADeviceInProgrammingModeSaysWhatItsValuesAreWorth) {
  sim().WithModel([](devsim::DeviceModel& m) { m.WriteHolding(reg::ProgCommand, {cmd::EnterProgramming}); });
  Poll();
  Trigger("men_file_cmp_dev");
  EXPECT_TRUE(prompts.Describe().contains(QLatin1String("The device is in programming mode"))) << prompts.Describe().toStdString();
  sim().WithModel([](devsim::DeviceModel& m) { m.WriteHolding(reg::TagNumber, {0x4242}); });
  Trigger("men_file_cmp_dev");
  EXPECT_TRUE(app->compareWindow->Summary().text().startsWith(QLatin1String("The device is in programming mode")));
}

// Both values stay readable: their columns share the width, a long one wraps in its own and
// shows whole in its tooltip.
TEST_F(Compare, ValuesShareTheListsWidthAndALongOneWraps) {
  auto* comment = Control<QLineEdit>("txt_usr_comment");
  comment->setText(QStringLiteral("Overspeed guard changed at night"));
  app->form.TakeEdit(comment);
  Trigger("men_file_cmp_dev");
  ASSERT_EQ(Rows().rowCount(), 1) << prompts.Describe().toStdString();
  app->compareWindow->resize(480, 300);
  QCoreApplication::processEvents();
  EXPECT_NEAR(Rows().columnWidth(2), Rows().columnWidth(3), 1);
  EXPECT_GT(Rows().columnWidth(3), Rows().viewport()->width() / 5);
  EXPECT_FALSE(Rows().horizontalScrollBar()->isVisible());
  EXPECT_EQ(Rows().item(0, 2)->toolTip(), comment->text());
  ASSERT_GT(Rows().fontMetrics().horizontalAdvance(comment->text()), Rows().columnWidth(2));
  EXPECT_GT(Rows().rowHeight(0), 3 * Rows().fontMetrics().height() / 2) << "the long values wrap";
}

TEST_F(Compare, EnterOnARowBringsItsFieldToTheFront) {
  TypeLimit("txt_vmax_lim_2", "2600");
  Trigger("men_file_cmp_dev");
  ASSERT_EQ(Rows().rowCount(), 1);
  QTest::keyClick(&Rows(), Qt::Key_Return);
  EXPECT_EQ(app->Window().pg_ctrl1->currentIndex(), 2);
  EXPECT_EQ(app->Window().focusWidget(), Control<QWidget>("txt_vmax_lim_2"));
}

// An identical pair is one sentence in a box, and a comparison still open from an earlier pair
// goes; the file is chosen in a dialog of its own title.
TEST_F(Compare, WithAFileOfTheSameSetSaysSoInABox) {
  TypeLimit("txt_vmax_lim_2", "2600");
  Trigger("men_file_cmp_dev");
  ASSERT_TRUE(app->compareWindow->isVisible());
  const QString path = SaveWindowSet("signed-off.kvn");
  prompts.ClearCalls();
  prompts.QueueFileName(path);
  Trigger("men_file_cmp_file");
  ASSERT_EQ(prompts.Calls().size(), 2u) << prompts.Describe().toStdString();
  EXPECT_EQ(prompts.Calls()[0].kind, RecordingPrompts::Kind::OpenFile);
  EXPECT_EQ(prompts.Calls()[0].text, QStringLiteral("Compare with Config File"));
  EXPECT_EQ(prompts.Calls()[1].kind, RecordingPrompts::Kind::Info);
  EXPECT_EQ(prompts.Calls()[1].text, QStringLiteral("No differences: the window and the file hold the same settings."));
  EXPECT_FALSE(app->compareWindow->isVisible());
}

TEST_F(Compare, WithTheDeviceHoldingTheSameSetSaysSoInABox) {
  Trigger("men_file_cmp_dev");
  EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Info,
                                    QStringLiteral("No differences: the window and the device hold the same settings.")))
      << prompts.Describe().toStdString();
  EXPECT_FALSE(app->compareWindow->isVisible());
}

// Differences the window's texts do not show, against the device's set as the simulator holds it.
struct Hidden {
  const char* what;
  std::function<void(RegisterImage& edit)> change;
  int reg;                // the one register changed
  const char* parameter;  // the Parameter column
  const char* field;      // its field, whose text hides the difference; nullptr for a register
};

const Hidden kHidden[] = {
    {"a limit one step of the float above the device's",
     [](RegisterImage& e) {
       const int r = RegisterOfName("txt_vmin_lim_1");
       WriteFloat(e, r, std::nextafter(ReadFloat(e, r), 1e9f));
     },
     5566, "Underspeed limit, Relay 1 (differs below the shown precision)", "txt_vmin_lim_1"},
    {"a register of the output block no field shows", [](RegisterImage& e) { e[5505] ^= 0x0007; }, 5505,
     "Register 5505", nullptr},
};

class CompareHidden : public Compare, public ::testing::WithParamInterface<Hidden> {};

TEST_P(CompareHidden, WithTheDeviceListsWhatTheTextsHide) {
  RegisterImage& edit = app->images->EditImage;
  GetParam().change(edit);
  app->blocks.UpdateBlockCrc(Block(BlockId::Output));
  Trigger("men_file_cmp_dev");
  ASSERT_EQ(Rows().rowCount(), 1) << prompts.Describe().toStdString();
  const int r = GetParam().reg;
  auto hex = [](int value) { return QStringLiteral("0x") + QString::number(value & 0xFFFF, 16).toUpper().rightJustified(4, QLatin1Char('0')); };
  EXPECT_EQ(Row(0)[1], QString::fromUtf8(GetParam().parameter));
  if (GetParam().field != nullptr) {
    const QString shown = ShownText(app->texts, app->codec, edit, *FindParameter(GetParam().field));
    EXPECT_EQ(Row(0)[2], shown + QStringLiteral(" [%1=%2]").arg(r).arg(hex(edit[r])));
    EXPECT_EQ(Row(0)[3], shown + QStringLiteral(" [%1=%2]").arg(r).arg(hex(sim().Register(r))));
  } else {
    EXPECT_EQ(Row(0)[2], hex(edit[r]));
    EXPECT_EQ(Row(0)[3], hex(sim().Register(r)));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareHidden, ::testing::ValuesIn(kHidden),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

// After Enter on a row the comparison stands clear of the field it brought to the front, on
// whichever page and wherever on it the field lies.
struct Field {
  const char* name;
  const char* text;
};

class CompareBeside : public Compare, public ::testing::WithParamInterface<Field> {};

TEST_P(CompareBeside, DoesNotCoverTheFieldItBringsToTheFront) {
  auto* field = Control<QLineEdit>(GetParam().name);
  field->setText(QString::fromLatin1(GetParam().text));
  app->form.TakeEdit(field);
  Trigger("men_file_cmp_dev");
  ASSERT_EQ(Rows().rowCount(), 1) << prompts.Describe().toStdString();
  QTest::keyClick(&Rows(), Qt::Key_Return);
  QCoreApplication::processEvents();
  ASSERT_EQ(app->Window().focusWidget(), field);
  const QRect fieldOnScreen(field->mapToGlobal(QPoint(0, 0)), field->size());
  const QRect compare = app->compareWindow->frameGeometry();
  EXPECT_TRUE(app->compareWindow->isVisible());
  EXPECT_FALSE(compare.intersects(fieldOnScreen)) << "window " << compare.x() << "," << compare.y() << " "
                                                  << compare.width() << "x" << compare.height();
}

INSTANTIATE_TEST_SUITE_P(Fields, CompareBeside,
                         ::testing::Values(Field{"txt_vmax_lim_2", "2600"}, Field{"txt_usr_comment", "moved"},
                                           Field{"txt_teeth", "61"}, Field{"txt_aout_err_val", "3.1"},
                                           Field{"txt_diag_aouterr", "0.75"}),
                         [](const auto& info) { return std::string(info.param.name); });

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

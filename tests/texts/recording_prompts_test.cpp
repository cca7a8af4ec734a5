#include <gtest/gtest.h>

#include "support/recording_prompts.h"

namespace kvn {
namespace {

using Kind = RecordingPrompts::Kind;

// Other tests rely on these answers: queued ones in order, then the answer of a user who backs out.
TEST(RecordingPrompts, AnswersFromQueuesThenBacksOut) {
  RecordingPrompts prompts;
  prompts.QueueConfirm(true);
  prompts.QueueConfirm(false);
  prompts.QueueYesNo(true);
  prompts.QueueInput(QStringLiteral("secret"));
  prompts.QueueFileName(QStringLiteral("/tmp/a.kvn"));
  prompts.QueueColor(QColor(Qt::red));
  EXPECT_FALSE(prompts.AllAnswersUsed());

  EXPECT_TRUE(prompts.ConfirmOkCancel(QStringLiteral("c1")));
  EXPECT_FALSE(prompts.ConfirmOkCancel(QStringLiteral("c2")));
  EXPECT_FALSE(prompts.ConfirmOkCancel(QStringLiteral("c3")));
  EXPECT_TRUE(prompts.AskYesNo(QStringLiteral("q1")));
  EXPECT_FALSE(prompts.AskYesNo(QStringLiteral("q2")));
  EXPECT_EQ(prompts.InputText(QStringLiteral("T"), QStringLiteral("Enter password"), true),
            std::optional<QString>(QStringLiteral("secret")));
  EXPECT_EQ(prompts.InputText(QStringLiteral("T"), QStringLiteral("again"), false), std::nullopt);
  EXPECT_EQ(prompts.SaveFileName(QStringLiteral("Save"), QStringLiteral("K (*.kvn)"),
                                 QStringLiteral("kvn")),
            QStringLiteral("/tmp/a.kvn"));
  EXPECT_EQ(prompts.OpenFileName(QStringLiteral("Load"), QString(), QString()), QString());
  EXPECT_EQ(prompts.PickColor(QColor(Qt::blue)), std::optional<QColor>(QColor(Qt::red)));
  EXPECT_EQ(prompts.PickColor(QColor(Qt::blue)), std::nullopt);
  EXPECT_TRUE(prompts.AllAnswersUsed());

  EXPECT_EQ(prompts.TextsOf(Kind::Confirm),
            (QStringList{QStringLiteral("c1"), QStringLiteral("c2"), QStringLiteral("c3")}));
  ASSERT_EQ(prompts.Calls().size(), 11u);
  EXPECT_EQ(prompts.Calls()[5], (RecordingPrompts::Call{
                .kind = Kind::Input, .text = "Enter password", .title = "T", .masked = true}));
  EXPECT_EQ(prompts.Calls()[7],
            (RecordingPrompts::Call{
                .kind = Kind::SaveFile, .text = "Save", .filter = "K (*.kvn)", .default_ext = "kvn"}));
  EXPECT_EQ(prompts.Calls()[9].text, QStringLiteral("#0000ff"));
}

TEST(RecordingPrompts, ShowedExactlyMeansOneMatchingBox) {
  RecordingPrompts prompts;
  EXPECT_TRUE(prompts.NothingShown());
  EXPECT_FALSE(prompts.ShowedExactly(Kind::Error, QStringLiteral("x")));
  prompts.ShowError(QStringLiteral("x"));
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Error, QStringLiteral("x")));
  EXPECT_FALSE(prompts.ShowedExactly(Kind::Info, QStringLiteral("x")));
  EXPECT_FALSE(prompts.ShowedExactly(Kind::Error, QStringLiteral("x ")));
  prompts.ShowInfo(QStringLiteral("y"));
  EXPECT_FALSE(prompts.ShowedExactly(Kind::Error, QStringLiteral("x")));
  EXPECT_EQ(prompts.Describe(), QStringLiteral("Error: x\nInfo: y"));
  prompts.ClearCalls();
  EXPECT_TRUE(prompts.NothingShown());
}

// The three single-button boxes are told apart: an error, an information and a plain message.
TEST(RecordingPrompts, EachBoxIsRecordedWithItsKind) {
  const std::pair<void (Prompts::*)(const QString&), Kind> boxes[] = {
      {&Prompts::ShowError, Kind::Error},
      {&Prompts::ShowInfo, Kind::Info},
      {&Prompts::ShowMessage, Kind::Message}};
  RecordingPrompts prompts;
  for (const auto& [show, kind] : boxes) (prompts.*show)(QString::fromLatin1(KindName(kind)));
  EXPECT_EQ(prompts.Describe(), QStringLiteral("Error: Error\nInfo: Info\nMessage: Message"));
}

}  // namespace
}  // namespace kvn

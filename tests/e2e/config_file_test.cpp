// Configuration files on the real window against the simulator: save and load sequences,
// the checks of a file read back, and what a failed save or load leaves behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <functional>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "app/window_commands.h"
#include "devsim/registers.h"
#include "operations/connection.h"
#include "e2e/live_app.h"
#include "parameters/config_file.h"
#include "support/file_size_limit.h"

namespace kvn::test {
namespace {

using Kind = RecordingPrompts::Kind;

constexpr const char* kInvalid = "Configuration file invalid.";

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// A record written the way the file format describes it, independently of the program:
// the text byte by byte, SUB, the sum of (code XOR 0x7171) in decimal.
QByteArray RecordOf(const QByteArray& text) {
  int32_t sum = 0;
  for (char c : text) sum = static_cast<int32_t>(static_cast<uint32_t>(sum) + (static_cast<uint8_t>(c) ^ 0x7171u));
  return text + '\x1a' + QByteArray::number(sum);
}

class ConfigFiles : public LiveApp {
 protected:
  // The one box of that kind, with that text (file dialogs are shown besides).
  bool Shown(Kind kind, const QString& text) const { return prompts.TextsOf(kind) == QStringList{text}; }
  void SetUp() override {
    LiveApp::SetUp();
    StartProgram();
    Poll();
    app->connection->cmd_read_paramClick();  // a parameter set from the device
    ASSERT_TRUE(app->setup.setup_loaded);
    prompts.ClearCalls();
  }
  QString PathOf(const char* name) const { return files.filePath(QString::fromLatin1(name)); }
  void Save(const QString& path) {
    prompts.QueueFileName(path);
    app->commands->men_file_save_cfgClick();
  }
  void Load(const QString& path) {
    prompts.QueueFileName(path);
    app->commands->men_file_load_cfgClick();
  }
  RegisterImage& Edit() { return app->images->EditImage; }
  QString FieldText(const char* name) { return Control<QLineEdit>(name)->text(); }

  QTemporaryDir files;
};

TEST_F(ConfigFiles, SavedSetLoadsBackWithTheFiltersOfTheProgram) {
  const RegisterImage before = Edit();
  Save(PathOf("device.kvn"));
  EXPECT_TRUE(Shown(Kind::Info, QStringLiteral("Configuration saved."))) << prompts.Describe().toStdString();
  EXPECT_EQ(prompts.Calls()[0].filter, QStringLiteral("KVN Config file(*.kvn);;All Files(*)"));
  EXPECT_EQ(prompts.Calls()[0].default_ext, QStringLiteral("kvn"));

  Edit().fill(0);
  prompts.ClearCalls();
  Load(PathOf("device.kvn"));
  EXPECT_TRUE(Shown(Kind::Info, QStringLiteral("Configuration restored.")));
  EXPECT_EQ(prompts.Calls()[0].filter, QStringLiteral("KVN Config file (*.kvn);;All Files(*)"));
  for (const BlockDescriptor& b : BlockTable) {
    if (!IsStoredBlock(b)) continue;
    for (int r = b.start; r < b.CrcRegister(); ++r) {
      const bool relayWord = r >= reg::OutputConfig && r < reg::OutputConfig + 5;
      EXPECT_EQ(Edit()[r], relayWord ? (before[r] & 0xFFDF) : (before[r] & 0xFFFF)) << r;
    }
    EXPECT_TRUE(app->blocks.CheckBlockCrc(b.id)) << b.Number();
  }
  EXPECT_EQ(Edit()[reg::AccessLevel], 0);
  EXPECT_EQ(Edit()[Block(BlockId::Password).start], 0x2020) << "password cleared";
  EXPECT_FALSE(app->poll.ConfigBlocksPolled);
}

// A file that is not a sound configuration: message 55; EditImage and the fields as they
// were, except the password, which is emptied before the result is known.
struct BadFile {
  const char* name;
  std::function<QByteArray(const QByteArray& text)> make;
  bool passedRecordCheck;  // then the password was cleared before the block check failed
};

class BadConfigFiles : public ConfigFiles, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadConfigFiles, GiveMessage55AndChangeNothing) {
  Save(PathOf("good.kvn"));
  const QByteArray good = Bytes(PathOf("good.kvn"));
  const QByteArray text = good.left(good.indexOf('\x1a'));
  Write(PathOf("bad.kvn"), GetParam().make(text));
  const RegisterImage before = Edit();
  const QString limit = FieldText("txt_vmax_lim_1");
  const QString password = FieldText("txt_password");
  prompts.ClearCalls();
  Load(PathOf("bad.kvn"));
  EXPECT_TRUE(Shown(Kind::Error, QString::fromLatin1(kInvalid))) << prompts.Describe().toStdString();
  EXPECT_TRUE(Edit() == before);
  EXPECT_EQ(FieldText("txt_vmax_lim_1"), limit);
  EXPECT_EQ(FieldText("txt_password"), GetParam().passedRecordCheck ? QString() : password);
  EXPECT_FALSE(app->poll.ConfigBlocksPolled);
}

QByteArray ChangedDigit(QByteArray text) {
  const qsizetype i = text.indexOf('|') - 1;  // last digit of the first field
  text[i] = text[i] == '9' ? '8' : static_cast<char>(text[i] + 1);
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadConfigFiles,
    ::testing::Values(
        BadFile{"one_character_changed", [](const QByteArray& t) { return ChangedDigit(t) + RecordOf(t).mid(t.size()); }, false},
        BadFile{"checksum_corrected_block_crc_fails", [](const QByteArray& t) { return RecordOf(ChangedDigit(t)); }, true},
        BadFile{"empty_record", [](const QByteArray&) { return QByteArray("\x1a" "0"); }, false},
        BadFile{"line_break_after_checksum", [](const QByteArray& t) { return RecordOf(t) + "\r\n"; }, false},
        BadFile{"not_a_record", [](const QByteArray&) { return QByteArray(5000, 'x'); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigFiles, EmptyOutputEntryShowsItInsteadOfSaving) {
  Control<QLineEdit>("txt_vmax_lim_1")->clear();
  Save(PathOf("never.kvn"));
  EXPECT_TRUE(Shown(Kind::Error, QStringLiteral("Parameter settings not complete.")));
  EXPECT_EQ(Control<QTabWidget>("pg_ctrl1")->currentWidget()->objectName(), QStringLiteral("tab_output"));
  EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>("txt_vmax_lim_1"));
  EXPECT_FALSE(QFile::exists(PathOf("never.kvn")));
}

TEST_F(ConfigFiles, WithoutAParameterSetNothingIsSaved) {
  app->setup.setup_loaded = false;
  Save(PathOf("never.kvn"));
  EXPECT_TRUE(Shown(Kind::Error, QStringLiteral("Current configuration set is not valid.")));
  EXPECT_FALSE(QFile::exists(PathOf("never.kvn")));
}

TEST_F(ConfigFiles, AnExistingFileIsReplacedOnlyWhenAgreedAndOnlyWhole) {
  const QString path = PathOf("kept.kvn");
  Write(path, "previous contents");
  prompts.QueueConfirm(false);
  Save(path);
  EXPECT_TRUE(Shown(Kind::Confirm, QStringLiteral("File already exists. Overwrite?")));
  EXPECT_EQ(Bytes(path), QByteArray("previous contents"));
  {
    FileSizeLimit diskFull(100);
    prompts.QueueConfirm(true);
    Save(path);
  }
  EXPECT_EQ(Bytes(path), QByteArray("previous contents")) << "a write that fails half way keeps the old file";
  EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.kvn")});
  prompts.QueueConfirm(true);
  Save(path);
  Save(PathOf("fresh.kvn"));
  EXPECT_EQ(Bytes(path), Bytes(PathOf("fresh.kvn")));
}

// A file made by hand from the simulator's documented factory setup, not by the program:
// loaded and saved back, it comes out byte for byte the same.
TEST_F(ConfigFiles, HandWrittenFileSavesBackByteIdentical) {
  QByteArray text;
  for (const BlockDescriptor& b : BlockTable) {
    if (!b.is_parameter || b.id == BlockId::Password) continue;
    for (int r = b.start; r < b.start + b.count; ++r) text += QByteArray::number(sim().Register(r)) + '|';
  }
  const QByteArray file = RecordOf(text);
  Write(PathOf("by_hand.kvn"), file);
  Load(PathOf("by_hand.kvn"));
  ASSERT_TRUE(Shown(Kind::Info, QStringLiteral("Configuration restored."))) << prompts.Describe().toStdString();
  Save(PathOf("saved.kvn"));
  EXPECT_EQ(Bytes(PathOf("saved.kvn")), file);
}

}  // namespace
}  // namespace kvn::test

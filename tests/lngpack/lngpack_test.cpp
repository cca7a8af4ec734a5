// korvane-lngpack: a translated base file sealed by the tool is a pack the program takes; check
// says why a pack is refused and where a list lost an item.
#include <gtest/gtest.h>

#include <QProcess>

#include "lngpack/lngpack.h"
#include "lngpack/pack_files.h"
#include "texts/program_settings.h"

namespace kvn::test {
namespace {

class LngpackTool : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { english = new Texts(lngpack::BuiltInTexts()); }
  static void TearDownTestSuite() { delete english; }

  // Runs one command; what it printed is kept in out and err.
  int Run(const char* command, const QString& file) {
    out.clear();
    err.clear();
    QTextStream o(&out), e(&err);
    const int code = lngpack::Run({QString::fromLatin1(command), file}, o, e);
    o.flush();
    e.flush();
    return code;
  }
  // The base file with the Greek captions, as a translator leaves it: checksum not yet right.
  QString TranslatedBase(const char* name) {
    const QString path = dir.Path(QString::fromLatin1(name));
    EXPECT_EQ(Run("base", path), 0) << err.toStdString();
    QStringList lines = ReadPackLines(path);
    Translate(lines);
    EXPECT_TRUE(WritePackLines(path, lines));
    return path;
  }
  bool ProgramTakes(const QString& path, Texts& texts) {
    StartupErrors errors;
    return ReadLanguagePack(path, texts, errors);
  }

  static Texts* english;
  ScratchWorkingDirectory dir;
  QString out, err;
};
Texts* LngpackTool::english = nullptr;

TEST_F(LngpackTool, BaseHoldsTheTextsTheProgramCollectsAndIsNoPackUntilSealed) {
  const QString path = dir.Path(QStringLiteral("base.txt"));
  ASSERT_EQ(Run("base", path), 0) << err.toStdString();
  EXPECT_EQ(ReadPackLines(path).mid(0, kTextRowCount), english->CurrentTexts);
  EXPECT_EQ(english->CurrentTexts[LineOf("cmd_read_param")], QStringLiteral("Read device settings"));
  EXPECT_EQ(english->CurrentTexts[LineOf("cmb_term")].count(QLatin1Char('|')), 1);
  Texts texts;
  EXPECT_FALSE(ProgramTakes(path, texts));
  EXPECT_EQ(Run("check", path), 1);
  EXPECT_TRUE(err.contains(QStringLiteral("line 635 (editor line 636) reads \"00000000\", the texts need \"")))
      << err.toStdString();
  EXPECT_TRUE(out.isEmpty()) << out.toStdString();  // the English lists are the English lists

  // A second base onto it would lose a translation.
  QFile::resize(path, 10);
  EXPECT_EQ(Run("base", path), 1);
  EXPECT_EQ(QFileInfo(path).size(), 10);
}

TEST_F(LngpackTool, SealMakesATranslatedBaseFileAPackTheProgramTakes) {
  const QString path = TranslatedBase("el.lngpack");
  ASSERT_EQ(Run("seal", path), 0) << err.toStdString();
  EXPECT_EQ(Run("check", path), 0) << err.toStdString();
  EXPECT_TRUE(out.startsWith(path + QStringLiteral(": accepted (checksum "))) << out.toStdString();
  Texts texts;
  ASSERT_TRUE(ProgramTakes(path, texts));
  EXPECT_EQ(texts.CurrentTexts[LineOf("tab_device")], QStringLiteral("ΣΥΣΚΕΥΗ"));
  EXPECT_EQ(texts.CurrentTexts[LineOf("lbl_i_usr_tag1")], english->CurrentTexts[LineOf("lbl_i_usr_tag1")]);

  // A file without its checksum line gets one.
  QStringList lines = ReadPackLines(path);
  lines.removeLast();
  ASSERT_TRUE(WritePackLines(path, lines));
  ASSERT_EQ(Run("seal", path), 0) << err.toStdString();
  EXPECT_TRUE(ProgramTakes(path, texts));
}

TEST_F(LngpackTool, CheckSaysWhyAPackIsRefusedAndSealLeavesSuchFilesAlone) {
  const QString path = TranslatedBase("el.lngpack");
  ASSERT_EQ(Run("seal", path), 0);
  const QStringList sealed = ReadPackLines(path);
  QStringList lowerCase = sealed;
  lowerCase.last() = lowerCase.last().toLower();
  const struct {
    const char* name;
    QStringList lines;
    QString says;
    bool sealable;
  } rows[] = {
      {"empty line at the end", sealed + QStringList{QString()},
       QStringLiteral("637 lines, a pack has exactly 636 (635 texts and the checksum); line 636 "
                      "(editor line 637) and after are too many (empty lines at the end: remove them)"),
       false},
      {"a text line lost", sealed.mid(1),
       QStringLiteral("635 lines, a pack has exactly 636 (635 texts and the checksum); the file ends "
                      "after line 634"),
       true},
      {"lower-case checksum", lowerCase, QStringLiteral("(upper-case digits); run korvane-lngpack seal"), true},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(WritePackLines(path, row.lines));
    EXPECT_EQ(Run("check", path), 1) << row.name;
    EXPECT_TRUE(err.contains(row.says)) << row.name << ": " << err.toStdString();
    if (row.sealable) continue;
    const QByteArray before = EncodePackLines(row.lines);
    EXPECT_EQ(Run("seal", path), 1) << row.name;
    EXPECT_TRUE(err.contains(row.says.section(QLatin1Char(';'), 0, 0))) << err.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before) << row.name;
  }
  QFile odd(path);
  ASSERT_TRUE(odd.open(QIODevice::WriteOnly) && odd.write("abc") == 3);
  odd.close();
  EXPECT_EQ(Run("check", path), 1);
  EXPECT_TRUE(err.contains(QStringLiteral("Odd number of bytes"))) << err.toStdString();
}

TEST_F(LngpackTool, CheckNamesTheLineOfALostListItem) {
  const QString path = TranslatedBase("el.lngpack");
  QStringList lines = ReadPackLines(path);
  const int parity = LineOf("cmb_parity");
  lines[parity] = QStringLiteral("καμία|άρτια");  // "odd" forgotten
  lines[LineOf("lbl_i_usr_tag1")].remove(QLatin1Char('|'));
  ASSERT_TRUE(WritePackLines(path, lines));
  ASSERT_EQ(Run("seal", path), 0);
  EXPECT_EQ(Run("check", path), 0);  // the program takes it all the same
  const QStringList warnings = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
  EXPECT_EQ(warnings,
            (QStringList{path + QStringLiteral(": warning: line 27 (editor line 28, lbl_i_usr_tag1) has 1 "
                                               "\"|\" items, the English text 2"),
                         path + QStringLiteral(": warning: line %1 (editor line %2, cmb_parity) has 2 "
                                               "\"|\" items, the English text 3: the list would show other items")
                                    .arg(parity)
                                    .arg(parity + 1)}));
}

TEST_F(LngpackTool, TheBuiltToolRunsTheSameCommands) {
  const QString path = TranslatedBase("el.lngpack");
  QProcess tool;
  tool.start(QStringLiteral(KVN_LNGPACK_TOOL), {QStringLiteral("seal"), path});
  ASSERT_TRUE(tool.waitForFinished(30000));
  EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  tool.start(QStringLiteral(KVN_LNGPACK_TOOL), {QStringLiteral("check"), path});
  ASSERT_TRUE(tool.waitForFinished(30000));
  EXPECT_EQ(tool.exitCode(), 0);
  EXPECT_TRUE(tool.readAllStandardOutput().startsWith((path + QStringLiteral(": accepted")).toUtf8()));
  tool.start(QStringLiteral(KVN_LNGPACK_TOOL), {QStringLiteral("unseal"), path});
  ASSERT_TRUE(tool.waitForFinished(30000));
  EXPECT_EQ(tool.exitCode(), 2);
  EXPECT_TRUE(tool.readAllStandardError().contains("usage: korvane-lngpack"));
}

}  // namespace
}  // namespace kvn::test

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/recording_prompts.h"
#include "texts/language_pack.h"
#include "texts/program_settings.h"
#include "texts/texts.h"

namespace kvn {
namespace {

using Verdict = PackCheck::Verdict;

// How a pack's bytes are laid out; the program must read every form alike.
struct Form {
  bool bom = true;
  const char* lineEnd = "\r\n";
  bool endAfterLast = true;
};
constexpr Form kForms[] = {{true, "\r\n", true},  {false, "\r\n", false}, {true, "\n", false},
                           {false, "\n", true},   {true, "\r", true},     {false, "\r", false}};

// UTF-16 LE written out here, byte by byte, independent of the program's encoder.
QByteArray Utf16Le(const QString& text) {
  QByteArray bytes;
  for (QChar c : text) bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
  return bytes;
}

QByteArray PackBytes(const QStringList& lines, Form form = {}) {
  const QString end = QString::fromLatin1(form.lineEnd);
  QString text = lines.join(end);
  if (form.endAfterLast) text += end;
  return (form.bom ? QByteArray("\xFF\xFE", 2) : QByteArray()) + Utf16Le(text);
}

// 635 text lines, all empty except the given ones, then the checksum line.
QStringList Lines(std::initializer_list<std::pair<int, QString>> texts, const QString& checksum) {
  QStringList lines(kTextRowCount);
  for (const auto& [line, text] : texts) lines[line] = text;
  return lines << checksum;
}

TEST(LanguagePackChecksum, KnownAnswers) {
  const struct {
    int line;
    QString text;
    const char* sum;
  } rows[] = {
      {0, QStringLiteral("abc"), "00000126"},     // 97 + 98 + 99
      {1, QStringLiteral("abc"), "00000120"},     // (97^1) + (98^2) + (99^3)
      {2, QStringLiteral("\u03A9"), "000003AB"},  // 0x3A9 ^ 2
      {634, QStringLiteral("\uFFFF\uFFFF"), "0001F890"},  // (0xFFFF^634) + (0xFFFF^1268)
      {0, QString(), "00000000"},
  };
  for (const auto& row : rows) {
    const QStringList lines = Lines({{row.line, row.text}}, {});
    EXPECT_EQ(ChecksumText(PackChecksum(lines)), QLatin1String(row.sum)) << row.line;
  }
}

TEST(LanguagePackCheck, EveryEncodingAndLineEndFormIsReadAlike) {
  for (const Form& form : kForms) {
    const PackCheck check =
        CheckPackBytes(PackBytes(Lines({{1, QStringLiteral("abc")}}, QStringLiteral("00000120")), form));
    EXPECT_TRUE(check.Accepted()) << "bom " << form.bom << " end " << form.endAfterLast;
    ASSERT_EQ(check.lines.size(), kPackLineCount);
    EXPECT_EQ(check.lines[1], QStringLiteral("abc"));
  }
  // Mixed line ends in one file.
  const QByteArray mixed = Utf16Le(QStringLiteral("abc\r\n") + QString(QStringLiteral("\n")).repeated(317) +
                                   QString(QStringLiteral("\r")).repeated(317) +
                                   QStringLiteral("00000126\r\n"));
  EXPECT_TRUE(CheckPackBytes(mixed).Accepted());
}

TEST(LanguagePackCheck, VerdictsAndStartupLogLines) {
  const QString count = QStringLiteral("Language file read failed! Captions count mismatch!");
  const QString checksum = QStringLiteral("Language file read failed! Check sum bad!");
  const QStringList abc = Lines({{0, QStringLiteral("abc")}}, QStringLiteral("00000126"));
  const struct {
    const char* name;
    QByteArray bytes;
    Verdict verdict;
    QString logLine;
  } rows[] = {
      {"abc in line 0", PackBytes(abc), Verdict::Accepted, {}},
      {"all empty", PackBytes(Lines({}, QStringLiteral("00000000"))), Verdict::Accepted, {}},
      {"lower-case hex", PackBytes(Lines({{0, QStringLiteral("abcd")}}, QStringLiteral("0000018a"))),
       Verdict::ChecksumBad, checksum},
      {"upper-case of the same", PackBytes(Lines({{0, QStringLiteral("abcd")}}, QStringLiteral("0000018A"))),
       Verdict::Accepted, {}},
      {"abc checksum in line 1", PackBytes(Lines({{1, QStringLiteral("abc")}}, QStringLiteral("00000126"))),
       Verdict::ChecksumBad, checksum},
      {"checksum with a blank", PackBytes(Lines({}, QStringLiteral("00000000 "))), Verdict::ChecksumBad, checksum},
      {"two line ends at the end", PackBytes(abc) + Utf16Le(QStringLiteral("\r\n")), Verdict::CountMismatch, count},
      {"635 lines", PackBytes(abc.mid(1)), Verdict::CountMismatch, count},
      {"empty file", QByteArray(), Verdict::CountMismatch, count},
      {"only the byte-order mark", QByteArray("\xFF\xFE", 2), Verdict::CountMismatch, count},
      {"odd number of bytes", PackBytes(abc) + QByteArray(1, 'x'), Verdict::Unreadable,
       QStringLiteral("Odd number of bytes, not UTF-16 text. Language file read failed!")},
  };
  for (const auto& row : rows) {
    const PackCheck check = CheckPackBytes(row.bytes);
    EXPECT_EQ(check.verdict, row.verdict) << row.name;
    EXPECT_EQ(check.LogLine(), row.logLine) << row.name;
  }
}

TEST(LanguagePackCheck, TheBaseLanguageFileIsNoPack) {
  Texts texts;
  texts.FillFromDefaults();
  const QByteArray base = BaseLanguageBytes(texts);
  EXPECT_TRUE(base.startsWith(QByteArray("\xFF\xFE", 2)));
  EXPECT_TRUE(base.endsWith(Utf16Le(QStringLiteral("00000000\r\n"))));
  EXPECT_EQ(base.count(Utf16Le(QStringLiteral("\r\n"))), kPackLineCount);
  const PackCheck check = CheckPackBytes(base);
  EXPECT_EQ(check.verdict, Verdict::ChecksumBad);
  EXPECT_EQ(check.lines.mid(0, kTextRowCount), texts.CurrentTexts);
}

// Reading and finding packs in a scratch folder.
class LanguagePackFiles : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
  void Write(const char* name, const QByteArray& bytes) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  // Every current text marked, so that any change shows.
  void SetUp() override {
    for (int i = 0; i < kTextRowCount; ++i) texts.CurrentTexts[i] = QStringLiteral("english %1").arg(i);
    before = texts.CurrentTexts;
  }
  QTemporaryDir dir;
  Texts texts;
  QStringList before;
  StartupErrors errors;
};

TEST_F(LanguagePackFiles, AFailedReadChangesNoTextAndLogsItsLine) {
  Write("count.lngpack", PackBytes(Lines({}, QStringLiteral("00000000")).mid(1)));
  Write("sum.lngpack", PackBytes(Lines({{0, QStringLiteral("abc")}}, QStringLiteral("0000012a"))));
  Write("odd.lngpack", PackBytes(Lines({}, QStringLiteral("00000000"))).chopped(1));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.lngpack")));
  {
    QFile huge(Path("huge.lngpack"));  // sparse: costs no disk, and must not be read
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(64LL * 1024 * 1024));
  }
  const struct {
    const char* file;
    const char* line;
  } rows[] = {
      {"count.lngpack", "Language file read failed! Captions count mismatch!"},
      {"sum.lngpack", "Language file read failed! Check sum bad!"},
      {"odd.lngpack", "Odd number of bytes, not UTF-16 text. Language file read failed!"},
      {"folder.lngpack", "Is a directory. Language file read failed!"},
      {"huge.lngpack", "File too large. Language file read failed!"},
      {"gone.lngpack", "No such file or directory. Language file read failed!"},
  };
  for (const auto& row : rows) {
    StartupErrors one;
    EXPECT_FALSE(ReadLanguagePack(Path(row.file), texts, one)) << row.file;
    EXPECT_EQ(one.Text(), QString::fromLatin1(row.line) + QStringLiteral("\r\n")) << row.file;
    EXPECT_EQ(texts.CurrentTexts, before) << row.file;
  }
}

TEST_F(LanguagePackFiles, ASoundPackReplacesEveryText) {
  Write("p.lngpack", PackBytes(Lines({}, QStringLiteral("00000000")), {false, "\n", false}));
  EXPECT_TRUE(ReadLanguagePack(Path("p.lngpack"), texts, errors));
  EXPECT_EQ(texts.CurrentTexts, QStringList(kTextRowCount));
  EXPECT_TRUE(errors.IsEmpty());
}

TEST_F(LanguagePackFiles, NoPackIsLoggedAndOfSeveralTheFirstByNameIsTaken) {
  Write("other.txt", PackBytes(Lines({}, QStringLiteral("00000000"))));
  EXPECT_FALSE(LoadLanguagePack(dir.path(), texts, errors));
  EXPECT_EQ(errors.Text(), QStringLiteral("language pack file not found\r\n"));
  EXPECT_EQ(texts.CurrentTexts, before);

  // Written in the opposite order to their names.
  Write("zz.lngpack", PackBytes(Lines({{1, QStringLiteral("abc")}}, QStringLiteral("00000120"))));
  Write("de.lngpack", PackBytes(Lines({{0, QStringLiteral("abc")}}, QStringLiteral("00000126"))));
  Write("aa.lngpack.bak", QByteArray());
  StartupErrors none;
  EXPECT_EQ(FindLanguagePack(dir.path()), Path("de.lngpack"));
  EXPECT_TRUE(LoadLanguagePack(dir.path(), texts, none));
  EXPECT_EQ(texts.CurrentTexts[0], QStringLiteral("abc"));
  EXPECT_TRUE(none.IsEmpty());
}

TEST_F(LanguagePackFiles, ExportWritesTheCurrentTextsOrShowsWhyNot) {
  RecordingPrompts prompts;
  ASSERT_TRUE(ExportBaseLanguage(dir.path(), texts, prompts));
  QFile file(Path(kBaseLanguageFile));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), BaseLanguageBytes(texts));
  EXPECT_TRUE(prompts.Calls().empty());

  EXPECT_FALSE(ExportBaseLanguage(Path("missing/folder"), texts, prompts));
  ASSERT_EQ(prompts.TextsOf(RecordingPrompts::Kind::Error).size(), 1);
  EXPECT_FALSE(prompts.TextsOf(RecordingPrompts::Kind::Error).front().isEmpty());
}

}  // namespace
}  // namespace kvn

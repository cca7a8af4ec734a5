// The report page engine: its integer layout, the header's date, the plot's page geometry,
// and pages written through the engine read back with poppler.
#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include "reports/plot_report.h"
#include "reports/report_page.h"
#include "support/pdf_reader.h"
#include "support/recording_prompts.h"
#include "texts/texts.h"

namespace kvn::test {
namespace {

constexpr int kA4Width = 1240, kA4Height = 1754;

struct ColumnCase {
  int thousandths;
  int a4;
};

TEST(ReportLayout, A4MarginsAndColumnsAreTruncatedFractions) {
  const ReportLayout l = LayoutForPage(kA4Width, kA4Height, 23);
  EXPECT_EQ(l.left, 148);
  EXPECT_EQ(l.right, 1178);
  EXPECT_EQ(l.top, 87);
  EXPECT_EQ(l.half_line, 11);
  EXPECT_EQ(l.page_no, 1);
  for (const ColumnCase c : {ColumnCase{624, 735}, {634, 746}, {724, 852}, {734, 864}, {370, 435},
                             {497, 585}, {751, 884}, {878, 1034}, {888, 1046}, {380, 447},
                             {507, 597}, {761, 896}})
    EXPECT_EQ(l.Column(c.thousandths), c.a4) << c.thousandths;
}

struct DateCase {
  const char* locale;
  const char* expected;
};

TEST(ReportHeader, DateUsesTheLocaleSeparators) {
  const QDateTime when(QDate(2021, 3, 3), QTime(9, 5, 59));
  for (const DateCase c : {DateCase{"de_DE", "03.03.2021 09:05"}, {"en_GB", "03/03/2021 09:05"},
                           {"fi_FI", "03.03.2021 09.05"}, {"nl_NL", "03-03-2021 09:05"}})
    EXPECT_EQ(FormatReportDate(when, SeparatorsOf(QLocale(QString::fromLatin1(c.locale)))),
              QString::fromLatin1(c.expected))
        << c.locale;
}

TEST(ReportHeader, WordsComeFromTheReportTexts) {
  Texts texts;
  texts.FillFromDefaults();
  const ReportHeaderFacts facts =
      HeaderFacts(texts, QDateTime(QDate(2021, 3, 3), QTime(9, 5)), {}, QStringLiteral("SN1"));
  EXPECT_EQ(facts.created, QStringLiteral("Created: 03/03/2021 09:05"));
  EXPECT_EQ(facts.serialLabel, QStringLiteral("Serial number:  SN1"));
  EXPECT_EQ(facts.pageWord, QStringLiteral("Page"));
  EXPECT_EQ(facts.ofWord, QStringLiteral("of"));
}

TEST(PlotPageGeometry, DesignSizeImageOnA4) {
  ReportLayout l = LayoutForPage(kA4Width, kA4Height, 23);
  l.y = 10 * l.half_line + l.top;
  const PlotTextExtents text{13, 42};
  const PlotGeometry g = PlotPageGeometry(l, QSize(819, 222), text);
  EXPECT_EQ(g.right - g.left, 1030);
  EXPECT_EQ(g.bottom - g.top, 279);
  EXPECT_EQ(g.left, 148);
  EXPECT_EQ(g.top, l.y + 5 * 11);
  EXPECT_EQ(g.x0, 148 + 42 + 2);
  EXPECT_EQ(g.dx, (1178 - 1 - g.x0) / 60);
  EXPECT_EQ(g.x1, g.x0 + 60 * g.dx);
  EXPECT_EQ(g.y0, g.top + 13 + 6 + 6);
  EXPECT_EQ(g.dy, (g.bottom - 13 + 2 - g.y0) / 20);
  EXPECT_EQ(g.y1, g.y0 + 20 * g.dy);
}

// Headers drawn by the engine into a real file.
class EnginePages : public ::testing::Test {
 protected:
  void SetUp() override {
    texts.FillFromDefaults();
    if (!HaveTool(QStringLiteral("pdftotext")) || !HaveTool(QStringLiteral("pdfinfo")))
      GTEST_SKIP() << "poppler-utils not installed";
  }
  // A document of `pages` pages holding only headers; the layout of its first page.
  ReportLayout WriteHeaders(const QString& title, int pages, const QString& serial) {
    ReportLayout first;
    const ReportHeaderFacts facts = HeaderFacts(texts, QDateTime(QDate(2021, 3, 3), QTime(9, 5)),
                                                {QLatin1Char('.'), QLatin1Char(':')}, serial);
    EXPECT_TRUE(write_report_file({prompts, texts}, path, title, [&](ReportDocument& document) {
      first = document.layout;
      document.layout.page_count = pages;
      for (int n = 1; n <= pages; ++n) {
        QPainter& surface = n == 1 ? document.Surface() : next_report_page(document);
        document.layout.page_no = n;
        draw_page_header(surface, document.layout, title, facts);
      }
    }));
    return first;
  }
  Texts texts;
  RecordingPrompts prompts;
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("headers.pdf"));
};

TEST_F(EnginePages, A4PortraitWithTitleAndDate) {
  const ReportLayout l = WriteHeaders(QStringLiteral("Engine title"), 1, QStringLiteral("X"));
  EXPECT_EQ(l.page_width, kA4Width);
  EXPECT_EQ(l.page_height, kA4Height);
  EXPECT_GT(l.half_line, 5);
  const QMap<QString, QString> info = PdfInfo(path);
  EXPECT_TRUE(info.value(QStringLiteral("Page size")).startsWith(QStringLiteral("595 x 842 pts")))
      << info.value(QStringLiteral("Page size")).toStdString();
  EXPECT_EQ(info.value(QStringLiteral("Title")), QStringLiteral("Engine title"));
  EXPECT_FALSE(info.value(QStringLiteral("CreationDate")).isEmpty());
  EXPECT_TRUE(prompts.NothingShown());
}

TEST_F(EnginePages, FontIsArialOrItsMetricTwinEmbedded) {
  WriteHeaders(QStringLiteral("Fonts"), 1, QString());
  const QStringList lines =
      RunTool(QStringLiteral("pdffonts"), {path}).value_or(QString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 3) << "no font listed";
  for (const QString& line : lines.mid(2)) {
    const QStringList f = line.simplified().split(QLatin1Char(' '));
    EXPECT_TRUE(f[0].contains(QStringLiteral("Arial")) || f[0].contains(QStringLiteral("LiberationSans")))
        << line.toStdString();
    EXPECT_TRUE(f.contains(QStringLiteral("yes"))) << "not embedded: " << line.toStdString();
  }
}

TEST_F(EnginePages, SecondHeaderOfThreeEndsAtTheRightMargin) {
  WriteHeaders(QStringLiteral("Three"), 3, QString());
  const std::vector<PdfWord> words = PdfWords(path);
  for (int page = 1; page <= 3; ++page) {
    const auto number = FindPhrase(words, page, QStringLiteral("Page %1 of 3").arg(page));
    ASSERT_TRUE(number) << PageText(words, page).toStdString();
    EXPECT_NEAR(number->right(), 1178, kUnitsPerPoint);
    const auto created = FindPhrase(words, page, QStringLiteral("Created: 03.03.2021 09:05"));
    ASSERT_TRUE(created);
    EXPECT_NEAR(created->right(), 1178, kUnitsPerPoint);
    // An empty serial number leaves the label alone.
    const auto serial = FindPhrase(words, page, QStringLiteral("Serial number:"));
    ASSERT_TRUE(serial);
    EXPECT_NEAR(serial->left(), 148, kUnitsPerPoint);
    EXPECT_NEAR(serial->top(), number->top(), 1.0);
  }
}

TEST_F(EnginePages, LongTitleOverlapsTheDateUnwrapped) {
  const QString title = QStringLiteral("A report title much longer than the room that is left of the date");
  WriteHeaders(title, 1, QString());
  const std::vector<PdfWord> words = PdfWords(path);
  const auto found = FindPhrase(words, 1, title);
  ASSERT_TRUE(found) << PageText(words, 1).toStdString();
  EXPECT_NEAR(found->left(), 148, kUnitsPerPoint);
  EXPECT_GT(found->right(), FindPhrase(words, 1, QStringLiteral("Created:"))->left());
}

}  // namespace
}  // namespace kvn::test

#pragma once
#include <QImage>
#include <QMap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kvn::test {

// Reads PDF files back with poppler's command-line tools (pdfinfo, pdffonts, pdftotext,
// pdftoppm), an implementation independent of the one that wrote them. Positions are given in
// the reports' page units, 150 per inch, origin at the top left corner of the page.
inline constexpr double kUnitsPerPoint = 150.0 / 72.0;

// True when the tool can be run.
bool HaveTool(const QString& tool);
// The tool's standard output, or nullopt when it did not run or failed.
std::optional<QString> RunTool(const QString& tool, const QStringList& arguments);

// "Key: value" lines of pdfinfo.
QMap<QString, QString> PdfInfo(const QString& path);

struct PdfWord {
  int page = 0;  // from 1
  QRectF box;    // in page units
  QString text;
};
// Every word with its box, as pdftotext -bbox-layout gives them, pages in order.
std::vector<PdfWord> PdfWords(const QString& path);
// The words of one page.
std::vector<PdfWord> WordsOfPage(const std::vector<PdfWord>& words, int page);
// The box around the first run of consecutive words on one line that reads phrase (words
// separated by single blanks), or nullopt.
std::optional<QRectF> FindPhrase(const std::vector<PdfWord>& words, int page, const QString& phrase);
// The whole text of a page, words joined by blanks in reading order.
QString PageText(const std::vector<PdfWord>& words, int page);

// One page rendered without anti-aliasing at 150 dots per inch: one pixel per page unit.
QImage RenderPage(const QString& path, int page);

}  // namespace kvn::test

#include "support/pdf_reader.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace kvn::test {

bool HaveTool(const QString& tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }

std::optional<QString> RunTool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0)
    return std::nullopt;
  return QString::fromUtf8(process.readAllStandardOutput());
}

QMap<QString, QString> PdfInfo(const QString& path) {
  QMap<QString, QString> info;
  const QString out = RunTool(QStringLiteral("pdfinfo"), {path}).value_or(QString());
  for (const QString& line : out.split(QLatin1Char('\n'))) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon > 0) info.insert(line.left(colon), line.mid(colon + 1).trimmed());
  }
  return info;
}

std::vector<PdfWord> PdfWords(const QString& path) {
  std::vector<PdfWord> words;
  const QString out =
      RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox-layout"), path, QStringLiteral("-")})
          .value_or(QString());
  QXmlStreamReader xml(out);
  int page = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("page")) ++page;
    if (xml.name() != QLatin1String("word")) continue;
    const auto at = [&](const char* name) {
      return xml.attributes().value(QLatin1String(name)).toDouble() * kUnitsPerPoint;
    };
    const QRectF box(QPointF(at("xMin"), at("yMin")), QPointF(at("xMax"), at("yMax")));
    words.push_back({page, box, xml.readElementText()});
  }
  return words;
}

std::vector<PdfWord> WordsOfPage(const std::vector<PdfWord>& words, int page) {
  std::vector<PdfWord> out;
  for (const PdfWord& w : words)
    if (w.page == page) out.push_back(w);
  return out;
}

std::optional<QRectF> FindPhrase(const std::vector<PdfWord>& all, int page, const QString& phrase) {
  const QStringList parts = phrase.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  // pdftotext orders overlapping texts by its own reading flow; a line is read left to right.
  std::vector<PdfWord> words = WordsOfPage(all, page);
  std::stable_sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
    const double ta = std::round(a.box.top()), tb = std::round(b.box.top());
    return ta != tb ? ta < tb : a.box.left() < b.box.left();
  });
  for (size_t i = 0; i + parts.size() <= words.size(); ++i) {
    QRectF box = words[i].box;
    bool match = true;
    for (qsizetype k = 0; k < parts.size() && match; ++k) {
      const PdfWord& w = words[i + size_t(k)];
      match = w.text == parts[k] && std::abs(w.box.top() - words[i].box.top()) < 1.0;
      box = box.united(w.box);
    }
    if (match) return box;
  }
  return std::nullopt;
}

QString PageText(const std::vector<PdfWord>& words, int page) {
  QStringList texts;
  for (const PdfWord& w : WordsOfPage(words, page)) texts << w.text;
  return texts.join(QLatin1Char(' '));
}

QImage RenderPage(const QString& path, int page) {
  QTemporaryDir dir;
  const QString prefix = dir.filePath(QStringLiteral("page"));
  const QString n = QString::number(page);
  if (!RunTool(QStringLiteral("pdftoppm"),
               {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("150"),
                QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"),
                QStringLiteral("no"), QStringLiteral("-f"), n, QStringLiteral("-l"), n,
                QStringLiteral("-singlefile"), path, prefix}))
    return {};
  return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

}  // namespace kvn::test

#include "reports/report_page.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>

#include "parameters/file_dialogs.h"
#include "texts/atomic_file.h"
#include "texts/prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

enum ReportText {
  kCreated = 1,       // "Created:"
  kSerialNumber = 3,  // "Serial number: "
  kPage = 4,          // "Page"
  kOf = 5,            // "of"
};

// The text whose height sets the line step, as the page was always measured.
const QString kLineProbe = QStringLiteral("ASDFG");

}  // namespace

ReportLayout LayoutForPage(int width, int height, int bodyTextHeight) {
  ReportLayout l;
  l.page_width = width;
  l.page_height = height;
  l.left = 120 * width / 1000;
  l.right = width - 50 * width / 1000;
  l.top = 50 * height / 1000;
  l.half_line = 500 * bodyTextHeight / 1000;
  l.page_no = 1;
  return l;
}

QFont ReportFont(int height) {
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  // A pixel size on the page surface is the em height: the character height without the
  // internal leading.
  font.setPixelSize(height);
  return font;
}

void SetReportFont(QPainter& surface, int height) { surface.setFont(ReportFont(height)); }

QSize TextExtent(const QPainter& surface, const QString& text) {
  const QFontMetrics metrics = surface.fontMetrics();
  return {metrics.horizontalAdvance(text), metrics.height()};
}

void draw_text(QPainter& surface, int x, int y, const QString& text, HAlign h_align,
               VAlign v_align) {
  const QSize size = TextExtent(surface, text);
  const QPoint origin = PlacedTextOrigin(x, y, size.width(), size.height(), h_align, v_align);
  surface.drawText(origin.x(), origin.y() + surface.fontMetrics().ascent(), text);
}

void draw_line(QPainter& surface, int x1, int y1, int x2, int y2) {
  surface.drawLine(x1, y1, x2, y2);
}

QString FormatReportDate(const QDateTime& when, DateTimeSeparators s) {
  const QDate d = when.date();
  const QTime t = when.time();
  auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
  return two(d.day()) + s.date + two(d.month()) + s.date +
         QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) + QLatin1Char(' ') +
         two(t.hour()) + s.time + two(t.minute());
}

ReportHeaderFacts HeaderFacts(const Texts& texts, const QDateTime& created,
                              DateTimeSeparators separators, const QString& serialNumber) {
  const QString blank = QStringLiteral(" ");
  return {texts.GetReportText(kCreated) + blank + FormatReportDate(created, separators),
          texts.GetReportText(kSerialNumber) + blank + serialNumber, texts.GetReportText(kPage),
          texts.GetReportText(kOf)};
}

// --- Document ----------------------------------------------------------------------------

ReportDocument::ReportDocument(const QString& title) : buffer_(&bytes_), writer_(&buffer_) {
  buffer_.open(QIODevice::WriteOnly);
  writer_.setTitle(title);
  writer_.setCreator(QCoreApplication::applicationName());
  writer_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(0, 0, 0, 0), QPageLayout::Point));
  writer_.setResolution(kReportUnitsPerInch);
  painter_.begin(&writer_);
}

QByteArray ReportDocument::Finish() {
  if (painter_.isActive()) painter_.end();
  buffer_.close();
  return bytes_;
}

std::unique_ptr<ReportDocument> new_report_document(const QString& title) {
  auto document = std::make_unique<ReportDocument>(title);
  if (!document->Started()) return document;
  QPainter& surface = document->Surface();
  SetReportFont(surface, kBodyFontHeight);
  surface.setPen(Qt::black);
  const QPaintDevice& page = *surface.device();
  document->layout =
      LayoutForPage(page.width(), page.height(), TextExtent(surface, kLineProbe).height());
  return document;
}

QPainter& next_report_page(ReportDocument& document) {
  document.AddPage();
  QPainter& surface = document.Surface();
  QFont font = surface.font();
  font.setFamily(QStringLiteral("Arial"));
  surface.setFont(font);
  surface.setPen(Qt::black);
  return surface;
}

void draw_page_header(QPainter& surface, ReportLayout& l, const QString& title,
                      const ReportHeaderFacts& facts) {
  SetReportFont(surface, kTitleFontHeight);
  const int y1 = TextExtent(surface, title).height() + l.top;
  draw_text(surface, l.left, y1, title, HAlign::Left, VAlign::Bottom);

  SetReportFont(surface, kBodyFontHeight);
  draw_text(surface, l.right, y1, facts.created, HAlign::Right, VAlign::Bottom);

  const int y2 = 8 * l.half_line + l.top;
  draw_text(surface, l.left, y2, facts.serialLabel, HAlign::Left, VAlign::Bottom);
  const QString page = facts.pageWord + QLatin1Char(' ') + QString::number(l.page_no) +
                       QLatin1Char(' ') + facts.ofWord + QLatin1Char(' ') +
                       QString::number(l.page_count);
  draw_text(surface, l.right, y2, page, HAlign::Right, VAlign::Bottom);

  const int y3 = y2 + l.half_line;
  surface.setPen(QPen(Qt::black, 2));
  surface.setBrush(Qt::white);
  draw_line(surface, l.left, y3, l.right, y3);
  l.y = 10 * l.half_line + l.top;
}

// --- File --------------------------------------------------------------------------------

bool WriteReportDocument(const QString& path, const QString& title, QString* error,
                         const std::function<void(ReportDocument&)>& body) {
  QByteArray pdf;
  {
    const std::unique_ptr<ReportDocument> document = new_report_document(title);
    if (!document->Started()) {
      if (error)
        *error = QCoreApplication::translate("kvn::Reports", "The PDF document could not be started.");
      return false;
    }
    body(*document);
    pdf = document->Finish();
  }
  return WriteFileAtomically(path, pdf, error);
}

bool write_report_file(const ReportFileServices& s, const QString& path, const QString& title,
                       const std::function<void(ReportDocument&)>& body) {
  if (!ConfirmOverwrite(s.prompts, s.texts, path)) return false;
  QString error;
  if (WriteReportDocument(path, title, &error, body)) return true;
  s.prompts.ShowError(error);
  return false;
}

}  // namespace kvn

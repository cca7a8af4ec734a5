#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QDateTime>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <functional>
#include <memory>

#include "texts/locale_separators.h"
#include "reports/speed_plot.h"

class QLocale;

namespace kvn {

class Prompts;
class Texts;

// Font heights of the reports in page units: the character height without internal leading.
inline constexpr int kTitleFontHeight = 35;
inline constexpr int kHeadingFontHeight = 25;
inline constexpr int kBodyFontHeight = 20;
inline constexpr int kPlotLabelFontHeight = 16;

// The page surface: A4 portrait at this many units per inch, origin at the top left corner.
inline constexpr int kReportUnitsPerInch = 150;

// Page metrics every report shares, filled when its document is made. Every position is an
// integer and every fraction of the page is taken of the full product, truncating.
struct ReportLayout {
  int page_width = 0;
  int page_height = 0;
  int left = 0;       // start of every text line
  int right = 0;      // end of right-aligned header texts and rules; base of the columns
  int top = 0;
  int half_line = 0;  // half the height of a body text line; vertical steps are multiples
  int page_count = 0;
  int page_no = 0;
  int y = 0;          // drawing position on the current page

  // Position of a column at k thousandths of `right`.
  int Column(int thousandths) const { return thousandths * right / 1000; }
};

// Margins and line step of a page of this size whose body text is this high.
ReportLayout LayoutForPage(int width, int height, int bodyTextHeight);

// Arial, black, at a height in page units.
QFont ReportFont(int height);
void SetReportFont(QPainter& surface, int height);

// Text with its top-left corner placed by the alignments (the plot's placement rule), in the
// surface's current font and pen colour.
void draw_text(QPainter& surface, int x, int y, const QString& text, HAlign h_align,
               VAlign v_align);
void draw_line(QPainter& surface, int x1, int y1, int x2, int y2);
// Width and height of a text in the surface's current font, as draw_text places it.
QSize TextExtent(const QPainter& surface, const QString& text);

// What the page header prints besides the title.
struct ReportHeaderFacts {
  QString created;       // "Created:" and the date and time
  QString serialLabel;   // "Serial number:" and the serial number
  QString pageWord;      // "Page"
  QString ofWord;        // "of"
};

// The locale's date and time separators, as its short formats use them.
// dd/mm/yyyy hh:nn with the given separators.
QString FormatReportDate(const QDateTime& when, DateTimeSeparators separators);
ReportHeaderFacts HeaderFacts(const Texts& texts, const QDateTime& created,
                              DateTimeSeparators separators, const QString& serialNumber);

// One report being drawn. The PDF is made in memory; only a complete document is written to
// a file, so a failure part-way never costs the file that was there.
class ReportDocument {
 public:
  explicit ReportDocument(const QString& title);
  ReportDocument(const ReportDocument&) = delete;
  ReportDocument& operator=(const ReportDocument&) = delete;

  bool Started() const { return painter_.isActive(); }
  QPainter& Surface() { return painter_; }
  ReportLayout layout;

  // Ends the drawing and gives the finished PDF.
  QByteArray Finish();

  void AddPage() { writer_.newPage(); }

 private:
  QByteArray bytes_;
  QBuffer buffer_;
  QPdfWriter writer_;
  QPainter painter_;
};

// The document with its first page ready: Arial 20, black, the layout measured on that page
// and page 1. The caller sets the page count.
std::unique_ptr<ReportDocument> new_report_document(const QString& title);
// A further page: Arial and black again (the header sets the height).
QPainter& next_report_page(ReportDocument& document);
// Title, creation date, serial number, page number and the rule; leaves `y` at the first
// body line.
void draw_page_header(QPainter& surface, ReportLayout& layout, const QString& title,
                      const ReportHeaderFacts& facts);

// What writing a report needs from the rest of the program.
struct ReportFileServices {
  Prompts& prompts;
  const Texts& texts;
};

// Draws the document with body and writes it whole through the atomic writer, replacing an
// existing file. False with the reason in error when nothing was written.
bool WriteReportDocument(const QString& path, const QString& title, QString* error,
                         const std::function<void(ReportDocument&)>& body);

// Asks before replacing an existing file, draws the document with body and writes it whole.
// False when nothing was written (declined, or an error, which has been shown).
bool write_report_file(const ReportFileServices& services, const QString& path,
                       const QString& title, const std::function<void(ReportDocument&)>& body);

}  // namespace kvn

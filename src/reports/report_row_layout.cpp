#include "reports/report_row_layout.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "reports/report_page.h"

namespace kvn {
namespace {

constexpr int kRelayColumns = 5;
// Room between an underlined line and the next one: the rule lies 3 units below the text.
constexpr int kUnderlineRoom = 5;

// A column of a row: the span a text may take and the edge it keeps to.
struct Slot {
  int x0;
  int x1;
  HAlign align;
};

// The page being laid out and the texts placed on it so far.
struct Sheet {
  QPainter& surface;
  ReportLayout& l;
  std::vector<PlacedText>& out;
  int fontHeight = kBodyFontHeight;

  void SetFont(int height) {
    fontHeight = height;
    SetReportFont(surface, height);
  }
  int Width(const QString& text) const { return surface.fontMetrics().horizontalAdvance(text); }
  int LineHeight() const { return surface.fontMetrics().height(); }
  int Gap() const { return l.half_line; }
};

// Widths of two neighbours sharing `total`: each its own when both fit; otherwise the one that
// needs at most half keeps its width and the other takes the rest, or both get half.
std::pair<int, int> Share(int first, int second, int total) {
  if (first + second <= total) return {first, second};
  const int half = total / 2;
  if (first <= half) return {first, total - first};
  if (second <= half) return {total - second, second};
  return {half, total - half};
}

// Places the lines of text in slot from the row's top; returns how many lines it took.
int Place(Sheet& s, const QString& text, Slot slot, bool underlined = false) {
  if (text.isEmpty()) return 1;
  const QFontMetrics metrics = s.surface.fontMetrics();
  const QStringList lines = WrapToWidth(metrics, text, slot.x1 - slot.x0);
  const int step = metrics.height() + (underlined ? kUnderlineRoom : 0);
  for (int i = 0; i < lines.size(); ++i) {
    const int width = metrics.horizontalAdvance(lines[i]);
    const int x = slot.align == HAlign::Right ? slot.x1 - width : slot.x0;
    s.out.push_back({QRect(x, s.l.y + i * step, width, metrics.height()), lines[i],
                     s.fontHeight, underlined});
  }
  return static_cast<int>(lines.size());
}

// The row's height: its fixed step, and a line more for every line a wrapped text added.
void Advance(Sheet& s, int halfLines, int lines, int lineStep) {
  s.l.y += halfLines * s.l.half_line + (lines - 1) * lineStep;
}

void LayOutHeading(Sheet& s, const QString& text) {
  s.SetFont(kHeadingFontHeight);
  const int lines = Place(s, text, {s.l.left, s.l.right, HAlign::Left}, true);
  Advance(s, 4, lines, s.LineHeight() + kUnderlineRoom);
  s.SetFont(kBodyFontHeight);
}

void LayOutColumnHeaders(Sheet& s, const QStringList& captions) {
  using report_column::kRelayHeader;
  s.SetFont(kHeadingFontHeight);
  int lines = 1;
  for (int k = 0; k < kRelayColumns && k < captions.size(); ++k) {
    const int x0 = k == 0 ? s.l.left : s.l.Column(kRelayHeader[k - 1]) + s.Gap();
    lines = std::max(lines, Place(s, captions[k], {x0, s.l.Column(kRelayHeader[k]), HAlign::Right}));
  }
  Advance(s, 4, lines, s.LineHeight());
  s.SetFont(kBodyFontHeight);
}

// The label and the text right-aligned at `edge` share the space left of it; returns the lines.
int PlaceLabelAndValue(Sheet& s, const ReportRow& row, const QString& value, int edge, int valueCap) {
  const int total = edge - s.l.left - s.Gap();
  const auto [labelWidth, valueWidth] =
      Share(s.Width(row.label), std::min(s.Width(value), valueCap), total);
  return std::max(Place(s, row.label, {s.l.left, s.l.left + labelWidth, HAlign::Left}),
                  Place(s, value, {edge - valueWidth, edge, HAlign::Right}));
}

void LayOutValueRow(Sheet& s, const ReportRow& row) {
  using namespace report_column;
  const int value = s.l.Column(kValue);
  int lines = PlaceLabelAndValue(s, row, row.cells.value(0), value, value);
  lines = std::max(lines, Place(s, row.unit, {s.l.Column(kUnit), s.l.right, HAlign::Left}));
  Advance(s, 3, lines, s.LineHeight());
}

void LayOutRangeRow(Sheet& s, const ReportRow& row) {
  using namespace report_column;
  const int from = s.l.Column(kValue);
  const int word = s.l.Column(kUnit);
  const int to = s.l.Column(kRangeTo);
  int lines = PlaceLabelAndValue(s, row, row.cells.value(0), from, from);
  const auto [wordWidth, toWidth] =
      Share(s.Width(row.cells.value(1)), s.Width(row.cells.value(2)), to - word - s.Gap());
  lines = std::max(lines, Place(s, row.cells.value(1), {word, word + wordWidth, HAlign::Left}));
  lines = std::max(lines, Place(s, row.cells.value(2), {to - toWidth, to, HAlign::Right}));
  lines = std::max(lines, Place(s, row.unit, {s.l.Column(kRangeUnit), s.l.right, HAlign::Left}));
  Advance(s, 3, lines, s.LineHeight());
}

// Every relay column is as wide as the space between its edge and the previous one; the first
// shares the space left of it with the label.
void LayOutRelayRow(Sheet& s, const ReportRow& row) {
  using namespace report_column;
  auto edge = [&s](int k) { return s.l.Column(kRelayValue[k]); };
  const int columnWidth = edge(1) - edge(0) - s.Gap();
  int lines = PlaceLabelAndValue(s, row, row.cells.value(0), edge(0), columnWidth);
  for (int k = 1; k < kRelayColumns; ++k)
    lines = std::max(lines, Place(s, row.cells.value(k), {edge(k - 1) + s.Gap(), edge(k), HAlign::Right}));
  lines = std::max(lines, Place(s, row.unit, {s.l.Column(kRelayUnit), s.l.right, HAlign::Left}));
  Advance(s, 3, lines, s.LineHeight());
}

// The longest start of word that fits width, at least one character.
int FittingPrefix(const QFontMetrics& metrics, const QString& word, int width) {
  int n = 1;
  while (n < word.size() && metrics.horizontalAdvance(word.left(n + 1)) <= width) ++n;
  return n;
}

}  // namespace

QStringList WrapToWidth(const QFontMetrics& metrics, const QString& text, int width) {
  if (metrics.horizontalAdvance(text) <= width) return {text};
  auto fits = [&](const QString& line) { return metrics.horizontalAdvance(line) <= width; };
  qsizetype lead = 0;
  while (lead < text.size() && text[lead] == QLatin1Char(' ')) ++lead;
  QStringList lines;
  QString line = text.left(lead);
  for (const QString& word : text.mid(lead).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const bool startsLine = line.trimmed().isEmpty();
    const QString joined = startsLine ? line + word : line + QLatin1Char(' ') + word;
    if (fits(joined)) {
      line = joined;
      continue;
    }
    if (!startsLine) {
      lines << line;
      line.clear();
    }
    QString rest = line + word;
    while (!fits(rest)) {
      const int n = FittingPrefix(metrics, rest, width);
      lines << rest.left(n);
      rest = rest.mid(n);
    }
    line = rest;
  }
  if (!line.isEmpty() || lines.isEmpty()) lines << line;
  return lines;
}

std::vector<PlacedText> LayOutReportRows(QPainter& surface, ReportLayout& layout,
                                         const std::vector<ReportRow>& rows) {
  using K = ReportRow::Kind;
  std::vector<PlacedText> placed;
  Sheet sheet{surface, layout, placed};
  sheet.SetFont(kBodyFontHeight);
  for (const ReportRow& row : rows) {
    switch (row.kind) {
      case K::Space: layout.y += row.half_lines * layout.half_line; break;
      case K::Heading: LayOutHeading(sheet, row.label); break;
      case K::ColumnHeaders: LayOutColumnHeaders(sheet, row.cells); break;
      case K::Value: LayOutValueRow(sheet, row); break;
      case K::Range: LayOutRangeRow(sheet, row); break;
      case K::Relay: LayOutRelayRow(sheet, row); break;
    }
  }
  return placed;
}

void DrawPlacedTexts(QPainter& surface, const std::vector<PlacedText>& texts) {
  for (const PlacedText& t : texts) {
    SetReportFont(surface, t.fontHeight);
    surface.setPen(QPen(Qt::black, 1));
    surface.drawText(t.box.x(), t.box.y() + surface.fontMetrics().ascent(), t.text);
    if (t.underlined) {
      const int rule = t.box.y() + t.box.height() + 3;
      surface.drawLine(t.box.x(), rule, t.box.x() + t.box.width(), rule);
    }
  }
  SetReportFont(surface, kBodyFontHeight);
}

}  // namespace kvn

#pragma once
#include <QString>
#include <span>
#include <vector>

#include "ui/grid_panel.h"
#include "parameters/page_rows.h"
#include "texts/texts.h"

class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace kvn::pages {
struct Section;
}

namespace kvn {

// Whether a row has an info text (and therefore an info mark). Its caption's leading blanks
// come from IndentedCaption (texts/texts.h).
bool HasInfoText(const QString& key);

// Creates one control of a row description; the caller places it.
QWidget* MakeControl(const pages::Control& control, QWidget* parent);

// Makes the widgets of one page from its row tables. Items go top to bottom in columns; each
// item starts a new line unless placed beside the previous one. Finish() aligns the caption
// column of all sections, chains the keyboard order in reading order and names the entry
// controls for screen readers.
class PageBuilder {
 public:
  explicit PageBuilder(QWidget& page);

  QLabel* Heading(const char* name, const char* text);
  // A heading with an info mark standing gap pixels to the right of its text.
  QLabel* HeadingWithMark(const char* name, const char* text, const char* mark, int gap);
  GridPanel* Section(const char* panel, std::span<const pages::Row> rows);
  GridPanel* Table(const char* panel, std::span<const pages::Column> columns,
                   std::span<const pages::Row> rows);
  // A parameter page's sections, each under its heading, as the section table lists them.
  void Sections(std::span<const pages::Section> sections);
  // Commands (buttons, a check box) side by side on a new line, in reading order.
  void ButtonLine(std::span<const pages::Control> buttons);
  // Buttons stacked beside the last item (commands that act on a table).
  void ButtonStack(std::span<const pages::Control> buttons);
  // Any other widget: on a new line, beside the last item, or at the right end of the line.
  void Add(QWidget* widget, bool fill = false);
  void Beside(QWidget* widget, int spacing = 0);
  void Trailing(QWidget* widget);
  void Gap(int pixels);
  void NewColumn();
  // Entry controls made outside the tables join the reading order here.
  void AddToReadingOrder(QWidget* widget);

  void Finish();

 private:
  QHBoxLayout* NewLine();
  void AddRow(GridPanel& section, const pages::Row& row, int gridRow,
              std::span<const pages::Column> columns, std::span<QLabel* const> headers);
  GridPanel* CaptionCell(GridPanel& section, const pages::Row& row);
  GridPanel* ValueCell(GridPanel& section, const pages::Row& row,
                       std::span<const pages::Column> columns,
                       std::span<QLabel* const> headers, QLabel* caption);
  void AddTableHeader(GridPanel& section, std::span<const pages::Column> columns,
                      std::vector<QLabel*>& headers);

  QWidget& page_;
  QHBoxLayout* columns_ = nullptr;
  QVBoxLayout* column_ = nullptr;
  QHBoxLayout* line_ = nullptr;
  int lineStretchIndex_ = 0;
  std::vector<QWidget*> readingOrder_;
  std::vector<GridPanel*> captionCells_;
};

}  // namespace kvn

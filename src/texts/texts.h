#pragma once
#include <QString>
#include <QStringList>
#include <utility>

#include "texts/text_table.h"

namespace kvn {

// "|" becomes CR LF; every three bars add one more CR LF at the end.
QString ExpandLines(const QString& text);

// Splits at the first "|": (field, rest). Without a bar the whole list is the field.
std::pair<QString, QString> NextField(const QString& list);

// The text-table row of a main-window label (kind Label, main window), or nullptr.
const TextEntry* MainWindowLabelRow(const QString& key);
// A main-window label's caption as the window shows it: a row marked indented is shown with
// two leading blanks. The pages, the language change and the reports all place it so.
QString IndentedCaption(const QString& key, const QString& caption);
QString IndentedCaption(const TextEntry& row, const QString& caption);

// Owner of CurrentTexts: one current string per text-table row. Created once at start-up and
// passed by reference; a test builds a fresh one in one line.
class Texts {
 public:
  Texts();  // every current text empty, as before collection

  QStringList CurrentTexts;  // kTextRowCount entries

  // Fills every row from the table's own default_text + extra_text. Stands in for window
  // collection where no window exists (core tests, the simulator).
  void FillFromDefaults();

  QString GetMessageText(int index) const;  // ExpandLines applied
  QString GetErrorText(int index) const;
  QString GetReportText(int index) const;
  QString GetEventText(int index) const;
  QString GetTextByKey(const QString& key) const;  // first row with the key; empty if none

 private:
  // Current text of the first row of the family with that number, or "text index unknown...".
  QString TextOfFamily(TextKind kind, int index) const;
};

}  // namespace kvn

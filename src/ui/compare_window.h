#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "parameters/difference_list.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kvn {

// The differences between the window's set and another one, a row per parameter: page,
// parameter, the window's value and the other side's. Double-click or Enter on a row brings
// that field to the front of the main window. A pair without differences says so in one line.
// Made once and reused; it stays open beside the main window.
class CompareWindow : public QDialog {
  Q_OBJECT

 public:
  // focus(row): bring the parameter of table row 1..155 to the front.
  CompareWindow(std::function<void(int row)> focus, QWidget* mainWindow = nullptr);

  // Fills the window and shows it beside the main window.
  void ShowDifferences(const QString& title, const QString& otherSide,
                       const std::vector<ParameterDifference>& differences);
  // Fills the window and runs it modally over its parent (a dialog that is modal itself).
  int RunDifferences(const QString& title, const QString& otherSide,
                     const std::vector<ParameterDifference>& differences);

  QTableWidget& Table() { return *table_; }
  QLabel& Summary() { return *summary_; }

 private:
  void Fill(const QString& title, const QString& otherSide,
            const std::vector<ParameterDifference>& differences);
  void Activate(int tableRow);

  std::function<void(int)> focus_;
  std::vector<int> rows_;  // parameter row of each table row
  QLabel* summary_;
  QTableWidget* table_;
  QPushButton* close_;
};

}  // namespace kvn

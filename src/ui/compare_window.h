#pragma once
#include <QDialog>
#include <QRect>
#include <functional>
#include <vector>

#include "parameters/difference_list.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kvn {

// Where a window of frame size `size` goes so that it covers neither the main window nor
// `keep` (the field the engineer works in; empty for none): beside the main window, right or
// left, where the screen has room; otherwise in the largest band of the screen beside `keep`,
// made smaller to fit when the band is. A null rect when even that leaves no room.
QRect PlaceClear(const QSize& size, const QRect& mainFrame, const QRect& keep, const QRect& screen);

// The differences between the window's set and another one, a row per parameter: page,
// parameter, the window's value and the other side's; a difference the shown texts hide is
// marked and carries the raw values. With a way to the field (focus), double-click or Enter on
// a row brings that field to the front of the main window, and the comparison steps aside
// from it. Made once and reused; it stays open beside the main window. Identical pairs are
// not shown here (the caller says so in a box).
class CompareWindow : public QDialog {
  Q_OBJECT

 public:
  // focus(row): bring the parameter of table row 1..155 to the front and give its control (or
  // nullptr); empty where the main window cannot take the focus (a session dialog holds it),
  // and the rows promise nothing.
  using Focus = std::function<QWidget*(int row)>;
  CompareWindow(Focus focus, QWidget* mainWindow = nullptr);

  // Fills the window and shows it beside the main window; a note stands above the rows (what
  // the other side's values are worth).
  void ShowDifferences(const QString& title, const QString& otherSide,
                       const std::vector<ParameterDifference>& differences, const QString& note = {});
  // Fills the window and runs it modally beside its parent (a dialog that is modal itself).
  int RunDifferences(const QString& title, const QString& otherSide,
                     const std::vector<ParameterDifference>& differences);

  QTableWidget& Table() { return *table_; }
  QLabel& Summary() { return *summary_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShareColumns();
  void FitNameColumn();
  const QWidget* Owner() const;
  QRect ExpectedFrame() const;
  void Fill(const QString& title, const QString& otherSide,
            const std::vector<ParameterDifference>& differences, const QString& note = {});
  void Activate(int tableRow);
  // Moves the window off its owner (the main window or the question it belongs to), and off
  // `keep` where it must stay over the owner; a window not yet shown is always placed.
  void StepAside(const QRect& keep);

  Focus focus_;
  std::vector<int> rows_;  // parameter row of each table row (0: a register no row shows)
  QLabel* summary_;
  QTableWidget* table_;
  QPushButton* close_;
};

}  // namespace kvn

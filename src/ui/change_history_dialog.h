#pragma once
#include <QByteArray>
#include <QDialog>
#include <functional>
#include <vector>

#include "operations/records_history.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace kvn {

class Prompts;
class Texts;

// File > Change history...: the commits of a unit's records, newest first (date, engineer,
// station, operation, outcome, changes), the selected one's changes in full below. The
// connected unit's, or off-line any unit the records hold. "Load this set" loads the selected
// commit's set as "Load configuration" loads a file; "Export..." writes the history's CSV.
class ChangeHistoryDialog : public QDialog {
  Q_OBJECT

 public:
  struct Services {
    Prompts& prompts;
    const Texts& texts;
    QString workDirectory;
    QChar decimal;
    QChar listSeparator;
    std::function<QString()> connectedUnit;          // empty when no unit is connected
    std::function<void(const QByteArray&)> loadSet;  // a settings.kvn, as a loaded file
  };

  ChangeHistoryDialog(Services services, QWidget* parent = nullptr);

  // Opens the dialog over the window (it blocks nothing else): the connected unit's history,
  // or the first unit of the records to choose from.
  void Run();
  void ShowUnit(const QString& unit);
  void LoadSelected();
  void Export();

 private:
  void Fill();
  void ShowSelected();
  const RecordedOperation* Selected() const;

  Services s_;
  QString unit_;
  std::vector<RecordedOperation> operations_;
  QComboBox* units_ = nullptr;
  QLabel* note_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPlainTextEdit* details_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* export_ = nullptr;
};

}  // namespace kvn

#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kvn {

class RecordsPush;

// File > Records server...: the plant's server the records are pushed to (a bare repository's
// path on a mounted share, file://, ssh://user@host[:port]/path or user@host:path), kept as the
// records' remote so that the command line uses it too. "Set" takes the address (an empty one
// clears it), a refused one says why in the dialog; "Sync now" runs on the push's worker.
class RecordsServerDialog : public QDialog {
  Q_OBJECT

 public:
  RecordsServerDialog(QString workDirectory, RecordsPush& push, QWidget* parent = nullptr);

  void Run();
  void Apply();
  void SyncNow();

 private:
  void ShowServer();
  void ShowOutcome(const QString& text);

  QString workDirectory_;
  RecordsPush& push_;
  QLineEdit* address_ = nullptr;
  QLabel* current_ = nullptr;
  QLabel* outcome_ = nullptr;
  QPushButton* sync_ = nullptr;
};

}  // namespace kvn

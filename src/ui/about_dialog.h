#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace kvn {

class Texts;

// The about box: the about text, centred and word-wrapped in an area of fixed width that is
// as high as the text needs, the program's version and an OK button.
class Tabout_kvn : public QDialog {
  Q_OBJECT

 public:
  explicit Tabout_kvn(const Texts& texts, QWidget* parent = nullptr);

  // The about menu item: caption = the main window's current caption, text from the current
  // texts, shown modally. Returns the result.
  int Run(const QString& caption);

 private:
  void ApplyTexts(const QString& caption);

  const Texts& texts_;
  QLabel* lbl3_about_text_;
  QLabel* version_;
  QPushButton* cmd3_ok_;
};

}  // namespace kvn

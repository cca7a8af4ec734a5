#pragma once
#include <QLabel>

namespace kvn {

// The "ⓘ " mark of a row: a label whose caption is the circled letter, drawn as a vector
// circle with a bold "i" so that it shows the same whether or not the font has the glyph.
class InfoMark : public QLabel {
  Q_OBJECT

 public:
  InfoMark(const QString& name, QWidget* parent);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kvn

#pragma once
#include <QString>
#include <QWidget>

namespace kvn {

// A layout panel of the main window's pages. Control lookup by name descends into grid panels
// (and only into them), so every row cell and section of a page is one of these.
class GridPanel : public QWidget {
  Q_OBJECT

 public:
  enum class Look {
    Plain,    // invisible layout cell
    Section,  // white card with a border; odd rows of its grid are shaded
    Tag,      // small framed cell showing its caption (the error-code legend)
  };

  GridPanel(const QString& name, Look look, QWidget* parent);

  // The panel's own caption, drawn centred (used by Look::Tag panels).
  void SetCaption(const QString& caption);
  QString Caption() const { return caption_; }
  Look GetLook() const { return look_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintSection(QPainter& painter) const;
  void PaintTag(QPainter& painter) const;

  Look look_;
  QString caption_;
};

}  // namespace kvn

#pragma once
#include <QFrame>
#include <QString>
#include <functional>

class QLabel;

namespace kvn {

class Texts;

struct BalloonText {
  QString title;
  QString description;  // one CR LF-ended piece per matching text row
};

// What the info balloon of a control shows. The title comes from the row caption (the name
// without its first "_i": lbl_i_usr_tag1 → lbl_usr_tag1), the description from every text row
// keyed by the name itself, each with its range placeholder substituted and "|" expanded.
BalloonText ComposeBalloon(const QString& name, const Texts& texts,
                           const std::function<QString(const QString&)>& substituteRange);

// The balloon shown beside an info mark while the mouse rests on it: a bold title over the
// description, in a small tool-tip window that stays until it is hidden.
class InfoBalloon : public QFrame {
  Q_OBJECT

 public:
  explicit InfoBalloon(QWidget* parent);

  void SetText(const BalloonText& text);
  QString Title() const { return text_.title; }
  QString Description() const { return text_.description; }

  // Shows the balloon next to the control, kept on the control's screen.
  void ShowAt(const QWidget& control);

 private:
  BalloonText text_;
  QLabel* title_;
  QLabel* description_;
};

}  // namespace kvn

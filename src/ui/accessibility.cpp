#include "ui/accessibility.h"

#include <QLabel>
#include <QVariant>

namespace kvn {

namespace {

constexpr char kRowCaption[] = "kvn_row_caption";
constexpr char kColumnHeader[] = "kvn_column_header";

// Caption labels are looked up by name in the control's section each time, so a caption that
// was removed or renamed leaves the name empty instead of dangling.
QString CaptionOf(const QWidget& control, const char* property) {
  const QString name = control.property(property).toString();
  if (name.isEmpty()) return QString();
  const QWidget* cell = control.parentWidget();
  const QWidget* section = cell != nullptr ? cell->parentWidget() : nullptr;
  const QLabel* label = section != nullptr ? section->findChild<QLabel*>(name) : nullptr;
  return label != nullptr ? label->text().trimmed() : QString();
}

void ApplyName(QWidget& control) {
  QString name = CaptionOf(control, kRowCaption);
  const QString column = CaptionOf(control, kColumnHeader);
  if (!column.isEmpty()) name += QStringLiteral(", ") + column;
  // A value label keeps its text as the name, so the value is what gets read out.
  if (qobject_cast<QLabel*>(&control) != nullptr)
    control.setAccessibleDescription(name);
  else
    control.setAccessibleName(name);
}

}  // namespace

void DescribeForScreenReaders(QWidget& control, const QLabel* rowCaption,
                              const QLabel* columnHeader) {
  control.setProperty(kRowCaption, rowCaption != nullptr ? rowCaption->objectName() : QString());
  control.setProperty(kColumnHeader,
                      columnHeader != nullptr ? columnHeader->objectName() : QString());
  ApplyName(control);
}

void RefreshAccessibleNames(QWidget& root) {
  for (QWidget* child : root.findChildren<QWidget*>()) {
    if (child->property(kRowCaption).isValid()) ApplyName(*child);
  }
}

}  // namespace kvn

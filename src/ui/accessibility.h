#pragma once

class QLabel;
class QWidget;

namespace kvn {

// Entry controls on the pages have no caption of their own: screen readers get the row caption
// (and, in the relay and value tables, the column heading) as the control's accessible name.
// The captions are remembered by label, so a translated caption is picked up again by
// RefreshAccessibleNames.
void DescribeForScreenReaders(QWidget& control, const QLabel* rowCaption,
                              const QLabel* columnHeader);
void RefreshAccessibleNames(QWidget& root);

}  // namespace kvn

#pragma once
#include <QList>
#include <QPointer>

class QWidget;

namespace kvn {

// Shows a small indicator window (port scan, event-log load) centred on its owner's window,
// or on the screen without one, and lets it paint before the caller blocks the thread; clicks
// wait until the caller is done.
void ShowIndicatorCentred(QWidget& indicator);

// Indicators stay on top of everything, also of a box that the blocked operation shows (its
// failure message): while such a box is up they stand aside, so the box is seen and takes the
// click, and they come back when it closes.
class IndicatorsStandAside {
 public:
  IndicatorsStandAside();
  ~IndicatorsStandAside();
  IndicatorsStandAside(const IndicatorsStandAside&) = delete;
  IndicatorsStandAside& operator=(const IndicatorsStandAside&) = delete;

 private:
  QList<QPointer<QWidget>> hidden_;
};

}  // namespace kvn

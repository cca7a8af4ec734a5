#pragma once

class QWidget;

namespace kvn {

// Shows a small indicator window (port scan, event-log load) centred on its owner's window,
// or on the screen without one, and lets it paint before the caller blocks the thread; clicks
// wait until the caller is done.
void ShowIndicatorCentred(QWidget& indicator);

}  // namespace kvn

#pragma once

class QFrame;
class QLabel;
class QWidget;

namespace kvn {

inline constexpr int kStatusPanelWidth = 236;

// The status panel right of the pages: connection state, the main commands, off-line mode,
// the logo and the version. Its controls are its direct children, in top-to-bottom order.
QFrame* BuildStatusPanel(QWidget& parent);

}  // namespace kvn

#pragma once
#include <QFrame>

#include "device_link/serial_link.h"

class QLabel;
class QProgressBar;

namespace kvn {

// The small window shown while the COM ports are probed: no border, no buttons, on top of
// everything and centred on its owner. The progress bar follows the probe but stays hidden, so
// the window reads as a plain notice.
class Tcom_scan : public QFrame {
  Q_OBJECT

 public:
  explicit Tcom_scan(QWidget* owner = nullptr);

  // Hands the probe to the serial link: begin shows the window and lets it paint, step moves
  // the bar, end hides the window again.
  ScanIndicator Indicator();

  QLabel& lbl4_scan_if() { return *label_; }
  QProgressBar& pgb_scan() { return *progress_; }

 private:
  void Begin(int maximum);

  QLabel* label_;
  QProgressBar* progress_;
};

}  // namespace kvn

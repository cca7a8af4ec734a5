#include "device_link/pause.h"

#include <QThread>

namespace kvn {

void Pause::Wait(int milliseconds) {
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace kvn

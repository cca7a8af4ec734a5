#pragma once
#include "device_link/register_image.h"
#include "operations/poll_state.h"
#include "operations/window_controls.h"

class QTimer;

namespace kvn {

class BlockTransfer;
class SerialLink;
class Texts;
struct LocSetupRec;

// What every device operation on the window works with: the window's controls, the settings,
// the link and block transfers, the images, the texts, the poll state and the poll timer.
// The application makes one; each operation keeps a copy (the members are references).
struct DeviceContext {
  WindowControls controls;
  LocSetupRec& setup;
  SerialLink& link;
  BlockTransfer& blocks;
  RegisterImages& images;
  const Texts& texts;
  PollState& poll;
  QTimer& timer;
};

}  // namespace kvn

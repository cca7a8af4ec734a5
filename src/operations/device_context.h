#pragma once
#include "device_link/register_image.h"
#include "operations/poll_state.h"

class QTimer;

namespace kvn {

class BlockTransfer;
class SerialLink;
class Texts;
struct LocSetupRec;

// What every device operation works with: the settings, the link and block transfers, the
// images, the texts, the poll state and the poll timer (stopped while an operation talks to the
// device). No widget: a front end shows the outcomes. The application makes one; each operation
// keeps a copy (the members are references).
struct DeviceContext {
  LocSetupRec& setup;
  SerialLink& link;
  BlockTransfer& blocks;
  RegisterImages& images;
  const Texts& texts;
  PollState& poll;
  QTimer& timer;
};

}  // namespace kvn

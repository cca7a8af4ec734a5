#include "devsim/faults.h"

namespace kvn::devsim {

namespace {
constexpr int kDelayedFirstByteMs = 150;
constexpr int kSlowByteGapMs = 250;
constexpr int kNoiseByteCount = 3;
constexpr int kWrongDeviceType = 2200;
constexpr int kWrongFirmware = 115;
constexpr int kWrongDeviceMode = 0;
constexpr int kMeasurementGroup = 0x08;
constexpr int kUserAddressRegister = 2040;
}  // namespace

void Faults::Clear() {
  silent = false;
  firstByteDelayMs = 0;
  interByteGapMs = 0;
  noiseBytes = 0;
  addressBurstNext = 0;
  corruptCrc = false;
  corruptCrcNext = 0;
  late = false;
  lateDelayMs = 500;
  deviceType = -1;
  firmware = -1;
  deviceMode = -1;
  rejectGroups = 0;
  alterWrittenRegister = -1;
  silentLogFrom = -1;
  disconnect = false;
  disconnectAtRequest = 0;
  accessLevel = -1;
  failAtWriteCountdown = 0;
  failAtWriteKind = WriteFailure::Silent;
  defaultAnswerHigh = -1;
  silentAfterProgCommand = false;
  spoilAnswerCountdown = 0;
  spoilOnward = false;
  answersSpoiled = 0;
  corruptPerMille = 0;
  programmingEndsBeforeCommit = false;
  commitKeepsOldSet = false;
  progCommandAnswersLost = 0;
  silentAfterCommit = false;
  deviceBitAfterCommit = false;
  commitAltersRegister = -1;
}

void Faults::Set(Fault fault) {
  switch (fault) {
    case Fault::None: Clear(); break;
    case Fault::Silent: silent = true; break;
    case Fault::Delayed: firstByteDelayMs = kDelayedFirstByteMs; break;
    case Fault::SlowBytes: interByteGapMs = kSlowByteGapMs; break;
    case Fault::Noise: noiseBytes = kNoiseByteCount; break;
    case Fault::CorruptCrc: corruptCrc = true; break;
    case Fault::Late: late = true; break;
    case Fault::WrongType: deviceType = kWrongDeviceType; break;
    case Fault::WrongFirmware: firmware = kWrongFirmware; break;
    case Fault::WrongMode: deviceMode = kWrongDeviceMode; break;
    case Fault::RejectCommit: rejectGroups = kMeasurementGroup; break;
    case Fault::ReadBackChanged: alterWrittenRegister = kUserAddressRegister; break;
    case Fault::Disconnect: disconnect = true; break;
  }
}

namespace {

// Counts a switch of "the next N" down; true when it was still on.
bool TakeOne(std::atomic<int>& left) {
  int n = left.load();
  while (n > 0)
    if (left.compare_exchange_weak(n, n - 1)) return true;
  return false;
}

}  // namespace

bool Faults::TakeCrcCorruption() { return corruptCrc || TakeOne(corruptCrcNext); }

bool Faults::TakeProgAnswerLoss() { return TakeOne(progCommandAnswersLost); }

bool Faults::TakeSpoiledAnswer() {
  int n = spoilAnswerCountdown.load();
  while (n > 0) {
    if (!spoilAnswerCountdown.compare_exchange_weak(n, n - 1)) continue;
    if (n == 1 && spoilOnward) spoilAnswerCountdown = 1;  // and so on for every later answer
    if (n == 1) ++answersSpoiled;
    return n == 1;
  }
  return false;
}

bool Faults::TakeWriteFailure() {
  int n = failAtWriteCountdown.load();
  while (n > 0) {
    if (failAtWriteCountdown.compare_exchange_weak(n, n - 1)) return n == 1;
  }
  return false;
}

}  // namespace kvn::devsim

#pragma once
#include <QDateTime>
#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "device_link/register_image.h"
#include "operations/device_context.h"
#include "ui/window_controls.h"

namespace kvn {

class BlockTransfer;
class Codec;
class ConnectionDisplay;
class SerialLink;
class Texts;
struct LocSetupRec;

inline constexpr int kErrorBits = 25;
inline constexpr int kErrorLinesShown = 4;

// The current errors and the error memory, each error with the time it was first seen.
class ErrorLists {
 public:
  struct Entry {
    int bit;
    QDateTime firstSeen;
  };

  explicit ErrorLists(QDateTime programStart = QDateTime::currentDateTime());

  // Rebuilds both lists from the current error status and the error memory at time now.
  void Update(uint32_t current, uint32_t memory, const QDateTime& now);

  const std::vector<Entry>& Current() const { return current_; }
  const std::vector<Entry>& Memory() const { return memory_; }

 private:
  std::array<QDateTime, kErrorBits> FirstSeenTime;
  uint32_t previous_ = 0;
  std::vector<Entry> current_;
  std::vector<Entry> memory_;
};

// The poll on Timer1 and the live values it shows.
class LiveData {
 public:
  struct Services : DeviceContext {
    WindowControls controls;
    const Codec& codec;
    ConnectionDisplay& display;
    // Appends the samples of one tick: (poll good, previous tick failed, speed).
    std::function<void(bool, bool, float)> feedPlot;
    // Redraws the plot unless a report has suspended drawing.
    std::function<void()> redrawPlot;
    // After every poll of the device, whatever its outcome.
    std::function<void()> polled = {};
  };

  explicit LiveData(Services services);

  void PollDevice();  // Timer1Timer
  void ShowProcessData(PollPhase previousPhase);
  void UpdateErrorLists();
  void scr_err_labChange();
  void scr_emem_labChange();

  ErrorLists& Errors() { return errors_; }

 private:
  void ShowProcessValues();
  void ShowOutputTable();
  void ShowDeviceStatus();
  void ShowIdentification();
  void DrawErrorList(const std::vector<ErrorLists::Entry>& list, const char* labelStem,
                     const char* barName);
  void SetErrorBar(const char* barName, int entries);
  bool StopTicked() const;

  Services s_;
  ErrorLists errors_;
  QString timeFormat_;
};

}  // namespace kvn

#pragma once
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "devsim/device_model.h"
#include "devsim/faults.h"
#include "devsim/rtu_frames.h"

namespace kvn::devsim {

// One request as it arrived (valid CRC, any slave address).
struct RecordedRequest {
  uint8_t address = 0;
  uint8_t function = 0;
  uint16_t start = 0;  // functions 3, 4 and 16
  uint16_t count = 0;
  bool operator==(const RecordedRequest&) const = default;
};

// What goes back on the line for one request, and how.
struct Reply {
  std::vector<uint8_t> bytes;  // noise bytes first, then the answer
  int firstByteDelayMs = 0;
  int interByteGapMs = 0;
};

// The device as a Modbus RTU slave: request frame in, reply out. Applies the framing faults
// (silence, noise, CRC corruption, delays) and records every request; the model applies the
// device faults (identity, commit rejection, read-back).
class Simulator {
 public:
  explicit Simulator(const ModelOptions& options = {});
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // nullopt: the device stays silent (bad CRC, another slave, broadcast, silent fault).
  std::optional<Reply> HandleFrame(std::span<const uint8_t> frame);

  DeviceModel& Model() { return model_; }
  const DeviceModel& Model() const { return model_; }
  Faults& GetFaults() { return faults_; }
  void SetFault(Fault fault) { faults_.Set(fault); }

  const std::vector<RecordedRequest>& Requests() const { return requests_; }
  void ClearRequests() { requests_.clear(); }

 private:
  std::vector<uint8_t> Execute(const rtu::Request& request);
  std::vector<uint8_t> NoiseBytes(int count, uint8_t address) const;
  std::optional<Reply> SpoiledReply(AnswerFault how, std::vector<uint8_t> answer, uint8_t own);
  int Pick(int n);  // 0..n-1
  void StartWriteFailure();
  static bool WritesProgCommand(const rtu::Request& request);
  // A command to register 108 that commits (the working set or the default).
  static bool IsCommit(const rtu::Request& request);

  Faults faults_;
  DeviceModel model_;
  std::vector<RecordedRequest> requests_;
  std::minstd_rand spoilRandom_;
};

}  // namespace kvn::devsim

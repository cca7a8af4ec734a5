#pragma once
#include <cstdint>
#include <optional>
#include <random>

namespace kvn::devsim {

// The shaft the device watches: from standstill a slow S-shaped run-up to the rated speed,
// then a plateau that wanders gently around it, with measurement noise on top. A test or the
// command line can pin the speed and acceleration to drive the alarms deterministically.
class SpeedSignal {
 public:
  static constexpr double kRunUpSeconds = 30.0;
  static constexpr double kWanderPeriodSeconds = 60.0;
  static constexpr double kWanderFraction = 0.01;  // of the rated speed
  static constexpr double kNoiseFraction = 0.002;  // of the rated speed, peak

  struct Sample {
    float speed = 0;         // RPM
    float acceleration = 0;  // RPM/s
  };

  explicit SpeedSignal(uint32_t seed = 2300) : random_(seed) {}

  Sample At(double seconds, float ratedSpeed);

  void ForceSpeed(std::optional<float> rpm) { forcedSpeed_ = rpm; }
  void ForceAcceleration(std::optional<float> rpmPerSecond) { forcedAcceleration_ = rpmPerSecond; }

 private:
  double Noise(double peak);

  std::minstd_rand random_;
  std::optional<float> forcedSpeed_;
  std::optional<float> forcedAcceleration_;
};

}  // namespace kvn::devsim

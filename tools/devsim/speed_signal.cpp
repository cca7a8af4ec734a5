#include "devsim/speed_signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvn::devsim {

double SpeedSignal::Noise(double peak) {
  std::uniform_real_distribution<double> d(-peak, peak);
  return d(random_);
}

SpeedSignal::Sample SpeedSignal::At(double seconds, float ratedSpeed) {
  const double rated = std::isfinite(ratedSpeed) && ratedSpeed > 0 ? ratedSpeed : 0.0;
  double speed = 0;
  double acceleration = 0;
  if (seconds < kRunUpSeconds) {
    // Smoothstep run-up: no jump in acceleration at either end.
    const double u = std::max(0.0, seconds / kRunUpSeconds);
    speed = rated * u * u * (3 - 2 * u);
    acceleration = rated * 6 * u * (1 - u) / kRunUpSeconds;
  } else {
    const double w = 2 * std::numbers::pi / kWanderPeriodSeconds;
    const double phase = w * (seconds - kRunUpSeconds);
    speed = rated * (1 + kWanderFraction * std::sin(phase));
    acceleration = rated * kWanderFraction * w * std::cos(phase);
  }
  if (rated > 0) {
    speed = std::max(0.0, speed + Noise(rated * kNoiseFraction));
    acceleration += Noise(rated * kNoiseFraction);
  }
  Sample s{static_cast<float>(speed), static_cast<float>(acceleration)};
  if (forcedSpeed_) {
    s.speed = *forcedSpeed_;
    s.acceleration = 0;
  }
  if (forcedAcceleration_) s.acceleration = *forcedAcceleration_;
  return s;
}

}  // namespace kvn::devsim

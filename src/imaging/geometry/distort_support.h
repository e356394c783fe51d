// What the distortions and their plain twins share: the angle constants, and how
// far Spin and Spin Wave turn a pixel at each distance from the centre.
#pragma once

#include <algorithm>
#include <cmath>

namespace cvl::imaging::detail {

constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2 * kPi;
constexpr float kRadiansPerDegree = kPi / 180;

// Spin: `angle` degrees at the centre, easing to none at `radius` (no turn at all
// leaves the picture: the radius is then 0).
struct SpinTurn {
  float a, inv, radius;
  SpinTurn(float angle, float r) : a(angle * kRadiansPerDegree), inv(r > 0 ? 1 / r : 0), radius(a == 0 ? 0 : r) {}
  float operator()(float r) const {
    const float t = 1 - r * inv;
    return a * t * t;
  }
};

// Spin Wave: the turn swings with distance, waves `wavelength` pixels long, dying
// away toward `radius`.
struct SpinWaveTurn {
  float a, inv, w, radius;
  SpinWaveTurn(float angle, float wavelength, float r)
      : a(angle * kRadiansPerDegree),
        inv(r > 0 ? 1 / r : 0),
        w(kTwoPi / std::max(wavelength, 1.0f)),
        radius(a == 0 ? 0 : r) {}
  float operator()(float r) const { return a * std::sin(w * r) * (1 - r * inv); }
};

}  // namespace cvl::imaging::detail

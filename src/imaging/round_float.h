// Rounding a float to the nearest whole number without a library call.
#pragma once

#include <cmath>

namespace cvl::imaging {

// std::lround for values whose whole part fits a long exactly (a pixel's worth
// give or take): the nearest whole number, halves away from zero. The
// difference from the truncated whole part is exact, so the half is decided
// as the library decides it.
inline long round_half_away(float v) {
  const float a = std::fabs(v);
  const float whole = float(long(a));
  const long r = long(whole) + (a - whole >= 0.5f ? 1 : 0);
  return v < 0 ? -r : r;
}

}  // namespace cvl::imaging

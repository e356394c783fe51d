// How the selection and fill tools read their tolerance and strength
// arguments. A tolerance t arrives as a percentage * 500 (0..50000); a
// strength as a plain percentage.
#pragma once

#include <cstdint>

#include "mask/mask_state.h"

namespace cvl {

// The squared-distance form: the percentage of 195075 (= 3 * 255^2, the
// largest squared RGB distance), computed as trunc(t * 0.00002 * 195075).
// Held to +-2^30 first so that wild arguments cannot overflow the conversion;
// anything beyond 195075 already matches every colour.
inline int32_t squared_distance_tolerance(int32_t t) {
  const double d = t * 0.00002 * 195075;
  if (d >= 1073741824.0) return 1073741824;
  if (d <= -1073741824.0) return -1073741824;
  return static_cast<int32_t>(d);
}

// The whole-percent form used by the range builders.
inline int32_t percent_tolerance(int32_t t) { return t / 500; }

// The percentage as a fraction 0..1 (the HSL range builder's tolerances).
inline double fraction_tolerance(int32_t t) { return t * 0.00002; }

// A strength or grey level 0..255: trunc(percent * 2.559).
inline int32_t strength_level(int32_t percent) { return scaled_tolerance(percent, 2.559); }

}  // namespace cvl

// What the gauzy glow and its plain twin share: how a picture byte and its glow
// byte mix.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imaging/artistic/gauzy.h"

namespace cvl::imaging::detail {

// Picture byte `a` and glow byte `glow`, the glow lifted by `gain` (1..2), blended
// by `blend` and mixed in by `strength` (0..1), in floats rounded by the library.
inline uint8_t gauzy_mix(float a, float glow, float gain, float strength, GauzyBlend blend) {
  const float g = std::min(255.0f, glow * gain);
  float b = a;
  switch (blend) {
    case GauzyBlend::Lighten:
      b = std::max(a, g);
      break;
    case GauzyBlend::Screen:
      b = 255 - (255 - a) * (255 - g) / 255;
      break;
    case GauzyBlend::Darken:
      b = std::min(a, g);
      break;
  }
  return uint8_t(std::lround(a + (b - a) * strength));
}

}  // namespace cvl::imaging::detail

// What the view has composited so far for one span of canvas pixels.
//
// A pixel holds 16-bit integers until a layer needs the floating-point blend;
// from then on it keeps the blend's real results (on the word scales, colour
// x 65280 and alpha x 65535) for the next layer instead of truncating them
// after every layer, and is truncated to words once, after the last layer.
#pragma once

#include <cstdint>

namespace cvl {

constexpr int32_t kViewChunk = 256;

struct ViewAccumulator {
  alignas(32) uint16_t px[kViewChunk * 4];    // R, G, B, A while integer
  alignas(32) float real[4][kViewChunk];      // R, G, B, A planes once blended, untruncated
  alignas(8) uint8_t is_real[kViewChunk];

  // Empty: colour 0, alpha 0, integer.
  void clear(int32_t n);
};

}  // namespace cvl

// What the view has composited so far for one span of canvas pixels.
//
// A pixel holds 16-bit integers until a layer needs the floating-point blend;
// from then on it keeps the blend's real results (on the word scales, colour
// x 65280 and alpha x 65535) for the next layer instead of truncating them
// after every layer, and is truncated to words once, after the last layer.
#pragma once

#include <cmath>
#include <cstdint>

#include "layers/blend_formulas.h"

namespace cvl {

constexpr int32_t kViewChunk = 256;

struct ViewAccumulator {
  alignas(16) uint16_t px[kViewChunk * 4];    // R, G, B, A while integer
  alignas(16) float real[kViewChunk][4];      // R, G, B, A once blended, untruncated
  uint8_t is_real[kViewChunk];

  // Empty: colour 0, alpha 0, integer.
  void clear(int32_t n);
};

// A single-precision value that the compositor's blend carries through its
// last step untouched: the blend truncates its results to 16-bit words, which
// the view does only once, after the last layer. Every operation is the plain
// float operation, so the blend's values are the compositor's own.
struct Unrounded {
  float v;
  Unrounded(float x = 0.0f) : v(x) {}  // implicit: the blend makes its constants from floats
};
inline Unrounded operator+(Unrounded a, Unrounded b) { return a.v + b.v; }
inline Unrounded operator-(Unrounded a, Unrounded b) { return a.v - b.v; }
inline Unrounded operator*(Unrounded a, Unrounded b) { return a.v * b.v; }
inline Unrounded operator/(Unrounded a, Unrounded b) { return a.v / b.v; }
inline bool operator<(Unrounded a, Unrounded b) { return a.v < b.v; }
inline bool operator>(Unrounded a, Unrounded b) { return a.v > b.v; }
inline bool operator<=(Unrounded a, Unrounded b) { return a.v <= b.v; }
inline bool operator>=(Unrounded a, Unrounded b) { return a.v >= b.v; }
inline Unrounded lane_sqrt(Unrounded a) { return std::sqrt(a.v); }
inline Unrounded lane_trunc(Unrounded a) { return a; }

}  // namespace cvl

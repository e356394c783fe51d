// What the view has composited so far for one span of canvas pixels.
//
// A pixel holds 16-bit integers until a layer needs the floating-point blend;
// from then on it keeps the blend's real values (colour and alpha on 0..1) for
// the next layer instead of truncating them after every layer, and is turned
// back into integers once, after the last layer.
#pragma once

#include <cstdint>

#include "layers/blend_formulas.h"

namespace cvl {

constexpr int32_t kViewChunk = 256;

struct ViewAccumulator {
  alignas(16) uint16_t px[kViewChunk * 4];    // R, G, B, A while integer
  alignas(16) float real[4][kViewChunk];      // R, G, B, A on 0..1 once blended
  alignas(16) uint8_t is_real[kViewChunk];

  // Empty: colour 0, alpha 0, integer.
  void clear(int32_t n);
};

// The floating-point blend of mode K, source colour c (0..65535 each) at alpha o
// over a destination given premultiplied (D, on the colour scale 0..1) at alpha
// Da (0..1, above 0). Gives the unpremultiplied result colour q and alpha Ra,
// both clamped to 0..1. The same single-precision steps, in the same order, as
// the layer compositor's blend, whose per-channel formulas it calls.
template <int K, class F>
inline void blend_real(const F c[3], F o, const F D[3], F Da, F q[3], F& Ra) {
  const F one = splat<F>(1.0f);
  const F Sa = o / splat<F>(65535.0f);
  F S[3];
  for (int ch = 0; ch < 3; ++ch) S[ch] = c[ch] * Sa / splat<F>(65280.0f);
  if constexpr (K == 15 || K == 16) {
    Ra = Da + Sa;
  } else if constexpr (is_texturize(K)) {
    Ra = Da;
  } else {
    Ra = Da + (one - Da) * Sa;
  }
  F tex = splat<F>(0.0f);
  if constexpr (K == 17 || K == 18) {
    const F half = splat<F>(0.5f);
    const F s = (c[0] + c[1] + c[2]) / splat<F>(195840.0f);
    if constexpr (K == 17) {
      const F n = (D[0] / Da + D[1] / Da + D[2] / Da) / splat<F>(3.0f) + Sa * (s - half);
      tex = n - half;
    } else {
      tex = s - half;
    }
  }
  Ra = clamp01(Ra);
  for (int ch = 0; ch < 3; ++ch) q[ch] = clamp01(blend_channel<K>(S[ch], D[ch], Sa, Da, tex) / Ra);
}

}  // namespace cvl

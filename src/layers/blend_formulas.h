// The floating-point blend of the layer mix modes.
//
// Colours are scaled by 65280 (an 8-bit 255 widened) and alphas by 65535; the
// working values are premultiplied. All intermediates are single precision and
// the expressions keep their written order, because hosts compare flattened
// images word for word with what earlier versions of the engine produced.
// F is float or f32x4 (four pixels at once, see float_lanes.h).
#pragma once

#include <cstdint>

#include "layers/float_lanes.h"

namespace cvl {

// The blend a mix mode uses once the alpha-mode step is done. Reflect, Glow,
// the unnamed mode 20 and the alpha modes blend as Normal; "Alpha Shader
// Texture2" and "Alpha Highlight Texture2" as Texturize2; the last two smooth
// modes as Multiply in same-alpha mode.
constexpr int blend_kind(int mode, bool same_alpha) {
  if (mode == 13 || mode == 14 || mode == 20) return 0;
  if (mode <= 19) return mode;
  if (mode == 28 || mode == 29) return 18;
  if ((mode == 34 || mode == 35) && same_alpha) return 1;
  return 0;
}

constexpr bool is_texturize(int k) { return k >= 17 && k <= 19; }

// One premultiplied channel value V of blend K (P is the part of each input
// outside the other's coverage). `tex` carries Texturize's per-pixel term.
template <int K, class F>
CVL_LANES_INLINE F blend_channel(F S, F D, F Sa, F Da, F tex) {
  const F one = splat<F>(1.0f), two = splat<F>(2.0f);
  const F P = S * (one - Da) + D * (one - Sa);
  if constexpr (K == 0) {
    return S + D * (one - Sa);
  } else if constexpr (K == 1) {
    return S * D + P;
  } else if constexpr (K == 2) {
    return S + D - S * D;
  } else if constexpr (K == 3) {
    return D * Sa > S * Da ? S + D * (one - Sa) : D + S * (one - Da);
  } else if constexpr (K == 4) {
    return D * Sa < S * Da ? S + D * (one - Sa) : D + S * (one - Da);
  } else if constexpr (K == 5) {
    const F sd = S * Da, ds = D * Sa;
    return S + D - two * (sd < ds ? sd : ds);
  } else if constexpr (K == 6 || K == 7) {
    return S + D - two * S * D;
  } else if constexpr (K == 8) {
    return two * D < Da ? two * S * D + P : Sa * Da - two * (Da - D) * (Sa - S) + P;
  } else if constexpr (K == 9) {
    return two * S < Sa ? two * S * D + P : Sa * Da - two * (Da - D) * (Sa - S) + P;
  } else if constexpr (K == 10) {
    const F m = D / Da;
    const F low = D * (Sa + (two * S - Sa) * (one - m)) + P;
    const F mid = D * (Sa + (two * S - Sa) * (one - m) * (splat<F>(3.0f) - splat<F>(8.0f) * m)) + P;
    const F high = D * Sa + (two * S - Sa) * (Da * lane_sqrt(m) - D) + P;
    return two * S < Sa ? low : (splat<F>(8.0f) * D <= Da ? mid : high);
  } else if constexpr (K == 11) {
    return S * Da + D * Sa >= Sa * Da ? Sa * Da + P : D * Sa / (one - S / Sa) + P;
  } else if constexpr (K == 12) {
    return S * Da + D * Sa > Sa * Da ? Sa * (S * Da + D * Sa - Sa * Da) / S + P : P;
  } else if constexpr (K == 15) {
    return S + D;
  } else if constexpr (K == 16) {
    return S + D - Sa * Da;
  } else if constexpr (K == 17 || K == 18) {
    return D / Da + splat<F>(1.75f) * Sa * tex;
  } else {
    static_assert(K == 19);
    return D / Da;
  }
}

// Blends source colour c (0..65535 each) at alpha o over destination colour dc at
// alpha A (both alphas above 0) and gives the four results on the word scales
// (colour x 65280, alpha x 65535) before any truncation. The compositor truncates
// them to words at once; the view carries them to the next layer as they are.
template <int K, class F>
CVL_LANES_INLINE void blend_pixel_unrounded(const F c[3], F o, const F dc[3], F A, F out[4]) {
  const F one = splat<F>(1.0f);
  const F Sa = o / splat<F>(65535.0f);
  const F Da = A / splat<F>(65535.0f);
  F S[3], D[3];
  for (int ch = 0; ch < 3; ++ch) {
    S[ch] = c[ch] * Sa / splat<F>(65280.0f);
    D[ch] = dc[ch] * Da / splat<F>(65280.0f);
  }
  F Ra;
  if constexpr (K == 15 || K == 16) {
    Ra = Da + Sa;
  } else if constexpr (is_texturize(K)) {
    Ra = Da;
  } else {
    Ra = Da + (one - Da) * Sa;
  }
  // Texturize modes lift the destination by the source's mean channel s; the
  // first also by the destination's own mean n.
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
  for (int ch = 0; ch < 3; ++ch) out[ch] = clamp01(blend_channel<K>(S[ch], D[ch], Sa, Da, tex) / Ra) * splat<F>(65280.0f);
  out[3] = Ra * splat<F>(65535.0f);
}

// The same, truncated to the result words.
template <int K, class F, class I>
CVL_LANES_INLINE void blend_pixel(const F c[3], F o, const F dc[3], F A, I out[4]) {
  F real[4];
  blend_pixel_unrounded<K>(c, o, dc, A, real);
  for (int ch = 0; ch < 4; ++ch) out[ch] = lane_trunc(real[ch]);
}

}  // namespace cvl

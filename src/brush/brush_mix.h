// Brush mix: how one painted pixel of a dab combines the brush's source colour
// with the pixel already on the target, weighted by the pixel's coverage.
//
// The brush has its own mode numbers, separate from the layer mix modes. Every
// formula works in unsigned 32-bit integers with truncating shifts and divisions
// (soft light alone uses floats), because strokes must reproduce bit for bit.
//
// A dab resolves its mode once into a MixKernel: the four rules of the low modes
// (which depend on blending and erasing) and one kernel per high mode. The
// per-pixel function is a template on the kernel, so the dab's row loop has no
// mode switch inside; mix_pixel_generic() is the same stage written as one plain
// switch, kept as the reference the specialised loops are checked against.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "core/rand.h"

namespace cvl {

constexpr int32_t kBrushMixNormal = 32;
constexpr int32_t kBrushMixFirstHigh = 34;  // modes below this take the normal/multiply rules

enum class MixKernel : uint8_t {
  LowBlend,     // mode 32 while blending: plain coverage mix of colour and alpha
  LowErase,     // any low mode while erasing: alpha fades with coverage
  LowNormal,    // mode 32: source over destination, un-premultiplied
  LowMultiply,  // every other low mode
  Screen, Darken, Lighten, Difference, Exclusion, Soft39, Overlay, HardLight, SoftLight,
  Dodge, Burn, Dodge45, Dodge46, Add, Subtract,
  Bank249, Bank250, Bank251, Bank252, Bank253, Bank254, Bank255,
  Bank256, Bank257, Bank258, Bank259, Bank260, Poster261, Poster262,
  Shift295, Grey340,
  Source,  // numbers outside the host's set: the source through the strength blend
  Count
};

// What stays fixed for a whole dab.
struct MixContext {
  uint32_t strength = 0;  // mix_strength
  uint32_t keep = 0;      // mix_keep
  uint32_t shift = 0;     // mix_shift, as a shift count
  uint32_t banks[4][3] = {};
  uint32_t source_alpha_mask = 0xFFFFFFFFu;  // 0 while erasing: the high modes see sA = 0
  bool blending = false;  // blend_strength != 0 and blend_disabled_once clear
  bool erasing = false;   // erase_once
};

// The mixed pixel, and the source and destination as the mix saw them (the
// blend remix reads those).
struct MixResult {
  uint32_t c[4];     // R', G', B', A'
  uint32_t d[3];     // destination colour after the tint (grey for mode 340)
  uint32_t source_alpha;
};

// Settles the kernel for a dab. Numbers the host never sends (49..248 and the
// other gaps) paint the source through the strength blend.
MixKernel select_mix_kernel(int32_t mode, bool blending, bool erasing);
// The reference: the whole stage for any mode, chosen per call.
MixResult mix_pixel_generic(int32_t mode, const MixContext& ctx, const uint32_t s[4], uint32_t v, const uint32_t d[4]);

namespace mix {

constexpr uint32_t kFull = 65535;

inline uint32_t luminance(const uint32_t s[4]) { return (s[0] + s[1] + s[2]) / 3; }

inline uint32_t strength_blend(const MixContext& c, uint32_t s, uint32_t f) {
  return (((c.keep * s) >> 4) + ((c.strength * f) >> 4)) >> 4;
}

// A partly transparent destination is tinted toward the source first, so that a
// high mode on a thin pixel does not amplify whatever colour it happened to hold.
inline void tint_destination(const uint32_t s[4], uint32_t v, const uint32_t d[4], uint32_t out[3]) {
  const uint32_t da = d[3];
  if (da == 0) {
    out[0] = s[0], out[1] = s[1], out[2] = s[2];
  } else if (da < kFull) {
    const uint32_t t = std::min<uint32_t>(kFull, (((kFull - da) * v) >> 16) * 3);
    for (int ch = 0; ch < 3; ++ch) out[ch] = ((((kFull - t) * d[ch]) >> 8) + ((t * s[ch]) >> 8)) >> 8;
  } else {
    out[0] = d[0], out[1] = d[1], out[2] = d[2];
  }
}

// Partial coverage mixes the mode's colour with the (tinted) destination. The + 1
// would carry a full channel to 65536, which a 16-bit word holds as 0 (white
// turning black), so the sum stops at 65535.
inline void apply_coverage(uint32_t e[4], uint32_t v, const uint32_t d[3], uint32_t da) {
  if (v >= kFull) return;
  const uint32_t i = 65536 - v;
  for (int ch = 0; ch < 3; ++ch) e[ch] = std::min(kFull, ((((e[ch] * v) >> 8) + ((i * d[ch]) >> 8)) >> 8) + 1);
  e[3] = (((e[3] * v) >> 8) + ((i * da) >> 8)) >> 8;
}

// Truncating divisions through a reciprocal, so that vector code can share one
// division between channels: q = trunc(num * r + 2^-18) with r the rounded
// 1 / a (or factor / a). For quotients below 2^32 the product is within 2^-19 of
// the true quotient (rounding of r, of the product and of the nudge); the nudge
// of 2^-18 lifts exact multiples clear of the integer below; any other quotient
// has a fraction between 1/65535 and 1 - 1/65535 when a <= 65535, beyond both.
// So the truncation equals the integer division, for num < 2^32 (num * factor <
// 2^32 for the scaled form) and a in 1..65535.
inline double reciprocal(uint32_t a, double factor = 1.0) { return factor / static_cast<double>(a); }
inline uint32_t divide(uint32_t num, double r) {
  return static_cast<uint32_t>(static_cast<int64_t>(static_cast<double>(num) * r + 0x1p-18));
}

// Signed differences clamp at zero, as the blend formulas mean them.
inline uint32_t floor_zero(int64_t x) { return x < 0 ? 0u : static_cast<uint32_t>(x); }

inline uint32_t soft_light(uint32_t s, uint32_t d) {
  const float a = static_cast<float>(s) / 65535.0f;
  const float b = static_cast<float>(d) / 65535.0f;
  const float r = a < 0.5f ? b * (2.0f * a + (1.0f - 2.0f * a) * b)
                           : std::sqrt(b) * (2.0f * a - 1.0f) + 2.0f * b * (1.0f - a);
  // Sources above 65535 (a primary strength beyond 256) would turn r negative.
  return r > 0.0f ? static_cast<uint32_t>(65535.0f * r) : 0u;
}

inline uint32_t posterise4(uint32_t s) {
  return s < 10922 ? 0 : s < 32767 ? 21845 : s <= 54612 ? 43690 : 65535;
}
inline uint32_t posterise3(uint32_t s) { return s < 21845 ? 0 : s <= 43689 ? 32767 : 65535; }

// F of the channel-wise high modes.
template <MixKernel K>
inline uint32_t channel_f(uint32_t s, uint32_t d) {
  if constexpr (K == MixKernel::Screen) return kFull - (((kFull - d) * (kFull - s)) >> 16);
  if constexpr (K == MixKernel::Darken) return std::min(s, d);
  if constexpr (K == MixKernel::Lighten) return std::max(s, d);
  if constexpr (K == MixKernel::Difference) return d > s ? d - s : s - d;
  if constexpr (K == MixKernel::Exclusion) {
    const int64_t x = int64_t{kFull} - d - s;
    return kFull - static_cast<uint32_t>(x < 0 ? -x : x);
  }
  if constexpr (K == MixKernel::Soft39) return d + s - ((d * s) >> 15);
  if constexpr (K == MixKernel::Overlay) return d < 32767 ? (d * s) >> 15 : kFull - (((kFull - d) * (kFull - s)) >> 15);
  if constexpr (K == MixKernel::HardLight)
    return s < 32767 ? (d * s) >> 15 : kFull - (((kFull - d) * (kFull - s)) >> 15);
  if constexpr (K == MixKernel::SoftLight) return soft_light(s, d);
  if constexpr (K == MixKernel::Dodge) return s >= kFull ? kFull : std::min(kFull, (d * 65536u) / (kFull - s));
  if constexpr (K == MixKernel::Burn)
    return s == 0 ? 0u : floor_zero(int64_t{kFull} - int64_t{((kFull - d) * 65536u) / s});
  if constexpr (K == MixKernel::Dodge45) return s >= kFull ? kFull : std::min(kFull, (d * d) / (kFull - s));
  if constexpr (K == MixKernel::Dodge46) return d >= kFull ? kFull : std::min(kFull, (s * s) / (kFull - d));
  if constexpr (K == MixKernel::Add) return std::min(kFull, d + s);
  if constexpr (K == MixKernel::Subtract) return floor_zero(int64_t{d} + s - kFull);
  if constexpr (K == MixKernel::Poster261) return posterise4(s);
  if constexpr (K == MixKernel::Poster262) return posterise3(s);
  return s;
}

template <MixKernel K>
constexpr bool is_channel_mode() {
  return (K >= MixKernel::Screen && K <= MixKernel::Subtract) || K == MixKernel::Poster261 ||
         K == MixKernel::Poster262 || K == MixKernel::Source;
}

// The bank colour a luminance-keyed mode paints, or -1 to keep the destination.
template <MixKernel K>
inline int bank_for(uint32_t l) {
  if constexpr (K == MixKernel::Bank249) return l > 32766 ? 1 : 0;
  if constexpr (K == MixKernel::Bank250) return l < 21845 ? 0 : l < 43690 ? 1 : 2;
  if constexpr (K == MixKernel::Bank251) return l < 16383 ? 0 : l < 32767 ? 1 : l < 49151 ? 2 : 3;
  if constexpr (K == MixKernel::Bank253) return l < 32767 ? 0 : -1;
  if constexpr (K == MixKernel::Bank254) return l > 32767 ? 0 : -1;
  return 0;
}

// Modes 256..260: inside their luminance window they paint (a bank colour or
// the source) through the strength blend with the source alpha; outside it the
// destination stays, alpha included.
template <MixKernel K>
inline bool window_paints(uint32_t l) {
  if constexpr (K == MixKernel::Bank256) return l > 20478;
  if constexpr (K == MixKernel::Bank257) return l < 49152;
  if constexpr (K == MixKernel::Bank258) return l > 20478 && l < 49152;
  if constexpr (K == MixKernel::Bank259) return l < 12288;
  if constexpr (K == MixKernel::Bank260) return l > 57342;
  return true;
}

template <MixKernel K>
inline void high_mode(const MixContext& c, const uint32_t s[4], uint32_t da, uint32_t d[3], uint32_t e[4]) {
  e[3] = s[3];
  if constexpr (is_channel_mode<K>()) {
    for (int ch = 0; ch < 3; ++ch) e[ch] = strength_blend(c, s[ch], channel_f<K>(s[ch], d[ch]));
  } else if constexpr (K == MixKernel::Bank249 || K == MixKernel::Bank250 || K == MixKernel::Bank251 ||
                       K == MixKernel::Bank253 || K == MixKernel::Bank254) {
    if constexpr (K == MixKernel::Bank253 || K == MixKernel::Bank254) (void)crt_rand();
    const int b = bank_for<K>(luminance(s));
    for (int ch = 0; ch < 3; ++ch) e[ch] = strength_blend(c, s[ch], b < 0 ? d[ch] : c.banks[b][ch]);
  } else if constexpr (K == MixKernel::Bank252) {
    const uint32_t l = luminance(s);
    for (int ch = 0; ch < 3; ++ch) {
      uint32_t f;
      if (l < 32767) {
        const uint32_t t = (2 * l) >> 8;
        f = (c.banks[1][ch] * t + c.banks[0][ch] * (256 - t)) >> 8;
      } else {
        const uint32_t t = (2 * l - 65534) >> 8;
        f = (c.banks[2][ch] * t + c.banks[1][ch] * (256 - t)) >> 8;
      }
      e[ch] = strength_blend(c, s[ch], f);
    }
  } else if constexpr (K == MixKernel::Bank255) {
    const uint32_t l = luminance(s);
    for (int ch = 0; ch < 3; ++ch)
      e[ch] = strength_blend(c, s[ch], l < 20479 ? c.banks[0][ch] : l > 49151 ? c.banks[1][ch] : s[ch]);
  } else if constexpr (K >= MixKernel::Bank256 && K <= MixKernel::Bank260) {
    if (window_paints<K>(luminance(s))) {
      constexpr bool bank = K == MixKernel::Bank259 || K == MixKernel::Bank260;
      for (int ch = 0; ch < 3; ++ch) e[ch] = strength_blend(c, s[ch], bank ? c.banks[0][ch] : s[ch]);
    } else {
      e[0] = d[0], e[1] = d[1], e[2] = d[2], e[3] = da;
    }
  } else if constexpr (K == MixKernel::Shift295) {
    for (int ch = 0; ch < 3; ++ch) e[ch] = (s[ch] >> c.shift) << c.shift;
  } else if constexpr (K == MixKernel::Grey340) {
    d[0] = d[1] = d[2] = 32767;
    e[0] = e[1] = e[2] = 32767;
    e[3] = luminance(s);
  }
}

// The low modes: the four rules that a dab settles before its first pixel.
template <MixKernel K>
inline void low_mode(const uint32_t s[4], uint32_t v, const uint32_t d[4], uint32_t e[4]) {
  const uint32_t da = d[3];
  if (da == 0) {
    e[0] = s[0], e[1] = s[1], e[2] = s[2];
    e[3] = (v * s[3]) >> 16;
    return;
  }
  if constexpr (K == MixKernel::LowBlend) {
    const uint32_t i = 65536 - v;
    e[3] = (((i * da) >> 8) + ((v * s[3]) >> 8)) >> 8;
    for (int ch = 0; ch < 3; ++ch) e[ch] = s[3] == 0 ? d[ch] : (((i * d[ch]) >> 8) + ((v * s[ch]) >> 8)) >> 8;
  } else if constexpr (K == MixKernel::LowErase) {
    e[3] = ((kFull - v) * da) >> 16;
    e[0] = d[0], e[1] = d[1], e[2] = d[2];
  } else if constexpr (K == MixKernel::LowNormal) {
    const uint32_t k = (v * s[3]) / kFull;
    const uint32_t a = ((kFull - da) * k) / kFull + da;
    for (int ch = 0; ch < 3; ++ch)
      e[ch] = (((((d[ch] * da) >> 16) * (kFull - k)) / kFull) + ((k * s[ch]) >> 16)) * kFull / a;
    e[3] = a;
  } else {
    const uint32_t k = (v * s[3]) / kFull;
    const uint32_t a = (k * (kFull - da)) / kFull + da;
    for (int ch = 0; ch < 3; ++ch) {
      const uint32_t sp = (k * s[ch]) >> 16;
      const uint32_t dp = (d[ch] * da) >> 16;
      e[ch] = ((kFull - k) * dp / kFull + (kFull - da) * sp / kFull + dp * sp / kFull) * kFull / a;
    }
    e[3] = a;
  }
}

}  // namespace mix

// One pixel through the kernel K.
template <MixKernel K>
inline MixResult mix_pixel(const MixContext& c, const uint32_t s_in[4], uint32_t v, const uint32_t d[4]) {
  MixResult r;
  if constexpr (K <= MixKernel::LowMultiply) {
    mix::low_mode<K>(s_in, v, d, r.c);
    r.d[0] = d[0], r.d[1] = d[1], r.d[2] = d[2];
    r.source_alpha = s_in[3];
  } else {
    const uint32_t s[4] = {s_in[0], s_in[1], s_in[2], s_in[3] & c.source_alpha_mask};
    mix::tint_destination(s, v, d, r.d);
    mix::high_mode<K>(c, s, d[3], r.d, r.c);
    mix::apply_coverage(r.c, v, r.d, d[3]);
    r.source_alpha = s[3];
  }
  return r;
}

// Calls f(std::integral_constant<MixKernel, k>) for the runtime kernel k: the
// once-per-dab step from a settled kernel to its specialised code.
template <class F, size_t... I>
decltype(auto) with_kernel_impl(MixKernel k, F&& f, std::index_sequence<I...>) {
  using R = decltype(f(std::integral_constant<MixKernel, MixKernel{}>{}));
  if constexpr (std::is_void_v<R>) {
    (void)((static_cast<size_t>(k) == I ? (f(std::integral_constant<MixKernel, static_cast<MixKernel>(I)>{}), true)
                                         : false) ||
           ...);
  } else {
    R r{};
    (void)((static_cast<size_t>(k) == I ? (r = f(std::integral_constant<MixKernel, static_cast<MixKernel>(I)>{}), true)
                                         : false) ||
           ...);
    return r;
  }
}

template <class F>
decltype(auto) with_kernel(MixKernel k, F&& f) {
  return with_kernel_impl(k, std::forward<F>(f), std::make_index_sequence<static_cast<size_t>(MixKernel::Count)>{});
}

}  // namespace cvl

// How strongly the selection (texture map and mask) lets a write through at one
// pixel, as a weight 0..65535. Each loader has its own rounding, so the steps
// are separate and each caller composes the ones it was defined with.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cvl {

// Texture byte t: 0 blocks, 128 and above pass, else the rounded ramp.
inline uint32_t texture_weight_rounded(uint8_t t) {
  if (t == 0) return 0;
  if (t >= 128) return 65535;
  return (t * 131070u + 65535u) >> 8;
}

// Texture byte t with the plain ramp (no rounding term).
inline uint32_t texture_weight_plain(uint8_t t) {
  if (t == 0) return 0;
  if (t >= 128) return 65535;
  return (t * 131070u) >> 8;
}

// Scales w by the mask word's high byte h: 0 blocks, 255 keeps w, else w * (h + 1) >> 8.
inline uint32_t mask_weight_high_byte(uint32_t w, uint16_t m) {
  const uint32_t h = m >> 8;
  if (h == 0) return 0;
  if (h == 255) return w;
  return (w * (h + 1)) >> 8;
}

// Scales w by the full mask word: 65535 keeps w, else w * m >> 16.
inline uint32_t mask_weight_word(uint32_t w, uint16_t m) { return m == 65535 ? w : (w * m) >> 16; }

// Mask words at or above these let a write through whole under each scaling.
constexpr uint16_t kWholeHighByte = 0xFF00;
constexpr uint16_t kWholeWord = 0xFFFF;

// How many of the first `n` mask words are (`whole` true) or are not (false) at
// least `threshold`: selections are mostly long runs of fully selected pixels,
// which the loaders then write as plain rows.
inline int32_t mask_run(const uint16_t* mask, int32_t n, uint16_t threshold, bool whole) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i t = _mm_set1_epi16(static_cast<int16_t>(threshold));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    // threshold - m saturates to 0 exactly where m >= threshold.
    const __m128i below = _mm_subs_epu16(t, _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i)));
    const int at_least = _mm_movemask_epi8(_mm_cmpeq_epi16(below, zero));
    if (at_least != (whole ? 0xFFFF : 0)) break;
  }
#endif
  while (i < n && (mask[i] >= threshold) == whole) ++i;
  return i;
}

}  // namespace cvl

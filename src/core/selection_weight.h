// How strongly the selection (texture map and mask) lets a write through at one
// pixel, as a weight 0..65535. Each loader has its own rounding, so the steps
// are separate and each caller composes the ones it was defined with.
#pragma once

#include <cstdint>

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

}  // namespace cvl

// How the view tints the canvas with the mask: a checker of two colours in
// 32 x 32 canvas-pixel squares, mixed in where the mask protects.
//
// Called per displayed pixel from the view's loops, so everything is inline and
// works on plain integers; the caller hoists `mask_display()` out of its loop.
#pragma once

#include <cstdint>

#include "mask/mask_state.h"

namespace cvl {

// The mix factor for mask word m: the word itself at full strength, else
// m / 2 + 32767 so the tint never passes half strength.
inline uint32_t mask_overlay_weight(uint16_t m, uint16_t full_strength) {
  return full_strength == 0 ? m / 2u + 32767u : m;
}

// The checker colour (R, G, B words) at canvas pixel (cx, cy): the first colour
// on odd squares, the second on even ones.
inline const uint16_t* mask_overlay_colour(const MaskDisplay& d, int32_t cx, int32_t cy) {
  return d.colours[((cx >> 5) + (cy >> 5)) & 1 ? 0 : 1];
}

// One display byte from the composited 16-bit channel p and the overlay's
// channel q, for mix factor w (0..65535). Fits 32 bits: each product is at most
// 65535 * 65535.
inline uint8_t mask_overlay_channel(uint32_t w, uint32_t p, uint32_t q) {
  return static_cast<uint8_t>((((w * p) >> 8) + (((65535u - w) * q) >> 8)) >> 16);
}

// Writes the blue, green, red display bytes of a composited pixel (r, g, b)
// at canvas pixel (cx, cy) under mask word m.
inline void mask_overlay_pixel(const MaskDisplay& d, uint16_t m, int32_t cx, int32_t cy, uint32_t r, uint32_t g,
                               uint32_t b, uint8_t* bgr) {
  const uint32_t w = mask_overlay_weight(m, d.full_strength);
  const uint16_t* q = mask_overlay_colour(d, cx, cy);
  bgr[0] = mask_overlay_channel(w, b, q[2]);
  bgr[1] = mask_overlay_channel(w, g, q[1]);
  bgr[2] = mask_overlay_channel(w, r, q[0]);
}

}  // namespace cvl

// The mask's switches and on-screen overlay options, and the value a mask
// builder writes for a given strength. The mask plane itself and its enabled
// flag live in the engine record with the other canvas buffers.
#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

// How the view shows the mask. Kept across canvases: these are the user's
// display preferences, not part of the canvas.
struct MaskDisplay {
  uint8_t shown = 0;  // the mask display flag
  // The overlay's two checker colours, red, green, blue, each an 8-bit value * 256.
  uint16_t colours[2][3] = {};
  // 0 keeps the overlay at half strength or less.
  uint16_t full_strength = 0;
};

MaskDisplay& mask_display();

int32_t enable_mask(Engine& e, int32_t flag);
int32_t display_mask(int32_t flag);
void set_mask_options(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2, int32_t full);

// Whether the view should draw the overlay: both the display and enabled flags
// set, and a mask to show.
inline bool mask_overlay_on(const MaskDisplay& d, const Engine& e) { return d.shown != 0 && e.mask_active(); }

// The mask word a builder writes on a matching pixel for strength s (0..255):
// (255 - s) * 256, so full strength protects fully and strength 0 gives 65280
// (not quite open). Computed as the low 16 bits of (65535 - s) << 8, which is
// how out-of-range strengths have always wrapped.
inline uint16_t mask_value_for_strength(int32_t s) {
  return static_cast<uint16_t>((65535u - static_cast<uint32_t>(s)) << 8);
}

// percent * factor truncated toward zero. Held to +-65536 first so that wild
// percentages cannot overflow the conversion; every tolerance test compares
// against differences far smaller than that, so the outcome is the same.
inline int32_t scaled_tolerance(int32_t percent, double factor) {
  const double t = percent * factor;
  if (t >= 65536.0) return 65536;
  if (t <= -65536.0) return -65536;
  return static_cast<int32_t>(t);
}

// Percent tolerances on the 0..255 scale: tol * 2.56, truncated (100 % is 256,
// so every 8-bit difference passes).
inline int32_t byte_tolerance(int32_t percent) { return scaled_tolerance(percent, 2.56); }

}  // namespace cvl

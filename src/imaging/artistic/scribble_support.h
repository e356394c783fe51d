// What scribble_image and its plain twin share: the strokes and how one pixel is
// inked. The twin differs in working the darkness out per pixel, running rows one
// after another and rounding through the library.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imaging/artistic/scribble.h"

namespace cvl::imaging::scribble_detail {

inline constexpr float kSpacing = 6;  // pixels between strokes

// Coverage (0..1) of a set of strokes along lines of constant `t`, each as wide
// as `thickness`, with a soft edge of one pixel; strokes thinner than a pixel
// fade rather than keep the edge's half cover.
inline float strokes(float t, float thickness) {
  const float d = std::fabs(t - kSpacing * std::floor(t / kSpacing + 0.5f));
  return std::clamp(thickness * 0.5f - d + 0.5f, 0.0f, 1.0f) * std::min(thickness, 1.0f);
}

// Pixel (x, y) of darkness `dark` (0..1) inked from p into out; `round(float)`
// gives the nearest whole number.
template <class Round>
inline void ink_pixel(const uint8_t* p, uint8_t* out, int32_t x, int32_t y, float dark, ScribbleInk ink, bool cross,
                      float mix, Round round) {
  // The strokes waver slowly, as a hand does.
  const float waver = 1.5f * std::sin(y * 0.13f + x * 0.045f) + std::sin(x * 0.21f - y * 0.07f);
  float cover = strokes(x + y + waver, dark * kSpacing);
  if (cross && dark > 0.5f) cover = std::max(cover, strokes(x - y - waver, (dark - 0.5f) * 2 * kSpacing));
  for (int c = 0; c < 3; ++c) {
    const float paper = ink == ScribbleInk::Over ? p[c] : 255.0f;
    const float pen = ink == ScribbleInk::Colour ? p[c] * 0.6f : 0.0f;
    const float drawn = paper + (pen - paper) * cover;
    out[c] = uint8_t(round(p[c] + (drawn - p[c]) * mix));
  }
}

}  // namespace cvl::imaging::scribble_detail

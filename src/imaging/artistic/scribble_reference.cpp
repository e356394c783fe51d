// Scribble as first written, one pixel after another on the calling thread.
// Kept as the reference scribble_image is checked against, byte for byte.
#include "imaging/artistic/scribble.h"

#include <algorithm>
#include <cmath>

namespace cvl::imaging {
namespace {

constexpr float kSpacing = 6;  // pixels between strokes

// Coverage (0..1) of a set of strokes along lines of constant `t`, each as wide
// as `thickness`, with a soft edge of one pixel; strokes thinner than a pixel
// fade rather than keep the edge's half cover.
inline float strokes(float t, float thickness) {
  const float d = std::fabs(t - kSpacing * std::floor(t / kSpacing + 0.5f));
  return std::clamp(thickness * 0.5f - d + 0.5f, 0.0f, 1.0f) * std::min(thickness, 1.0f);
}

}  // namespace

bool scribble_image_reference(const ImageView& src, const ImageView& dst, ScribbleInk ink, bool cross, int32_t amount) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst)) return false;
  const float mix = std::clamp(amount, 0, 100) / 100.0f;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = src.row(y);
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < w; ++x, p += 3, out += 3) {
      const float dark = 1 - ((p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8) / 255.0f;
      // The strokes waver slowly, as a hand does.
      const float waver = 1.5f * std::sin(y * 0.13f + x * 0.045f) + std::sin(x * 0.21f - y * 0.07f);
      float cover = strokes(x + y + waver, dark * kSpacing);
      if (cross && dark > 0.5f) cover = std::max(cover, strokes(x - y - waver, (dark - 0.5f) * 2 * kSpacing));
      for (int c = 0; c < 3; ++c) {
        const float paper = ink == ScribbleInk::Over ? p[c] : 255.0f;
        const float pen = ink == ScribbleInk::Colour ? p[c] * 0.6f : 0.0f;
        const float drawn = paper + (pen - paper) * cover;
        out[c] = uint8_t(std::lround(p[c] + (drawn - p[c]) * mix));
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging

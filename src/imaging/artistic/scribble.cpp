#include "imaging/artistic/scribble.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "imaging/parallel_bands.h"
#include "imaging/round_float.h"

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

ScribbleInk scribble_ink_from_code(int32_t code) {
  return code == 1 ? ScribbleInk::Colour : code == 2 ? ScribbleInk::Over : ScribbleInk::Black;
}

bool scribble_image(const ImageView& src, const ImageView& dst, ScribbleInk ink, bool cross, int32_t amount) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst)) return false;
  const float mix = std::clamp(amount, 0, 100) / 100.0f;
  // Darkness by the weighted grey, 0..255.
  std::array<float, 256> dark_of{};
  for (int32_t g = 0; g < 256; ++g) dark_of[size_t(g)] = 1 - g / 255.0f;
  // Every pixel stands alone, so rows run in bands.
  for_each_band(h, int64_t(w) * 24, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* p = src.row(y);
      uint8_t* out = dst.row(y);
      for (int32_t x = 0; x < w; ++x, p += 3, out += 3) {
        const float dark = dark_of[size_t((p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8)];
        // The strokes waver slowly, as a hand does.
        const float waver = 1.5f * std::sin(y * 0.13f + x * 0.045f) + std::sin(x * 0.21f - y * 0.07f);
        float cover = strokes(x + y + waver, dark * kSpacing);
        if (cross && dark > 0.5f) cover = std::max(cover, strokes(x - y - waver, (dark - 0.5f) * 2 * kSpacing));
        for (int c = 0; c < 3; ++c) {
          const float paper = ink == ScribbleInk::Over ? p[c] : 255.0f;
          const float pen = ink == ScribbleInk::Colour ? p[c] * 0.6f : 0.0f;
          const float drawn = paper + (pen - paper) * cover;
          out[c] = uint8_t(round_half_away(p[c] + (drawn - p[c]) * mix));
        }
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging

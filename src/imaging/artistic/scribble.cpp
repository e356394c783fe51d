#include "imaging/artistic/scribble.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "imaging/artistic/scribble_support.h"
#include "imaging/parallel_bands.h"
#include "imaging/round_float.h"

namespace cvl::imaging {
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
        scribble_detail::ink_pixel(p, out, x, y, dark, ink, cross, mix, [](float v) { return round_half_away(v); });
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging

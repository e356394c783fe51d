// Scribble as first written, one pixel after another on the calling thread.
// Kept as the reference scribble_image is checked against, byte for byte.
#include "imaging/artistic/scribble.h"

#include <algorithm>
#include <cmath>

#include "imaging/artistic/scribble_support.h"

namespace cvl::imaging {

bool scribble_image_reference(const ImageView& src, const ImageView& dst, ScribbleInk ink, bool cross, int32_t amount) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst)) return false;
  const float mix = std::clamp(amount, 0, 100) / 100.0f;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = src.row(y);
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < w; ++x, p += 3, out += 3) {
      const float dark = 1 - ((p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8) / 255.0f;
      scribble_detail::ink_pixel(p, out, x, y, dark, ink, cross, mix, [](float v) { return std::lround(v); });
    }
  }
  return true;
}

}  // namespace cvl::imaging

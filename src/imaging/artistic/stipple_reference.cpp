// The stipple as first written: one draw after another on one thread, a branch
// for each pixel's dot. The plain twin stipple.cpp is held to.
#include "imaging/artistic/stipple.h"

#include <algorithm>

#include "imaging/lcg15.h"

namespace cvl::imaging {

bool stipple_image_reference(const ImageView& src, const ImageView& dst, int32_t density, StippleInk ink,
                             uint32_t seed) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst)) return false;
  density = std::clamp(density, 0, 1000);
  Lcg15 rng(seed);
  const uint8_t paper = ink == StippleInk::White ? 0 : 255;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = src.row(y);
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < w; ++x, p += 3, out += 3) {
      const int32_t grey = (p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8;
      const int32_t weight = ink == StippleInk::White ? grey : 255 - grey;
      // chance = weight / 255 * density / 50, against a 15-bit draw.
      const bool dot = int64_t(rng.next()) * 255 * 50 < int64_t(weight) * density * 32768;
      if (!dot) {
        out[0] = out[1] = out[2] = paper;
      } else if (ink == StippleInk::Colour) {
        out[0] = p[0], out[1] = p[1], out[2] = p[2];
      } else {
        out[0] = out[1] = out[2] = uint8_t(255 - paper);
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging

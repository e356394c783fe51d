// Crackle as first written, one pixel after another on the calling thread.
// Kept as the reference crackle_image is checked against, byte for byte.
#include "imaging/artistic/crackle.h"

#include <cmath>

#include "imaging/artistic/crackle_support.h"

namespace cvl::imaging {

bool crackle_image_reference(const ImageView& src, const ImageView& dst, int32_t cell, bool light, bool shade) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst) || cell < 2) return false;
  const crackle_detail::Crackle crackle(w, h, cell, light, shade);
  for (int32_t y = 0; y < h; ++y) crackle.row(src, dst, y, [](float v) { return std::lround(v); });
  return true;
}

}  // namespace cvl::imaging

#include "imaging/artistic/crackle.h"

#include "imaging/artistic/crackle_support.h"
#include "imaging/parallel_bands.h"
#include "imaging/round_float.h"

namespace cvl::imaging {

bool crackle_image(const ImageView& src, const ImageView& dst, int32_t cell, bool light, bool shade) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst) || cell < 2) return false;
  const crackle_detail::Crackle crackle(w, h, cell, light, shade);
  // The points are drawn when `crackle` is built, in order; every pixel after that stands alone,
  // so rows run in bands.
  for_each_band(h, int64_t(w) * 40, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) crackle.row(src, dst, y, [](float v) { return round_half_away(v); });
  });
  return true;
}

}  // namespace cvl::imaging

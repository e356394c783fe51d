#include "imaging/tone/saturation.h"

#include <algorithm>
#include <cmath>

#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool modify_saturation(const ImageView& image, double factor) {
  if (!image.data || image.width <= 0 || image.height <= 0) return false;
  if (image.channels != 3 && image.channels != 4) return false;
  if (!std::isfinite(factor)) return false;
  const int32_t ch = image.channels;
  for_each_band(image.height, image.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      uint8_t* p = image.row(y);
      for (int32_t x = 0; x < image.width; ++x, p += ch) {
        const double grey = (std::max({p[0], p[1], p[2]}) + std::min({p[0], p[1], p[2]})) * 0.5;
        for (int32_t c = 0; c < 3; ++c) {
          const double v = grey + (p[c] - grey) * factor;
          p[c] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
        }
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging

#include "imaging/filters/dust_and_scratches.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "imaging/channel_mask.h"
#include "imaging/filters/median_filter.h"

namespace cvl::imaging {

bool dust_and_scratches(const ImageView& src, const ImageView& dst, int32_t radius, int32_t threshold,
                        double amount) {
  if (!same_shape(src, dst) || src.channels < 3 || src.data == dst.data || !std::isfinite(amount)) return false;
  if (!median_filter(src, dst, radius, 7)) return false;
  const int32_t w256 = static_cast<int32_t>(std::lround(std::clamp(amount, 0.0, 1.0) * 256));
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = dst.row(y);
    for (int32_t x = 0; x < src.width; ++x, s += src.channels, d += src.channels)
      for (int32_t c = 0; c < 3; ++c) {
        const int32_t diff = int32_t(d[c]) - s[c];
        if (std::abs(diff) <= threshold) {
          d[c] = s[c];
          continue;
        }
        const int32_t moved = diff * w256;
        d[c] = uint8_t(s[c] + (moved >= 0 ? (moved + 128) >> 8 : -((-moved + 128) >> 8)));
      }
  }
  return true;
}

}  // namespace cvl::imaging

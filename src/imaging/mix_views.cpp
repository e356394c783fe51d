#include "imaging/mix_views.h"

#include <algorithm>
#include <cmath>

#include "imaging/channel_mask.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

void mix_toward(const ImageView& original, const ImageView& into, double weight) {
  if (!same_shape(original, into) || original.data == into.data) return;
  weight = std::clamp(weight, 0.0, 1.0);
  if (weight >= 1.0) return;
  // Weight in 1/256ths: one multiply a channel, the same rounding either way.
  const int32_t w = static_cast<int32_t>(std::lround(weight * 256));
  const int32_t n = original.width * original.channels;
  for_each_band(original.height, n, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* o = original.row(y);
      uint8_t* d = into.row(y);
      for (int32_t i = 0; i < n; ++i) {
        const int32_t diff = (int32_t(d[i]) - o[i]) * w;
        d[i] = static_cast<uint8_t>(o[i] + (diff >= 0 ? (diff + 128) >> 8 : -((-diff + 128) >> 8)));
      }
    }
  });
}

}  // namespace cvl::imaging

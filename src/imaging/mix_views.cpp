#include "imaging/mix_views.h"

#include <algorithm>
#include <cmath>

#include "imaging/channel_mask.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

namespace {

// Rounded on its size with the sign put back afterwards, without a branch: the
// signs of neighbouring channels follow no pattern a predictor could learn, and
// the loop without a branch runs many channels at once. The weight and count
// are values here, not captures a byte store could alias, so nothing is reloaded.
void mix_row(const uint8_t* o, uint8_t* d, int32_t n, int32_t w) {
  for (int32_t i = 0; i < n; ++i) {
    const int32_t diff = (int32_t(d[i]) - o[i]) * w, sign = diff >> 31;
    const int32_t size = (diff ^ sign) - sign;
    d[i] = static_cast<uint8_t>(o[i] + ((((size + 128) >> 8) ^ sign) - sign));
  }
}

}  // namespace

void mix_toward(const ImageView& original, const ImageView& into, double weight) {
  if (!same_shape(original, into) || original.data == into.data) return;
  weight = std::clamp(weight, 0.0, 1.0);
  if (weight >= 1.0) return;
  // Weight in 1/256ths: one multiply a channel, the same rounding either way.
  const int32_t w = static_cast<int32_t>(std::lround(weight * 256));
  const int32_t n = original.width * original.channels;
  for_each_band(original.height, n, [&original, &into, w, n](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) mix_row(original.row(y), into.row(y), n, w);
  });
}

}  // namespace cvl::imaging

// The unsharp mask as first written, a channel at a time with a branch for the
// threshold and for the rounding: the plain twin unsharp_mask.cpp is held to.
#include "imaging/filters/unsharp_mask.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/gaussian_blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool unsharp_mask_reference(const ImageView& src, const ImageView& dst, double amount, double sigma, int32_t threshold,
                            int32_t limit) {
  if (!same_shape(src, dst) || src.channels < 3 || src.data == dst.data || !std::isfinite(amount) ||
      !std::isfinite(sigma))
    return false;
  // The blur lands in dst and is replaced pixel by pixel with the result.
  if (!gaussian_blur_reference(src, dst, float(std::max(sigma, 0.0)), 7)) return false;
  const int32_t gain = static_cast<int32_t>(std::lround(std::clamp(amount, 0.0, 64.0) * 256));
  for_each_band(src.height, src.width * 3, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = src.row(y);
      uint8_t* d = dst.row(y);
      for (int32_t x = 0; x < src.width; ++x, s += src.channels, d += src.channels)
        for (int32_t c = 0; c < 3; ++c) {
          const int32_t detail = int32_t(s[c]) - d[c];
          if (std::abs(detail) <= threshold) {
            d[c] = s[c];
            continue;
          }
          const int32_t scaled = detail * gain;
          // min of max rather than std::clamp, whose bounds cross when the limit is
          // negative (which the standard leaves undefined).
          const int32_t change = std::min(std::max((scaled >= 0 ? scaled + 128 : scaled - 128) / 256, -limit), limit);
          d[c] = static_cast<uint8_t>(std::clamp(s[c] + change, 0, 255));
        }
    }
  });
  return true;
}

}  // namespace cvl::imaging

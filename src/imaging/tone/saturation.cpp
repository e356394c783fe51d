#include "imaging/tone/saturation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "imaging/parallel_bands.h"

namespace cvl::imaging {

namespace {

// One channel's new value: its distance from the grey `sum` / 2 scaled.
uint8_t saturated(int32_t v, int32_t sum, double factor) {
  const double grey = sum * 0.5;
  return static_cast<uint8_t>(std::clamp(std::lround(grey + (v - grey) * factor), 0L, 255L));
}

bool usable(const ImageView& image, double factor) {
  return image.data && image.width > 0 && image.height > 0 && (image.channels == 3 || image.channels == 4) &&
         std::isfinite(factor);
}

}  // namespace

// A channel's result depends only on its own value and the pixel's max + min,
// so a picture larger than the table looks every channel up in a table of
// those 511 x 256 pairs (the same formula, so the same bytes) instead of
// rounding three products a pixel.
bool modify_saturation(const ImageView& image, double factor) {
  if (!usable(image, factor)) return false;
  constexpr int32_t kSums = 511;
  if (int64_t(image.width) * image.height < kSums * 256 / 3) return modify_saturation_reference(image, factor);
  std::vector<uint8_t> table(size_t(kSums) * 256);
  for (int32_t sum = 0; sum < kSums; ++sum)
    for (int32_t v = 0; v < 256; ++v) table[size_t(sum) * 256 + size_t(v)] = saturated(v, sum, factor);
  const int32_t ch = image.channels;
  for_each_band(image.height, int64_t(image.width) * 2, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      uint8_t* p = image.row(y);
      for (int32_t x = 0; x < image.width; ++x, p += ch) {
        const uint8_t* row = table.data() + size_t(std::max({p[0], p[1], p[2]}) + std::min({p[0], p[1], p[2]})) * 256;
        p[0] = row[p[0]];
        p[1] = row[p[1]];
        p[2] = row[p[2]];
      }
    }
  });
  return true;
}

// Each channel worked out with its own rounding, pixel by pixel: the reference
// the table above is checked against, and the way small pictures go.
bool modify_saturation_reference(const ImageView& image, double factor) {
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

#include "imaging/filters/contrast_mask.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/gaussian_blur.h"

namespace cvl::imaging {

bool contrast_mask(const ImageView& image, bool per_channel, double sigma) {
  if (!same_shape(image, image) || image.channels < 3 || !std::isfinite(sigma)) return false;
  const int32_t w = image.width, h = image.height, ch = image.channels;
  const int32_t planes = per_channel ? 3 : 1;
  Image mask{std::vector<uint8_t>(size_t(w) * h * planes), w, h, planes};
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = image.row(y);
    uint8_t* m = mask.view().row(y);
    for (int32_t x = 0; x < w; ++x, p += ch) {
      if (per_channel)
        for (int32_t c = 0; c < 3; ++c) m[x * 3 + c] = uint8_t(255 - p[c]);
      else
        m[x] = uint8_t(255 - ((77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8));
    }
  }
  if (!gaussian_blur(mask.view(), mask.view(), float(std::max(sigma, 0.0)))) return false;
  // Soft light of every value against every mask level, tabulated once.
  std::vector<uint8_t> blend(256 * 256);
  for (int32_t m = 0; m < 256; ++m)
    for (int32_t a = 0; a < 256; ++a) {
      const double fa = a / 255.0, fm = m / 255.0;
      const double r = (1 - 2 * fm) * fa * fa + 2 * fm * fa;
      blend[size_t(m) * 256 + a] = uint8_t(std::lround(std::clamp(r, 0.0, 1.0) * 255));
    }
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* p = image.row(y);
    const uint8_t* m = mask.view().row(y);
    for (int32_t x = 0; x < w; ++x, p += ch)
      for (int32_t c = 0; c < 3; ++c) p[c] = blend[size_t(m[per_channel ? x * 3 + c : x]) * 256 + p[c]];
  }
  return true;
}

}  // namespace cvl::imaging

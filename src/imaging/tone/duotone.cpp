#include "imaging/tone/duotone.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imaging/tone/grey.h"
#include "imaging/tone/hsl_hue.h"

#include "imaging/parallel_bands.h"

namespace cvl::imaging {
bool duotone(const ImageView& image, double hue_degrees, double saturation, double amount) {
  if (!image.data || image.width <= 0 || image.height <= 0 || (image.channels != 3 && image.channels != 4))
    return false;
  if (!std::isfinite(hue_degrees) || !std::isfinite(saturation) || !std::isfinite(amount)) return false;
  const double h = std::fmod(std::fmod(hue_degrees, 360.0) + 360.0, 360.0) / 360.0;
  const double s = std::clamp(saturation, 0.0, 1.0);
  // The ink for every grey level, and the mix weight in 1/256ths.
  uint8_t ink[256][3];
  for (int v = 0; v < 256; ++v) {
    const double l = v / 255.0;
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    const double t[3] = {h + 1.0 / 3, h, h - 1.0 / 3};
    for (int c = 0; c < 3; ++c) ink[v][c] = static_cast<uint8_t>(std::lround(hsl_hue_channel(p, q, t[c]) * 255));
  }
  const int32_t w = static_cast<int32_t>(std::lround(std::clamp(amount, 0.0, 1.0) * 256));
  const int32_t ch = image.channels;
  for_each_band(image.height, image.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      uint8_t* px = image.row(y);
      for (int32_t x = 0; x < image.width; ++x, px += ch) {
        const uint8_t* target = ink[luma(px[0], px[1], px[2])];
        for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>(px[c] + (((target[c] - px[c]) * w) >> 8));
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging

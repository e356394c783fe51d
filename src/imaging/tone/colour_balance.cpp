#include "imaging/tone/colour_balance.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imaging/tone/lightness.h"

#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool adjust_colour_balance(const ImageView& image, const ColourBalance& balance) {
  if (!image.data || image.width <= 0 || image.height <= 0 || (image.channels != 3 && image.channels != 4))
    return false;
  const double shifts[3] = {balance.cyan_red, balance.magenta_green, balance.yellow_blue};
  for (double s : shifts)
    if (!std::isfinite(s)) return false;
  const double tone = std::clamp(std::isfinite(balance.tone) ? balance.tone : 0.5, 0.0, 1.0);
  uint8_t tables[3][256];
  for (int v = 0; v < 256; ++v) {
    const double weight = std::max(0.0, 1 - std::abs(v / 255.0 - tone) * 1.5);
    for (int c = 0; c < 3; ++c)
      tables[c][v] = static_cast<uint8_t>(std::clamp(std::lround(v + std::clamp(shifts[c], -1.0, 1.0) * 100 * weight), 0L, 255L));
  }
  const int32_t ch = image.channels;
  for_each_band(image.height, image.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      uint8_t* p = image.row(y);
      for (int32_t x = 0; x < image.width; ++x, p += ch) {
        const double lightness = balance.keep_lightness ? hsl_lightness(p) : 0;
        for (int c = 0; c < 3; ++c) p[c] = tables[c][p[c]];
        if (balance.keep_lightness) set_hsl_lightness(p, lightness);
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging

#include "imaging/artistic/watercolour_tint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/gaussian_blur.h"
#include "imaging/tone/grey.h"

namespace cvl::imaging {
namespace {

// A fixed grain in -8..7 from the pixel position, the same on every call.
int32_t grain(int32_t x, int32_t y) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<int32_t>((h >> 28) & 15) - 8;
}

}  // namespace

bool watercolour_tint(const ImageView& src, const ImageView& dst, double amount, uint32_t flags) {
  if (!same_shape(src, dst) || src.channels < 3 || src.data == dst.data || !std::isfinite(amount)) return false;
  if (!gaussian_blur(src, dst, 1.5f)) return false;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  std::vector<uint8_t> grey;
  if (flags & watercolour::kDarkEdges) {
    grey.resize(static_cast<size_t>(w) * h);
    image_to_grey(dst, grey.data(), w);
  }
  const int32_t mix = static_cast<int32_t>(std::lround(std::clamp(amount, 0.0, 1.0) * 256));
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = dst.row(y);
    const uint8_t* g = grey.empty() ? nullptr : grey.data() + static_cast<size_t>(y) * w;
    const uint8_t* gu = g ? grey.data() + static_cast<size_t>(y > 0 ? y - 1 : 0) * w : nullptr;
    const uint8_t* gd = g ? grey.data() + static_cast<size_t>(y + 1 < h ? y + 1 : y) * w : nullptr;
    for (int32_t x = 0; x < w; ++x, s += ch, d += ch) {
      // Pigment darkening in 1/256ths: edges pool paint, the grain varies it a little.
      int32_t keep = 256;
      if (g) {
        const int32_t xl = x > 0 ? x - 1 : 0, xr = x + 1 < w ? x + 1 : x;
        const int32_t edge = std::abs(g[xr] - g[xl]) + std::abs(gd[x] - gu[x]);
        keep -= std::min(edge, 96);
      }
      if (flags & watercolour::kGrain) keep += grain(x, y);
      for (int32_t c = 0; c < 3; ++c) {
        // A thin wash: a quarter of the way to the white of the paper.
        const int32_t paint = 255 - (((255 - d[c]) * 3) >> 2);
        const int32_t v = std::clamp((paint * keep) >> 8, 0, 255);
        d[c] = static_cast<uint8_t>(s[c] + (((v - s[c]) * mix) >> 8));
      }
      if (ch == 4) d[3] = s[3];
    }
  }
  return true;
}

}  // namespace cvl::imaging

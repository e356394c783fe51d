#include "imaging/filters/bilateral.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/window_sum.h"

namespace cvl::imaging {
namespace {

constexpr int32_t kMaxLevels = 16;
// Weights in 1/256ths: a window of kMaxBoxRadius would overflow the sums, so the
// bilateral radius is held lower.
constexpr int32_t kMaxRadius = 60;

std::vector<uint8_t> brightness(const ImageView& v) {
  std::vector<uint8_t> g(size_t(v.width) * v.height);
  for (int32_t y = 0; y < v.height; ++y) {
    const uint8_t* p = v.row(y);
    uint8_t* o = g.data() + size_t(y) * v.width;
    for (int32_t x = 0; x < v.width; ++x, p += v.channels) o[x] = uint8_t((77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8);
  }
  return g;
}

}  // namespace

bool bilateral_filter(const ImageView& src, const ImageView& dst, int32_t radius, double range_sigma) {
  if (!same_shape(src, dst) || src.channels < 3 || src.data == dst.data || radius < 0 ||
      !(range_sigma > 0.0))
    return false;
  radius = std::min(radius, kMaxRadius);
  copy_view(src, dst);  // the fourth channel, and every pixel at radius 0
  if (radius == 0) return true;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const std::vector<uint8_t> guide = brightness(src);
  // Levels spaced at most 1.5 sigma apart (closer is no better), at most 16.
  const int32_t levels = std::clamp(static_cast<int32_t>(std::ceil(255.0 / (1.5 * range_sigma))) + 1, 2, kMaxLevels);
  const double spacing = 255.0 / (levels - 1);
  // Each pixel's output mixes its two neighbouring levels, (1 - t) of the lower
  // and t of the upper: the lower level's value is kept in dst, the upper level
  // mixes it in.
  uint32_t weight[256];
  for (int32_t k = 0; k < levels; ++k) {
    const double level = k * spacing;
    for (int32_t v = 0; v < 256; ++v) {
      const double d = v - level;
      weight[v] = static_cast<uint32_t>(std::lround(256.0 * std::exp(-d * d / (2 * range_sigma * range_sigma))));
    }
    window_sums<4>(
        w, h, radius, radius,
        [&](int32_t y, uint32_t* values) {
          const uint8_t* p = src.row(y);
          const uint8_t* g = guide.data() + size_t(y) * w;
          for (int32_t x = 0; x < w; ++x, p += ch, values += 4) {
            const uint32_t wt = weight[g[x]];
            values[0] = wt * p[0], values[1] = wt * p[1], values[2] = wt * p[2], values[3] = wt;
          }
        },
        [&](int32_t y, const uint32_t* sums) {
          const uint8_t* p = src.row(y);
          const uint8_t* g = guide.data() + size_t(y) * w;
          uint8_t* d = dst.row(y);
          for (int32_t x = 0; x < w; ++x, p += ch, d += ch, sums += 4) {
            const double pos = g[x] / spacing;
            const int32_t lower = std::min(static_cast<int32_t>(pos), levels - 2);
            if (k != lower && k != lower + 1) continue;
            const double inv = sums[3] ? 1.0 / sums[3] : 0.0;
            const double t = pos - lower;
            for (int c = 0; c < 3; ++c) {
              // No neighbour near this level: the pixel itself stands in.
              const double v = sums[3] ? sums[c] * inv : p[c];
              const double mixed = k == lower ? v : (1 - t) * d[c] + t * v;
              d[c] = static_cast<uint8_t>(std::min(mixed + 0.5, 255.0));
            }
          }
        });
  }
  return true;
}

}  // namespace cvl::imaging

#include "imaging/filters/bilateral.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
using namespace bilateral_detail;

bool bilateral_filter(const ImageView& src, const ImageView& dst, int32_t radius, double range_sigma) {
  if (!same_shape(src, dst) || src.channels < 3 || src.data == dst.data || radius < 0 || !(range_sigma > 0.0))
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
  // mixes it in. Both depend on the pixel's brightness alone.
  int32_t lower_of[256];
  double t_of[256];
  for (int32_t g = 0; g < 256; ++g) {
    const double pos = g / spacing;
    lower_of[g] = std::min(static_cast<int32_t>(pos), levels - 2);
    t_of[g] = pos - lower_of[g];
  }
  std::vector<uint32_t> weights(size_t(levels) * 256);
  for (int32_t k = 0; k < levels; ++k) {
    const double level = k * spacing;
    for (int32_t v = 0; v < 256; ++v) {
      const double d = v - level;
      weights[size_t(k) * 256 + v] =
          static_cast<uint32_t>(std::lround(256.0 * std::exp(-d * d / (2 * range_sigma * range_sigma))));
    }
  }
  // Bands of rows, each level's window sums started afresh in every band. Only
  // the pixels whose brightness lies next to a level read that level's sums, so
  // each row's pixels are grouped by their lower level once, and a level visits
  // its own two groups rather than testing every pixel.
  for_each_band(h, int64_t(w) * levels * 8, [&](int first, int end) {
    const int32_t rows = end - first;
    std::vector<int32_t> order(size_t(rows) * w), bounds(size_t(rows) * (levels + 1));
    std::vector<int32_t> used(size_t(levels), 0);
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* g = guide.data() + size_t(y) * w;
      int32_t* b = bounds.data() + size_t(y - first) * (levels + 1);
      std::fill_n(b, levels + 1, 0);
      for (int32_t x = 0; x < w; ++x) ++b[lower_of[g[x]] + 1];
      for (int32_t k = 0; k < levels; ++k) used[size_t(k)] += b[k + 1], b[k + 1] += b[k];
      std::vector<int32_t> next(b, b + levels);
      int32_t* o = order.data() + size_t(y - first) * w;
      for (int32_t x = 0; x < w; ++x) o[next[size_t(lower_of[g[x]])]++] = x;
    }
    const size_t n = size_t(w) * 4;
    std::vector<uint32_t> column(n), sums(n);
    const int32_t lo = std::min(radius, w), hi = std::max(lo, w - 1 - radius);
    for (int32_t k = 0; k < levels; ++k) {
      if (used[size_t(k)] == 0 && (k == 0 || used[size_t(k - 1)] == 0)) continue;
      const uint32_t* weight = weights.data() + size_t(k) * 256;
      // Adds the weighted row y to the column sums.
      const auto add_row = [&](int32_t y) {
        const uint8_t* p = src.row(y);
        const uint8_t* g = guide.data() + size_t(y) * w;
        uint32_t* c = column.data();
        for (int32_t x = 0; x < w; ++x, p += ch, c += 4) {
          const uint32_t wt = weight[g[x]];
          c[0] += wt * p[0], c[1] += wt * p[1], c[2] += wt * p[2], c[3] += wt;
        }
      };
      // Moves the window down a row: row `in` enters, row `out` leaves.
      const auto move_rows = [&](int32_t in, int32_t out) {
        const uint8_t *p = src.row(in), *q = src.row(out);
        const uint8_t *g = guide.data() + size_t(in) * w, *f = guide.data() + size_t(out) * w;
        uint32_t* c = column.data();
        for (int32_t x = 0; x < w; ++x, p += ch, q += ch, c += 4) {
          const uint32_t a = weight[g[x]], b = weight[f[x]];
          const uint32_t add[4] = {a * p[0], a * p[1], a * p[2], a};
          const uint32_t take[4] = {b * q[0], b * q[1], b * q[2], b};
          for (int i = 0; i < 4; ++i) c[i] += add[i] - take[i];
        }
      };
      std::fill(column.begin(), column.end(), 0u);
      for (int32_t dy = -radius; dy <= radius; ++dy) add_row(std::clamp(first + dy, 0, h - 1));
      for (int32_t y = first; y < end; ++y) {
        const int32_t* b = bounds.data() + size_t(y - first) * (levels + 1);
        const int32_t* o = order.data() + size_t(y - first) * w;
        // Pixels whose lower level is k take this level whole, those whose lower
        // level is k - 1 mix it in; none needs anything else from this level.
        const int32_t from = k > 0 ? b[k - 1] : b[k], to = b[k + 1];
        if (from < to) {
          const uint32_t* col = column.data();
          uint32_t s[4] = {};
          for (int32_t dx = -radius; dx <= radius; ++dx) {
            const uint32_t* c = col + size_t(std::clamp(dx, 0, w - 1)) * 4;
            for (int i = 0; i < 4; ++i) s[i] += c[i];
          }
          const auto slide = [&](int32_t x0, int32_t x1, auto in_at, auto gone_at) {
            for (int32_t x = x0; x < x1; ++x) {
              const uint32_t* in = col + size_t(in_at(x)) * 4;
              const uint32_t* gone = col + size_t(gone_at(x)) * 4;
              uint32_t* out = sums.data() + size_t(x) * 4;
              for (int i = 0; i < 4; ++i) {
                out[i] = s[i];
                s[i] += in[i] - gone[i];
              }
            }
          };
          const auto in_clamped = [&](int32_t x) { return std::min(x + radius + 1, w - 1); };
          const auto gone_clamped = [&](int32_t x) { return std::max(x - radius, 0); };
          slide(0, lo, in_clamped, gone_clamped);
          slide(
              lo, hi, [&](int32_t x) { return x + radius + 1; }, [&](int32_t x) { return x - radius; });
          slide(hi, w, in_clamped, gone_clamped);
          const uint8_t* prow = src.row(y);
          const uint8_t* grow = guide.data() + size_t(y) * w;
          uint8_t* drow = dst.row(y);
          for (int32_t j = from; j < to; ++j) {
            const int32_t x = o[j];
            const uint8_t* p = prow + size_t(x) * ch;
            uint8_t* d = drow + size_t(x) * ch;
            const uint32_t* sum = sums.data() + size_t(x) * 4;
            const bool whole = j >= b[k];
            const double inv = sum[3] ? 1.0 / sum[3] : 0.0;
            const double t = t_of[grow[x]];
            for (int c = 0; c < 3; ++c) {
              // No neighbour near this level: the pixel itself stands in.
              const double v = sum[3] ? sum[c] * inv : p[c];
              const double mixed = whole ? v : (1 - t) * d[c] + t * v;
              d[c] = static_cast<uint8_t>(std::min(mixed + 0.5, 255.0));
            }
          }
        }
        if (y + 1 == end) break;
        const int32_t in_row = std::clamp(y + radius + 1, 0, h - 1), out_row = std::clamp(y - radius, 0, h - 1);
        if (in_row == out_row) continue;
        move_rows(in_row, out_row);
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging

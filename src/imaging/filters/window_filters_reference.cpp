#include "imaging/filters/window_filters_reference.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/bilateral.h"

namespace cvl::imaging {
namespace {

// The window sums as first written: every row's sums slid with the edge clamps
// tested at every pixel.
template <int K, class FillRow, class Emit>
void plain_window_sums(int32_t width, int32_t height, int32_t rx, int32_t ry, FillRow&& fill_row, Emit&& emit) {
  const size_t n = size_t(width) * K;
  std::vector<uint32_t> column(n, 0), entering(n), leaving(n), sums(n);
  const auto clamp_y = [height](int32_t y) { return std::clamp(y, 0, height - 1); };
  for (int32_t dy = -ry; dy <= ry; ++dy) {
    fill_row(clamp_y(dy), entering.data());
    for (size_t i = 0; i < n; ++i) column[i] += entering[i];
  }
  for (int32_t y = 0; y < height; ++y) {
    uint32_t s[K] = {};
    for (int32_t dx = -rx; dx <= rx; ++dx) {
      const uint32_t* c = column.data() + size_t(std::clamp(dx, 0, width - 1)) * K;
      for (int k = 0; k < K; ++k) s[k] += c[k];
    }
    for (int32_t x = 0; x < width; ++x) {
      uint32_t* out = sums.data() + size_t(x) * K;
      const uint32_t* in = column.data() + size_t(std::min(x + rx + 1, width - 1)) * K;
      const uint32_t* gone = column.data() + size_t(std::max(x - rx, 0)) * K;
      for (int k = 0; k < K; ++k) {
        out[k] = s[k];
        s[k] += in[k] - gone[k];
      }
    }
    emit(y, static_cast<const uint32_t*>(sums.data()));
    if (y + 1 == height) break;
    const int32_t in_row = clamp_y(y + ry + 1), out_row = clamp_y(y - ry);
    if (in_row == out_row) continue;
    fill_row(in_row, entering.data());
    fill_row(out_row, leaving.data());
    for (size_t i = 0; i < n; ++i) column[i] += entering[i] - leaving[i];
  }
}

// A (2 x 60 + 1)^2 window of table values up to 2^18 stays below 2^32.
constexpr int32_t kMeanMaxRadius = 60;
constexpr double kScale = 1 << 18;

// Each channel value v is replaced by table[v] and summed over the window;
// `finish(mean)` maps the mean table value back to a byte by searching the
// table's inverse: the output is the v whose table entry lies nearest.
template <int C>
void plain_tabulated_mean(const ImageView& in, const ImageView& out, int32_t radius, const uint32_t table[256],
                          bool decreasing) {
  const int32_t w = in.width;
  const double area = double(2 * radius + 1) * double(2 * radius + 1);
  // Midpoints between neighbouring table entries, ascending in table order.
  double cut[255];
  for (int32_t v = 0; v < 255; ++v) cut[v] = (double(table[v]) + table[v + 1]) / 2 * area;
  plain_window_sums<C>(
      w, in.height, radius, radius,
      [&](int32_t y, uint32_t* values) {
        const uint8_t* p = in.row(y);
        for (int32_t i = 0; i < w * C; ++i) values[i] = table[p[i]];
      },
      [&](int32_t y, const uint32_t* sums) {
        uint8_t* d = out.row(y);
        for (int32_t i = 0; i < w * C; ++i) {
          const double s = sums[i];
          // The first v whose midpoint to v + 1 the sum does not pass.
          const double* at = decreasing ? std::lower_bound(cut, cut + 255, s, std::greater<double>())
                                        : std::lower_bound(cut, cut + 255, s);
          d[i] = static_cast<uint8_t>(at - cut);
        }
      });
}

bool plain_mean_by_table(const ImageView& src, const ImageView& dst, int32_t radius, const uint32_t table[256],
                         bool decreasing) {
  if (!same_shape(src, dst) || radius < 0) return false;
  radius = std::min(radius, kMeanMaxRadius);
  Image copy;
  const ImageView in = unaliased_source(src, dst, copy);
  if (radius == 0) {
    copy_view(in, dst);
    return true;
  }
  switch (src.channels) {
    case 1:
      plain_tabulated_mean<1>(in, dst, radius, table, decreasing);
      break;
    case 3:
      plain_tabulated_mean<3>(in, dst, radius, table, decreasing);
      break;
    default:
      plain_tabulated_mean<4>(in, dst, radius, table, decreasing);
      break;
  }
  return true;
}

}  // namespace

bool geometric_mean_reference(const ImageView& src, const ImageView& dst, int32_t radius) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    // ln(256) < 5.6, so ln(v + 1) x 2^18 / 5.6 stays below 2^18.
    for (int32_t v = 0; v < 256; ++v) t[size_t(v)] = uint32_t(std::lround(std::log(v + 1.0) / 5.6 * kScale));
    return t;
  }();
  return plain_mean_by_table(src, dst, radius, table.data(), false);
}

bool harmonic_mean_reference(const ImageView& src, const ImageView& dst, int32_t radius) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    for (int32_t v = 0; v < 256; ++v) t[size_t(v)] = uint32_t(std::lround(kScale / (v + 1.0)));
    return t;
  }();
  return plain_mean_by_table(src, dst, radius, table.data(), true);
}

bool bilateral_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius, double range_sigma) {
  if (!same_shape(src, dst) || src.channels < 3 || src.data == dst.data || radius < 0 || !(range_sigma > 0.0))
    return false;
  radius = std::min(radius, bilateral_detail::kMaxRadius);
  copy_view(src, dst);  // the fourth channel, and every pixel at radius 0
  if (radius == 0) return true;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const std::vector<uint8_t> guide = bilateral_detail::brightness(src);
  // Levels spaced at most 1.5 sigma apart (closer is no better), at most 16.
  const int32_t levels =
      std::clamp(static_cast<int32_t>(std::ceil(255.0 / (1.5 * range_sigma))) + 1, 2, bilateral_detail::kMaxLevels);
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
    plain_window_sums<4>(
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

bool remove_lone_dots_reference(const ImageView& image, uint32_t channel_mask) {
  if (!same_shape(image, image)) return false;
  const int32_t w = image.width, h = image.height, ch = image.channels;
  const size_t row_bytes = size_t(w) * ch;
  // Three original rows at a time (above, current, below), so decisions read
  // the picture as it was, not dots already removed.
  std::vector<uint8_t> rows(3 * row_bytes);
  const auto keep = [&](int32_t y, int32_t slot) {
    const uint8_t* p = image.row(std::clamp(y, 0, h - 1));
    std::copy_n(p, row_bytes, rows.data() + size_t(slot) * row_bytes);
  };
  keep(-1, 0);
  keep(0, 1);
  for (int32_t y = 0; y < h; ++y) {
    keep(y + 1, (y + 2) % 3);
    const uint8_t* up = rows.data() + size_t((y + 0) % 3) * row_bytes;
    const uint8_t* mid = rows.data() + size_t((y + 1) % 3) * row_bytes;
    const uint8_t* down = rows.data() + size_t((y + 2) % 3) * row_bytes;
    uint8_t* out = image.row(y);
    for (int32_t x = 0; x < w; ++x) {
      const size_t l = size_t(std::max(x - 1, 0)) * ch, m = size_t(x) * ch, r = size_t(std::min(x + 1, w - 1)) * ch;
      for (int32_t c = 0; c < ch; ++c) {
        if (!(channel_mask >> c & 1)) continue;
        uint8_t n[9] = {up[l + c],   up[m + c],   up[r + c],   mid[l + c], mid[r + c],
                        down[l + c], down[m + c], down[r + c], mid[m + c]};
        const uint8_t v = n[8];
        const uint8_t lo = *std::min_element(n, n + 8), hi = *std::max_element(n, n + 8);
        if (v > hi || v < lo) {
          std::nth_element(n, n + 4, n + 9);
          out[m + c] = n[4];
        }
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging

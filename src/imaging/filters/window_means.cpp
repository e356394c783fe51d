#include "imaging/filters/window_means.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/window_sum.h"

namespace cvl::imaging {
namespace {

// A (2 x 60 + 1)^2 window of table values up to 2^18 stays below 2^32.
constexpr int32_t kMaxRadius = 60;
constexpr double kScale = 1 << 18;

// Each channel value v is replaced by table[v] and summed over the window;
// `finish(mean)` maps the mean table value back to a byte by searching the
// table's inverse: the output is the v whose table entry lies nearest.
template <int C>
void tabulated_mean(const ImageView& in, const ImageView& out, int32_t radius, const uint32_t table[256],
                    bool decreasing) {
  const int32_t w = in.width;
  const double area = double(2 * radius + 1) * double(2 * radius + 1);
  // Midpoints between neighbouring table entries, ascending in table order.
  double cut[255];
  for (int32_t v = 0; v < 255; ++v) cut[v] = (double(table[v]) + table[v + 1]) / 2 * area;
  window_sums<C>(
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

bool mean_by_table(const ImageView& src, const ImageView& dst, int32_t radius, const uint32_t table[256],
                   bool decreasing) {
  if (!same_shape(src, dst) || radius < 0) return false;
  radius = std::min(radius, kMaxRadius);
  Image copy;
  const ImageView in = unaliased_source(src, dst, copy);
  if (radius == 0) {
    copy_view(in, dst);
    return true;
  }
  switch (src.channels) {
    case 1: tabulated_mean<1>(in, dst, radius, table, decreasing); break;
    case 3: tabulated_mean<3>(in, dst, radius, table, decreasing); break;
    default: tabulated_mean<4>(in, dst, radius, table, decreasing); break;
  }
  return true;
}

}  // namespace

bool geometric_mean(const ImageView& src, const ImageView& dst, int32_t radius) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    // ln(256) < 5.6, so ln(v + 1) x 2^18 / 5.6 stays below 2^18.
    for (int32_t v = 0; v < 256; ++v) t[size_t(v)] = uint32_t(std::lround(std::log(v + 1.0) / 5.6 * kScale));
    return t;
  }();
  return mean_by_table(src, dst, radius, table.data(), false);
}

bool harmonic_mean(const ImageView& src, const ImageView& dst, int32_t radius) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    for (int32_t v = 0; v < 256; ++v) t[size_t(v)] = uint32_t(std::lround(kScale / (v + 1.0)));
    return t;
  }();
  return mean_by_table(src, dst, radius, table.data(), true);
}

}  // namespace cvl::imaging

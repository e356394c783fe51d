// The plain oil paint: one histogram per key slid along each row, its mode found
// by scanning the bins in use. Kept as the reference the fast version in
// oil_paint.cpp is checked against, word for word.
#include "imaging/artistic/oil_paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cvl::imaging {
namespace {

// A histogram over the window with the colour sums of each bin. The occupied
// range [lo, hi] only grows on adding and is narrowed when the mode is sought, so
// the search covers the bins the neighbourhood actually uses.
struct Histogram {
  std::vector<uint32_t> count;
  std::vector<uint32_t> sum;  // 3 per bin
  int32_t lo = 0, hi = -1;

  explicit Histogram(int32_t levels) : count(size_t(levels)), sum(size_t(levels) * 3) {}
  void clear() {
    std::fill(count.begin(), count.end(), 0u);
    std::fill(sum.begin(), sum.end(), 0u);
    lo = static_cast<int32_t>(count.size()), hi = -1;
  }
  void add(int32_t bin, const uint8_t* p, int sign) {
    count[size_t(bin)] += uint32_t(sign);
    uint32_t* s = &sum[size_t(bin) * 3];
    s[0] += uint32_t(sign * p[0]), s[1] += uint32_t(sign * p[1]), s[2] += uint32_t(sign * p[2]);
    if (sign > 0) lo = std::min(lo, bin), hi = std::max(hi, bin);
  }
  // The most common bin (the lowest of equals).
  int32_t mode() {
    while (lo <= hi && count[size_t(lo)] == 0) ++lo;
    while (hi >= lo && count[size_t(hi)] == 0) --hi;
    int32_t best = lo;
    for (int32_t b = lo + 1; b <= hi; ++b)
      if (count[size_t(b)] > count[size_t(best)]) best = b;
    return best;
  }
  uint8_t mean(int32_t bin, int c) const {
    const uint32_t n = count[size_t(bin)];
    return uint8_t((sum[size_t(bin) * 3 + c] + n / 2) / n);
  }
};

}  // namespace

bool oil_paint_reference(const ImageView& src, const ImageView& dst, int32_t radius, int32_t levels, uint32_t flags) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst)) return false;
  radius = std::clamp(radius, 0, 256);
  levels = std::clamp(levels, 1, 256);
  // Half-widths of the brush on each row from -radius to radius.
  std::vector<int32_t> half(size_t(2 * radius + 1), radius);
  if (flags & kOilRound)
    for (int32_t dy = -radius; dy <= radius; ++dy)
      half[size_t(dy + radius)] = int32_t(std::sqrt(double(radius) * radius - double(dy) * dy + 0.25));
  const bool per_channel = flags & kOilPerChannel;
  const int keys = per_channel ? 3 : 1;
  // Bin of a pixel for key k: its brightness, or channel k.
  auto bin_of = [&](const uint8_t* p, int k) {
    const int32_t v = per_channel ? p[k] : (p[0] + p[1] + p[2]) / 3;
    return v * levels / 256;
  };
  const std::vector<Histogram> blank(static_cast<size_t>(keys), Histogram(levels));
  std::vector<Histogram> hist = blank;
  auto touch = [&](int32_t x, int32_t y, int sign) {
    if (x < 0 || x >= w) return;
    const uint8_t* p = src.row(y) + size_t(x) * 3;
    for (int k = 0; k < keys; ++k) hist[size_t(k)].add(bin_of(p, k), p, sign);
  };
  for (int32_t y = 0; y < h; ++y) {
    for (Histogram& hg : hist) hg.clear();
    const int32_t dy0 = std::max(-radius, -y), dy1 = std::min(radius, h - 1 - y);
    for (int32_t dy = dy0; dy <= dy1; ++dy)
      for (int32_t dx = -half[size_t(dy + radius)]; dx <= half[size_t(dy + radius)]; ++dx) touch(dx, y + dy, 1);
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < w; ++x, out += 3) {
      if (x > 0)
        for (int32_t dy = dy0; dy <= dy1; ++dy) {
          const int32_t hw = half[size_t(dy + radius)];
          touch(x - 1 - hw, y + dy, -1);
          touch(x + hw, y + dy, 1);
        }
      if (per_channel) {
        for (int c = 0; c < 3; ++c) out[c] = hist[size_t(c)].mean(hist[size_t(c)].mode(), c);
      } else {
        const int32_t m = hist[0].mode();
        for (int c = 0; c < 3; ++c) out[c] = hist[0].mean(m, c);
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging

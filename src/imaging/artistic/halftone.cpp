#include "imaging/artistic/halftone.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace cvl::imaging {
namespace {

// The order in which a dot covers a cell's pixels: nearest the centre first.
std::vector<int32_t> dot_order(int32_t cell) {
  const int32_t n = cell * cell;
  std::vector<int32_t> index(static_cast<size_t>(n)), rank(static_cast<size_t>(n));
  std::iota(index.begin(), index.end(), 0);
  const double c = (cell - 1) * 0.5;
  auto dist = [&](int32_t i) {
    const double dx = i % cell - c, dy = i / cell - c;
    return dx * dx + dy * dy;
  };
  std::stable_sort(index.begin(), index.end(), [&](int32_t a, int32_t b) { return dist(a) < dist(b); });
  for (int32_t r = 0; r < n; ++r) rank[size_t(index[size_t(r)])] = r;
  return rank;
}

}  // namespace

bool halftone_image(const ImageView& image, int32_t cell, bool per_channel) {
  const int32_t w = image.width, h = image.height;
  if (!image.data || image.channels != 3 || w <= 0 || h <= 0 || cell < 1) return false;
  cell = std::min(cell, 1024);
  const std::vector<int32_t> rank = dot_order(cell);
  for (int32_t top = 0; top < h; top += cell)
    for (int32_t left = 0; left < w; left += cell) {
      const int32_t cw = std::min(cell, w - left), chh = std::min(cell, h - top);
      uint32_t sum[3] = {0, 0, 0};
      for (int32_t y = top; y < top + chh; ++y) {
        const uint8_t* p = image.row(y) + size_t(left) * 3;
        for (int32_t x = 0; x < cw; ++x, p += 3) sum[0] += p[0], sum[1] += p[1], sum[2] += p[2];
      }
      const uint32_t area = uint32_t(cw) * uint32_t(chh);
      // Inked pixels per channel: darkness times the area of a whole cell, so
      // that dots keep their size in the cut-off cells at the edges.
      int32_t ink[3];
      const uint32_t full = uint32_t(cell) * uint32_t(cell);
      for (int c = 0; c < 3; ++c) {
        const uint32_t mean = per_channel ? (sum[c] + area / 2) / area : (sum[0] + sum[1] + sum[2] + area * 3 / 2) / (area * 3);
        ink[c] = int32_t(((255 - mean) * full + 127) / 255);
      }
      for (int32_t y = top; y < top + chh; ++y) {
        uint8_t* p = image.row(y) + size_t(left) * 3;
        const int32_t* r = &rank[size_t(y - top) * cell];
        for (int32_t x = 0; x < cw; ++x, p += 3)
          for (int c = 0; c < 3; ++c) p[c] = r[x] < ink[c] ? 0 : 255;
      }
    }
  return true;
}

}  // namespace cvl::imaging

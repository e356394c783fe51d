// Sums over the rectangular window around every pixel, at a cost per pixel that
// does not depend on the window's size: each row keeps one running sum per column,
// updated by the row entering the window and the row leaving it, and each pixel's
// sum slides along the row by the column entering and the column leaving. Edges
// repeat the border row and column, so every window holds the same count.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace cvl::imaging {

// `fill_row(y, values)` writes K values per pixel of image row y (W x K uint32);
// `emit(y, sums)` receives the (2 rx + 1) x (2 ry + 1) window sums of row y, K per
// pixel. The caller keeps K x window area x the largest value below 2^32.
template <int K, class FillRow, class Emit>
void window_sums(int32_t width, int32_t height, int32_t rx, int32_t ry, FillRow&& fill_row, Emit&& emit) {
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

}  // namespace cvl::imaging

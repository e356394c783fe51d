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
// pixel, for the rows first..end - 1 only. The caller keeps K x window area x the
// largest value below 2^32. A band starts its column sums afresh, so bands of one
// picture may run at once (fill_row and emit then must be safe to call so).
template <int K, class FillRow, class Emit>
void window_sums_rows(int32_t width, int32_t height, int32_t rx, int32_t ry, int32_t first, int32_t end,
                      FillRow&& fill_row, Emit&& emit) {
  if (first >= end) return;
  const size_t n = size_t(width) * K;
  std::vector<uint32_t> column(n, 0), entering(n), leaving(n), sums(n);
  const auto clamp_y = [height](int32_t y) { return std::clamp(y, 0, height - 1); };
  for (int32_t dy = -ry; dy <= ry; ++dy) {
    fill_row(clamp_y(first + dy), entering.data());
    for (size_t i = 0; i < n; ++i) column[i] += entering[i];
  }
  const uint32_t* col = column.data();
  // Columns entering and leaving the window at pixel x are x + rx + 1 and x - rx,
  // clamped to the row; between `lo` and `hi` neither needs the clamp.
  const int32_t lo = std::min(rx, width), hi = std::max(lo, width - 1 - rx);
  for (int32_t y = first; y < end; ++y) {
    uint32_t s[K] = {};
    for (int32_t dx = -rx; dx <= rx; ++dx) {
      const uint32_t* c = col + size_t(std::clamp(dx, 0, width - 1)) * K;
      for (int k = 0; k < K; ++k) s[k] += c[k];
    }
    uint32_t* out = sums.data();
    const auto slide = [&](int32_t x0, int32_t x1, auto in_at, auto gone_at) {
      for (int32_t x = x0; x < x1; ++x) {
        const uint32_t* in = col + size_t(in_at(x)) * K;
        const uint32_t* gone = col + size_t(gone_at(x)) * K;
        uint32_t* o = out + size_t(x) * K;
        for (int k = 0; k < K; ++k) {
          o[k] = s[k];
          s[k] += in[k] - gone[k];
        }
      }
    };
    const auto in_clamped = [&](int32_t x) { return std::min(x + rx + 1, width - 1); };
    const auto gone_clamped = [&](int32_t x) { return std::max(x - rx, 0); };
    slide(0, lo, in_clamped, gone_clamped);
    slide(
        lo, hi, [rx](int32_t x) { return x + rx + 1; }, [rx](int32_t x) { return x - rx; });
    slide(hi, width, in_clamped, gone_clamped);
    emit(y, static_cast<const uint32_t*>(sums.data()));
    if (y + 1 == end) break;
    const int32_t in_row = clamp_y(y + ry + 1), out_row = clamp_y(y - ry);
    if (in_row == out_row) continue;
    fill_row(in_row, entering.data());
    fill_row(out_row, leaving.data());
    for (size_t i = 0; i < n; ++i) column[i] += entering[i] - leaving[i];
  }
}

// The same over every row of the picture, on the calling thread.
template <int K, class FillRow, class Emit>
void window_sums(int32_t width, int32_t height, int32_t rx, int32_t ry, FillRow&& fill_row, Emit&& emit) {
  window_sums_rows<K>(width, height, rx, ry, 0, height, fill_row, emit);
}

}  // namespace cvl::imaging

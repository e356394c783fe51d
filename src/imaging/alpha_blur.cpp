#include "imaging/alpha_blur.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace cvl::imaging {

namespace {

// Horizontal sums of three neighbours, the border pixel repeated.
void row_sums(const uint8_t* s, int32_t width, uint16_t* out) {
  for (int32_t x = 0; x < width; ++x) {
    const int32_t l = x > 0 ? x - 1 : 0, r = x + 1 < width ? x + 1 : width - 1;
    out[x] = static_cast<uint16_t>(s[l] + s[x] + s[r]);
  }
}

}  // namespace

bool blur3x3_plane8(const uint8_t* src, int32_t width, int32_t height, int32_t src_stride, uint8_t* dst,
                    int32_t dst_stride, int32_t strength) {
  if (!src || !dst || width <= 0 || height <= 0) return false;
  const uint32_t keep = static_cast<uint32_t>(100 - std::clamp(strength, 0, 100));
  const uint32_t mix = 100 - keep;
  // Three rolling rows of horizontal sums: above, current, below.
  std::vector<uint16_t> sums(static_cast<size_t>(width) * 3);
  uint16_t* rows[3] = {sums.data(), sums.data() + width, sums.data() + 2 * static_cast<size_t>(width)};
  auto src_row = [&](int32_t y) { return src + static_cast<ptrdiff_t>(std::clamp(y, 0, height - 1)) * src_stride; };
  row_sums(src_row(-1), width, rows[0]);
  row_sums(src_row(0), width, rows[1]);
  for (int32_t y = 0; y < height; ++y) {
    row_sums(src_row(y + 1), width, rows[2]);
    const uint8_t* s = src_row(y);
    uint8_t* d = dst + static_cast<ptrdiff_t>(y) * dst_stride;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t blurred = (static_cast<uint32_t>(rows[0][x]) + rows[1][x] + rows[2][x] + 4) / 9;
      d[x] = static_cast<uint8_t>((blurred * mix + s[x] * keep + 50) / 100);
    }
    std::rotate(rows, rows + 1, rows + 3);
  }
  return true;
}

}  // namespace cvl::imaging

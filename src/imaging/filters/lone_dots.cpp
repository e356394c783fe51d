#include "imaging/filters/lone_dots.h"

#include <algorithm>
#include <vector>

#include "imaging/channel_mask.h"

namespace cvl::imaging {

bool remove_lone_dots(const ImageView& image, uint32_t channel_mask) {
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
        uint8_t n[9] = {up[l + c], up[m + c], up[r + c], mid[l + c], mid[r + c], down[l + c], down[m + c], down[r + c],
                        mid[m + c]};
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

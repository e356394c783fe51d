#include "imaging/filters/lone_dots.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool remove_lone_dots(const ImageView& image, uint32_t channel_mask) {
  if (!same_shape(image, image)) return false;
  const int32_t w = image.width, h = image.height, ch = image.channels;
  const size_t row_bytes = size_t(w) * ch;
  // Decisions read the picture as it was, not dots already removed: a copy of
  // it, which also lets bands of rows run at once.
  std::vector<uint8_t> was(row_bytes * size_t(h));
  for (int32_t y = 0; y < h; ++y) std::memcpy(was.data() + size_t(y) * row_bytes, image.row(y), row_bytes);
  bool filtered[4] = {};
  for (int32_t c = 0; c < ch; ++c) filtered[c] = channel_mask >> c & 1;
  for_each_band(h, int64_t(w) * ch * 4, [&](int first, int end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* up = was.data() + size_t(std::max(y - 1, 0)) * row_bytes;
      const uint8_t* mid = was.data() + size_t(y) * row_bytes;
      const uint8_t* down = was.data() + size_t(std::min(y + 1, h - 1)) * row_bytes;
      uint8_t* out = image.row(y);
      for (int32_t x = 0; x < w; ++x) {
        const size_t l = size_t(x > 0 ? x - 1 : 0) * ch, m = size_t(x) * ch, r = size_t(x + 1 < w ? x + 1 : x) * ch;
        for (int32_t c = 0; c < ch; ++c) {
          if (!filtered[c]) continue;
          uint8_t n[9] = {up[l + c],   up[m + c],   up[r + c],   mid[l + c], mid[r + c],
                          down[l + c], down[m + c], down[r + c], mid[m + c]};
          // The eight neighbours' range without branches; only a pixel outside
          // it (rare) pays for the median.
          uint8_t lo = n[0], hi = n[0];
          for (int i = 1; i < 8; ++i) lo = std::min(lo, n[i]), hi = std::max(hi, n[i]);
          const uint8_t v = n[8];
          if (v > hi || v < lo) {
            std::nth_element(n, n + 4, n + 9);
            out[m + c] = n[4];
          }
        }
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging

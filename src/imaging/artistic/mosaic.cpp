#include "imaging/artistic/mosaic.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cvl::imaging {

bool mosaic_image(const ImageView& image, int32_t cell) {
  const int32_t w = image.width, h = image.height, ch = image.channels;
  if (!image.data || w <= 0 || h <= 0 || ch < 1 || ch > 4 || cell < 1) return false;
  const int32_t tiles = (w + cell - 1) / cell;
  std::vector<uint32_t> sums(size_t(tiles) * ch);
  std::vector<uint8_t> means(size_t(tiles) * ch);
  for (int32_t top = 0; top < h; top += cell) {
    const int32_t bottom = std::min(h, top + cell);
    std::fill(sums.begin(), sums.end(), 0u);
    // Row by row into the tiles' sums, so the image is read in memory order.
    for (int32_t y = top; y < bottom; ++y) {
      const uint8_t* p = image.row(y);
      for (int32_t x = 0; x < w; ++x, p += ch) {
        uint32_t* s = &sums[size_t(x / cell) * ch];
        for (int32_t c = 0; c < ch; ++c) s[c] += p[c];
      }
    }
    for (int32_t t = 0; t < tiles; ++t) {
      const uint32_t area = uint32_t(std::min(cell, w - t * cell)) * uint32_t(bottom - top);
      for (int32_t c = 0; c < ch; ++c)
        means[size_t(t) * ch + c] = uint8_t((sums[size_t(t) * ch + c] + area / 2) / area);
    }
    for (int32_t y = top; y < bottom; ++y) {
      uint8_t* p = image.row(y);
      for (int32_t x = 0; x < w; ++x, p += ch) std::memcpy(p, &means[size_t(x / cell) * ch], size_t(ch));
    }
  }
  return true;
}

}  // namespace cvl::imaging

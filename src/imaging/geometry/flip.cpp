#include "imaging/geometry/flip.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cvl::imaging {

void flip_horizontal(const ImageView& image) {
  if (!image.data || image.width <= 1 || image.channels <= 0) return;
  const int32_t ch = image.channels;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* left = image.row(y);
    uint8_t* right = left + static_cast<ptrdiff_t>(image.width - 1) * ch;
    if (ch == 4) {
      // Whole pixels as words: the common case runs without a channel loop.
      for (; left < right; left += 4, right -= 4) {
        uint32_t a, b;
        std::memcpy(&a, left, 4);
        std::memcpy(&b, right, 4);
        std::memcpy(left, &b, 4);
        std::memcpy(right, &a, 4);
      }
      continue;
    }
    for (; left < right; left += ch, right -= ch) std::swap_ranges(left, left + ch, right);
  }
}

void flip_vertical(const ImageView& image) {
  if (!image.data || image.height <= 1) return;
  const size_t row_bytes = static_cast<size_t>(image.width) * static_cast<size_t>(image.channels);
  std::vector<uint8_t> spare(row_bytes);
  for (int32_t top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
    std::memcpy(spare.data(), image.row(top), row_bytes);
    std::memcpy(image.row(top), image.row(bottom), row_bytes);
    std::memcpy(image.row(bottom), spare.data(), row_bytes);
  }
}

}  // namespace cvl::imaging

#include "imaging/tone/grey.h"

#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool image_to_grey(const ImageView& image, uint8_t* grey, int32_t grey_stride) {
  if (!image.data || !grey || image.width <= 0 || image.height <= 0) return false;
  if ((image.channels != 3 && image.channels != 4) || grey_stride < image.width) return false;
  const int32_t ch = image.channels;
  for_each_band(image.height, image.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* p = image.row(y);
      uint8_t* g = grey + static_cast<ptrdiff_t>(y) * grey_stride;
      for (int32_t x = 0; x < image.width; ++x, p += ch) g[x] = luma(p[0], p[1], p[2]);
    }
  });
  return true;
}

}  // namespace cvl::imaging

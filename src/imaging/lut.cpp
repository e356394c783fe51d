#include "imaging/lut.h"

namespace cvl::imaging {

void apply_luts(const ImageView& image, const uint8_t* const tables[4]) {
  const int32_t channels = image.channels < 4 ? image.channels : 4;
  for (int32_t c = 0; c < channels; ++c) {
    const uint8_t* table = tables[c];
    if (!table) continue;
    for (int32_t y = 0; y < image.height; ++y) {
      uint8_t* p = image.row(y) + c;
      for (int32_t x = 0; x < image.width; ++x, p += image.channels) *p = table[*p];
    }
  }
}

}  // namespace cvl::imaging

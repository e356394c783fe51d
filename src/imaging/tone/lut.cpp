#include "imaging/tone/lut.h"

#include "imaging/parallel_bands.h"

namespace cvl::imaging {

void apply_luts(const ImageView& image, const uint8_t* const tables[4]) {
  const int32_t channels = image.channels < 4 ? image.channels : 4;
  // One pass over the pixels with a table for every channel (the identity where
  // none is given), rather than one strided pass per channel.
  uint8_t identity[256];
  for (int v = 0; v < 256; ++v) identity[v] = static_cast<uint8_t>(v);
  const uint8_t* t[4] = {identity, identity, identity, identity};
  bool any = false;
  for (int32_t c = 0; c < channels; ++c)
    if (tables[c]) {
      t[c] = tables[c];
      any = true;
    }
  if (!any) return;
  const int32_t ch = image.channels;
  for_each_band(image.height, image.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      uint8_t* p = image.row(y);
      if (ch == 4) {
        for (int32_t x = 0; x < image.width; ++x, p += 4) {
          p[0] = t[0][p[0]];
          p[1] = t[1][p[1]];
          p[2] = t[2][p[2]];
          p[3] = t[3][p[3]];
        }
      } else {
        for (int32_t x = 0; x < image.width; ++x, p += ch)
          for (int32_t c = 0; c < channels; ++c) p[c] = t[c][p[c]];
      }
    }
  });
}

}  // namespace cvl::imaging

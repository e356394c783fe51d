#include "imaging/tone/colour_replace.h"

#include <cstddef>

#include "imaging/tone/colour_distance.h"

namespace cvl::imaging {

int64_t replace_colour(const ImageView& image, const Colour& from, const Colour& to, int32_t tolerance,
                       bool keep_alpha) {
  if (!image.data || !supported_channels(image.channels)) return -1;
  const int32_t ch = image.channels;
  const int32_t written = ch == 4 && keep_alpha ? 3 : ch;
  return with_near_colour(ch, from, tolerance, [&](auto near) {
    int64_t replaced = 0;
    for (int32_t y = 0; y < image.height; ++y) {
      uint8_t* p = image.row(y);
      for (int32_t x = 0; x < image.width; ++x, p += ch) {
        if (!near(p)) continue;
        for (int32_t k = 0; k < written; ++k) p[k] = to[static_cast<size_t>(k)];
        ++replaced;
      }
    }
    return replaced;
  });
}

}  // namespace cvl::imaging

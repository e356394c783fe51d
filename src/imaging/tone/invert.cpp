#include "imaging/tone/invert.h"

#include <type_traits>

#include "imaging/channel_mask.h"

namespace cvl::imaging {

bool invert_image(const ImageView& image, uint32_t channel_mask) {
  if (!same_shape(image, image)) return false;
  // One byte pattern per pixel, XORed over the row: 0xFF where a channel is selected.
  uint8_t flip[4] = {};
  for (int32_t c = 0; c < image.channels; ++c) flip[c] = (channel_mask >> c & 1) ? 0xFF : 0;
  // A pixel at a time with the channel count known, so the loop has no division.
  const auto each_row = [&](auto channels) {
    constexpr int32_t C = decltype(channels)::value;
    for (int32_t y = 0; y < image.height; ++y) {
      uint8_t* p = image.row(y);
      for (int32_t x = 0; x < image.width; ++x, p += C)
        for (int32_t c = 0; c < C; ++c) p[c] ^= flip[c];
    }
  };
  if (image.channels == 4) each_row(std::integral_constant<int32_t, 4>{});
  else if (image.channels == 3) each_row(std::integral_constant<int32_t, 3>{});
  else each_row(std::integral_constant<int32_t, 1>{});
  return true;
}

}  // namespace cvl::imaging

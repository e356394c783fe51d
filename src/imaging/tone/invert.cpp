#include "imaging/tone/invert.h"

#include "imaging/channel_mask.h"

namespace cvl::imaging {

bool invert_image(const ImageView& image, uint32_t channel_mask) {
  if (!same_shape(image, image)) return false;
  // One byte pattern per pixel, XORed over the row: 0xFF where a channel is selected.
  uint8_t flip[4] = {};
  for (int32_t c = 0; c < image.channels; ++c) flip[c] = (channel_mask >> c & 1) ? 0xFF : 0;
  const int32_t n = image.width * image.channels;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* p = image.row(y);
    for (int32_t i = 0; i < n; ++i) p[i] ^= flip[i % image.channels];
  }
  return true;
}

}  // namespace cvl::imaging

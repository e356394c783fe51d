// WebP through libwebp, read from memory. Still pictures only: an animation has no
// single picture to hand back, so it is refused rather than cut to a frame.
#include <webp/decode.h>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {

bool decode_webp(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  WebPBitstreamFeatures features;
  if (!data || WebPGetFeatures(data, size, &features) != VP8_STATUS_OK || features.has_animation) return false;
  if (!allocate_rgba(out, features.width, features.height)) return refuse(out);
  // Opaque pictures come out with alpha 255, as from every other reader.
  if (!WebPDecodeRGBAInto(data, size, out.pixels.data(), out.pixels.size(), out.width * 4)) return refuse(out);
  return true;
}

}  // namespace cvl::imaging

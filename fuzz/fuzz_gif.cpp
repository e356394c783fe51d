// Feeds arbitrary bytes to the gif decoder, which must refuse what it
// cannot read without reading or writing outside the input.
#include <cstddef>
#include <cstdint>

#include "imaging/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::imaging::Image image;
  if (cvl::imaging::decode_gif(data, size, image) && image.pixels.size() != size_t(image.width) * image.height * 4)
    __builtin_trap();
  return 0;
}

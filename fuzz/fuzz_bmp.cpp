// Feeds arbitrary bytes to the bmp decoder and its probe, which must refuse what they
// cannot read without reading or writing outside the input.
#include <cstddef>
#include <cstdint>

#include "imaging/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::imaging::Image image;
  if (cvl::imaging::decode_bmp(data, size, image) && image.pixels.size() != size_t(image.width) * image.height * 4)
    __builtin_trap();
  cvl::imaging::ImageInfo info;
  cvl::imaging::probe_bmp(data, size, info);
  return 0;
}

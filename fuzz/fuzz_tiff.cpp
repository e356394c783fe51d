// Feeds arbitrary bytes to the tiff decoder and its probe, which must refuse what they
// cannot read without reading or writing outside the input.
#include <cstddef>
#include <cstdint>

#include "imaging/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::imaging::Image image;
  if (cvl::imaging::decode_tiff(data, size, image) && image.pixels.size() != size_t(image.width) * image.height * 4)
    __builtin_trap();
  cvl::imaging::ImageInfo info;
  cvl::imaging::probe_tiff(data, size, info);
  return 0;
}

// Feeds arbitrary bytes to the metafile reader, which must refuse what it cannot read
// without reading or writing outside the input.
#include <cstddef>
#include <cstdint>

#include "codecs/metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::imaging::Image image;
  if (cvl::imaging::read_metafile(data, size, 0x808080, 64, 64, image) &&
      image.pixels.size() != size_t(image.width) * image.height * 3)
    __builtin_trap();
  return 0;
}

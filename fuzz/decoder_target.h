// The shared body of the decoder fuzz targets: a decoder (and its header probe,
// where the format has one) must refuse what it cannot read without reading or
// writing outside the input, and a decoded image must hold exactly its pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/decoders.h"

namespace cvl::fuzz {

using Decoder = bool (*)(const uint8_t*, size_t, imaging::Image&);
using Prober = bool (*)(const uint8_t*, size_t, imaging::ImageInfo&);

inline int run_decoder(const uint8_t* data, size_t size, Decoder decode, Prober probe = nullptr) {
  imaging::Image image;
  if (decode(data, size, image) && image.pixels.size() != size_t(image.width) * image.height * 4) __builtin_trap();
  if (probe) {
    imaging::ImageInfo info;
    probe(data, size, info);
  }
  return 0;
}

}  // namespace cvl::fuzz

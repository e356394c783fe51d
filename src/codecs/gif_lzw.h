// GIF frame data decoded here rather than by giflib: frames whose LZW codes start wider
// than giflib takes (a minimum code size of 9 to 11, which other readers accept).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/decode_support.h"

namespace cvl::imaging {

// Decodes the image data at `r` (the minimum code size, then the sub-blocks) into exactly
// `count` colour indices; false when the data is malformed or holds fewer.
bool decode_gif_lzw(ByteReader& r, size_t count, std::vector<uint16_t>& indices);

}  // namespace cvl::imaging

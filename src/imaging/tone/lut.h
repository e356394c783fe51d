// Per-channel 256-entry look-up tables over an interleaved 8-bit image.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Replaces each byte of channel c by tables[c][byte]; a channel whose table is
// null (or beyond the image's channels) is left alone.
void apply_luts(const ImageView& image, const uint8_t* const tables[4]);

}  // namespace cvl::imaging

// The clipboard's picture block: a BITMAPINFOHEADER followed by the pixel bits.
// Reading goes through the bitmap decoder (decode_packed_dib in decoders.h).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image_view.h"

namespace cvl::imaging {

constexpr uint32_t kDibHeaderSize = 40;

// A 32-bit plain-RGB DIB of an RGBA32 image, bottom-up, alpha in the fourth
// byte; empty for an empty or non-RGBA view.
std::vector<uint8_t> rgba_to_dib(const ImageView& src);

}  // namespace cvl::imaging

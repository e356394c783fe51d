// Grey (luma) of 8-bit colour images.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Luma with integer weights that sum to 256, so white stays 255 and a grey
// pixel keeps its value.
inline uint8_t luma(uint8_t r, uint8_t g, uint8_t b) { return static_cast<uint8_t>((r * 77 + g * 151 + b * 28) >> 8); }

// Writes the luma of a 3- or 4-channel image (alpha ignored) into a plane of
// the same size, `grey_stride` bytes a row. False for other views.
bool image_to_grey(const ImageView& image, uint8_t* grey, int32_t grey_stride);

}  // namespace cvl::imaging

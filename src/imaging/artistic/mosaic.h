// Mosaic: the picture laid in square tiles, each the mean colour of its pixels.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// In place: every cell x cell tile from the top-left corner (smaller at the right
// and bottom edges) takes the rounded mean of each channel over its own pixels.
// 1 to 4 channels. False for an unusable view or a cell below 1.
bool mosaic_image(const ImageView& image, int32_t cell);

}  // namespace cvl::imaging

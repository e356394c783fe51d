// Halftone: the picture printed as a screen of round dots whose size follows the
// darkness of each cell.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// In place on an RGB24 view: in every cell x cell square a dot of ink (0) grows
// from the cell's centre on white paper (255), covering as many pixels as the
// cell's mean darkness asks. Grey dots from the brightness unless `per_channel`,
// which screens each channel with its own dots (colour printing). False for an
// unusable view or a cell below 1.
bool halftone_image(const ImageView& image, int32_t cell, bool per_channel);

}  // namespace cvl::imaging

// Mirroring an interleaved image in place.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// Reverses the pixel order of every row (left becomes right).
void flip_horizontal(const ImageView& image);
// Reverses the row order (top becomes bottom).
void flip_vertical(const ImageView& image);

}  // namespace cvl::imaging

// Removing the comb of interlaced video frames.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Mode bits: 1 rebuilds the odd rows (the second field) from the even ones;
// with 4 also set, an odd row becomes the mean of the rows above and below it
// (the last row, with nothing below, copies the row above); without it, the
// row above is repeated. Every channel is rebuilt. A mode without bit 1 leaves
// the image alone.
bool deinterlace(const ImageView& image, int32_t mode);

}  // namespace cvl::imaging

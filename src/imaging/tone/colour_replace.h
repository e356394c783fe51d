// Recolouring every pixel of an image that lies near a colour, wherever it is
// (the global counterpart of the region fill).
#pragma once

#include <cstdint>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

// Every pixel within the squared distance `tolerance` of `from` (see
// colour_distance.h) takes `to`. With keep_alpha, four-byte pixels keep their
// own alpha and take only the colour; otherwise they take all four bytes of
// `to`. Returns the number of pixels replaced, or -1 when the image is not 1,
// 3 or 4 bytes a pixel.
int64_t replace_colour(const ImageView& image, const Colour& from, const Colour& to, int32_t tolerance,
                       bool keep_alpha);

}  // namespace cvl::imaging

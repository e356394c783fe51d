// The photographic negative: every selected channel v becomes 255 - v.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Inverts the channels of `image` whose bit is set in `channel_mask`, in place.
// False for views it cannot work on.
bool invert_image(const ImageView& image, uint32_t channel_mask = 15);

}  // namespace cvl::imaging

// Tint: turning every colour around the grey axis by an angle.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Rotates each colour about the line from black to white by `degrees`
// (positive turns red toward green, green toward blue): greys and the sum
// R + G + B stay, hues shift. 0 leaves the image exactly as it was. Works on
// 3- and 4-channel images, alpha left alone.
bool adjust_tint(const ImageView& image, int32_t degrees);

}  // namespace cvl::imaging

// Embossing: a colour image lit as if its relief were given by a height plane.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = src shaded by a light from `azimuth` (radians, 0 from the right,
// counter-clockwise on screen) and `elevation` (radians above the picture, pi/2
// straight overhead) falling on the surface whose heights are the 8-bit plane
// `height` (same width and height, `height_stride` bytes a row). `depth` (0..)
// steepens the relief; flat parts are lit by sin(elevation), so with the light
// overhead they keep their colour and slopes darken. 3- or 4-channel views of
// the same size (a fourth channel is copied); src and dst may be the same.
bool emboss(const uint8_t* height, int32_t height_stride, const ImageView& src, const ImageView& dst,
            double azimuth, double elevation, int32_t depth);

}  // namespace cvl::imaging

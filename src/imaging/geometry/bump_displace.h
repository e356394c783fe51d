// Displacement by a bump map: every pixel is fetched from where the slope of a
// grey relief pushes it, as if seen through an embossed pane.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

// dst(x, y) = src sampled bilinearly at (x, y) + depth * slope(x, y), where the
// slope is the bump map's central difference in each direction over 255 (so a
// black-to-white step moves pixels by about `depth`). Samples that fall off the
// source take `fill`. Source and destination are 4-channel and the same size;
// the bump map (one byte a pixel, packed) is read with clamped coordinates.
// False for images it cannot work on.
bool bump_displace(const ImageView& src, const ImageView& dst, const uint8_t* bump, int32_t bump_width,
                   int32_t bump_height, float depth, const Colour& fill);
// The plain twin of bump_displace: one pixel and one channel at a time, one thread.
// Tests hold bump_displace to its bytes.
bool bump_displace_reference(const ImageView& src, const ImageView& dst, const uint8_t* bump, int32_t bump_width,
                             int32_t bump_height, float depth, const Colour& fill);

}  // namespace cvl::imaging

// Gaussian blur by a recursive (infinite impulse response) filter: a forward and
// a backward third-order pass in each direction, so the cost per pixel is the
// same for sigma 1 as for sigma 100.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = src blurred with a Gaussian of standard deviation `sigma` pixels in both
// directions, on 1-, 3- or 4-channel images of the same size. Channels whose bit
// in `channel_mask` is clear (bit 0 = first channel) are copied unchanged. src and
// dst may be the same view. Edges repeat the border pixel, so a uniform image stays
// uniform. Sigma below 0.5 copies. False for views it cannot work on.
bool gaussian_blur(const ImageView& src, const ImageView& dst, float sigma, uint32_t channel_mask = 15);

// The same built for the processors every x86-64 has, never the wider vectors
// gaussian_blur picks where it can, and turning its floats back into bytes one
// at a time: the twin gaussian_blur is held to.
bool gaussian_blur_reference(const ImageView& src, const ImageView& dst, float sigma, uint32_t channel_mask = 15);

}  // namespace cvl::imaging

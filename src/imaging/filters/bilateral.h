// Edge-preserving smoothing: each pixel averaged with the neighbours of its own
// brightness.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = src smoothed over the (2 radius + 1)^2 window, each neighbour weighted
// by exp(-d^2 / (2 range_sigma^2)) for the difference d of its brightness from
// the pixel's own (0..255 levels; brightness = (77 R + 150 G + 29 B) / 256), so
// edges steeper than a few range_sigma stay sharp. 3- or 4-channel views of the
// same shape (the fourth channel is copied), not overlapping. The weights are
// taken at up to 16 brightness levels, each a box-window sum, and interpolated
// between the two levels about each pixel's brightness: the cost per pixel does
// not grow with the radius. Radius 0 copies.
bool bilateral_filter(const ImageView& src, const ImageView& dst, int32_t radius, double range_sigma);

}  // namespace cvl::imaging

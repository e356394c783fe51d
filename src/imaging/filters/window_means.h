// The geometric and harmonic means of the square window around every pixel.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = exp(mean(ln(v + 1))) - 1 over the (2 radius + 1)^2 window: darker than
// the plain mean where the window mixes dark and light, so bright dots fade.
bool geometric_mean(const ImageView& src, const ImageView& dst, int32_t radius);

// dst = n / sum(1 / (v + 1)) - 1 over the window: darker still, so dark detail
// spreads and bright dots vanish.
bool harmonic_mean(const ImageView& src, const ImageView& dst, int32_t radius);

// Both: 1-, 3- or 4-channel views of the same shape, every channel; edges repeat
// the border; src and dst may be the same view. The logarithms and reciprocals are
// tabulated in fixed point and summed exactly, so the cost per pixel does not grow
// with the radius and a uniform image stays uniform. Radius 0 copies; radii above
// 60 are clamped.
}  // namespace cvl::imaging

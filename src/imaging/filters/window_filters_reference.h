// The window filters written plainly (the box blur and sharpen have theirs beside
// them in blur.h and sharpen.h), one pixel and one channel at a time, each
// window summed or searched as the filter defines it. The fast filters (running
// sums shared between neighbours, whole rows at a time, bands on threads) must
// give these functions' bytes exactly; the differential tests hold them to it.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

bool geometric_mean_reference(const ImageView& src, const ImageView& dst, int32_t radius);
bool harmonic_mean_reference(const ImageView& src, const ImageView& dst, int32_t radius);
bool bilateral_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius, double range_sigma);
bool remove_lone_dots_reference(const ImageView& image, uint32_t channel_mask);

}  // namespace cvl::imaging

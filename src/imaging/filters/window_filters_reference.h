// The window filters written plainly, one pixel and one channel at a time, each
// window summed or searched as the filter defines it. The fast filters (running
// sums shared between neighbours, whole rows at a time, bands on threads) must
// give these functions' bytes exactly; the differential tests hold them to it.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

void blur_plane8_reference(uint8_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius,
                           int32_t passes = 3);
void blur_plane16_reference(uint16_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius,
                            int32_t passes = 3);

bool sharpen_reference(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size);
bool geometric_mean_reference(const ImageView& src, const ImageView& dst, int32_t radius);
bool harmonic_mean_reference(const ImageView& src, const ImageView& dst, int32_t radius);
bool bilateral_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius, double range_sigma);
bool remove_lone_dots_reference(const ImageView& image, uint32_t channel_mask);

}  // namespace cvl::imaging

// The median of the square window around every pixel.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// The largest radius the median takes (the window's count must fit 16 bits).
constexpr int32_t kMaxMedianRadius = 127;

// dst = the median of each selected channel (bit k of `channel_mask` for channel
// k) over the (2 radius + 1)^2 window; other channels are copied. Edges repeat
// the border. 1-, 3- or 4-channel views of the same shape; src and dst may be the
// same view. Constant time per pixel whatever the radius: every column keeps a
// histogram of its window's rows, updated by one row in and one out, and each
// pixel's window histogram slides along the row by adding one column histogram
// and removing another; the median is found through 16 coarse bins, then 16 fine,
// and the window's fine bins are kept up to date only where the median falls.
// Columns are worked in strips whose histograms stay in cache. Radius 0 copies;
// larger radii are clamped to kMaxMedianRadius.
bool median_filter(const ImageView& src, const ImageView& dst, int32_t radius, uint32_t channel_mask = 15);

// The same medians by whole 256-bin histograms slid pixel by pixel: slow, plain,
// and the bytes median_filter must give.
bool median_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius, uint32_t channel_mask = 15);

}  // namespace cvl::imaging

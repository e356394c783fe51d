// Rank extremes of the square window: minimum, maximum and their midpoint.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = the largest (smallest) value of each channel over the (2 radius + 1)^2
// window around the pixel: light shapes grow (shrink) by the radius. Edges
// repeat the border. 1-, 3- or 4-channel views of the same shape; src and dst
// may be the same view. Separable, with the van Herk / Gil-Werman running
// extremes, so each pixel costs three comparisons a direction whatever the
// radius. Radius 0 copies.
bool maximum_filter(const ImageView& src, const ImageView& dst, int32_t radius);
bool minimum_filter(const ImageView& src, const ImageView& dst, int32_t radius);

// The same by running extremes on one thread: the twins the two above are held to.
bool maximum_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius);
bool minimum_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius);

// dst = (minimum + maximum + 1) / 2 over the window, same views.
bool midpoint_filter(const ImageView& src, const ImageView& dst, int32_t radius);

}  // namespace cvl::imaging

// Removing isolated dots: single pixels unlike every neighbour.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// In each channel selected by `channel_mask`, a value strictly above or strictly
// below all eight of its neighbours (a dot) becomes the median of its 3 x 3
// window; every other value, edges and fine lines included, is kept. Border
// pixels see the border repeated. In place on 1-, 3- or 4-channel images.
bool remove_lone_dots(const ImageView& image, uint32_t channel_mask = 7);

}  // namespace cvl::imaging

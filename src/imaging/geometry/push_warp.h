// The push warp of the smudge-like "move this here" tool.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Pushes the content around `from` over to `to`: dst is src with the
// neighbourhood of the stroke displaced, full at `to` and fading smoothly to
// nothing at a radius of twice the stroke's length (at least 8 pixels). Works on
// premultiplied RGBA32 (bilinear taps need no alpha weighting then); src and dst
// are the same size and must not overlap. False when the views do not fit.
bool push_image(const ImageView& src, const ImageView& dst, int32_t from_x, int32_t from_y, int32_t to_x,
                int32_t to_y);

}  // namespace cvl::imaging

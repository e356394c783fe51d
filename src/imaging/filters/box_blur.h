// Box blur: every pixel becomes the mean of the square window around it.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// The largest radius the box filters take; wider windows are clamped to it.
constexpr int32_t kMaxBoxRadius = 1000;

// dst = src averaged over the (2 radius + 1)^2 window, `passes` times (three
// passes come close to a Gaussian), on 1-, 3- or 4-channel views of the same
// shape; channels whose bit in `channel_mask` is clear are copied. Edges repeat
// the border pixel, so a uniform image stays uniform. src and dst may be the same
// view. The cost per pixel does not grow with the radius. Radius 0 copies.
bool box_blur(const ImageView& src, const ImageView& dst, int32_t radius, int32_t passes = 1,
              uint32_t channel_mask = 15);

// The same one plain pass after another on one thread: the twin box_blur is held to.
bool box_blur_reference(const ImageView& src, const ImageView& dst, int32_t radius, int32_t passes = 1,
                        uint32_t channel_mask = 15);

}  // namespace cvl::imaging

// Unsharp masking with a threshold: detail above the threshold is amplified.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// For each colour channel, detail = v - (v blurred by a Gaussian of `sigma`);
// where |detail| exceeds `threshold` levels, dst = v + amount x detail with the
// change held within +-`limit` levels, else dst = v. The fourth channel of a
// 4-channel view is copied. 3- or 4-channel views of the same shape, not
// overlapping. The blur is recursive, so its cost does not grow with sigma.
bool unsharp_mask(const ImageView& src, const ImageView& dst, double amount, double sigma, int32_t threshold,
                  int32_t limit);

// The same a channel at a time over the plain blur: the twin unsharp_mask is held to.
bool unsharp_mask_reference(const ImageView& src, const ImageView& dst, double amount, double sigma, int32_t threshold,
                            int32_t limit);

}  // namespace cvl::imaging

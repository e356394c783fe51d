// Dust and scratches: small defects replaced by their surroundings' median,
// where they stand out.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = src, except where a channel differs from the median of its
// (2 radius + 1)^2 window by more than `threshold` levels: there it moves toward
// that median by `amount` (0..1, 1 replaces it). Low contrast texture below the
// threshold is kept. 3- or 4-channel views of the same shape, not overlapping;
// only the first three channels are filtered.
bool dust_and_scratches(const ImageView& src, const ImageView& dst, int32_t radius, int32_t threshold,
                        double amount);

}  // namespace cvl::imaging

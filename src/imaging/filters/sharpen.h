// Unsharp-mask sharpening of 8-bit interleaved images.
#pragma once

#include <algorithm>
#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Writes `src` sharpened into `dst` (same size and channel count, 3 or 4; the
// fourth channel is copied): each colour channel moves away from its blurred
// self by amount / 10 of the difference, so 10 doubles the local contrast. The
// blur spans `size` pixels (three box passes of radius (size - 1) / 6, at least
// 1). False, writing nothing, for images it cannot work on.
bool sharpen(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size);

// The same one plain step at a time: the reference sharpen is checked against.
bool sharpen_reference(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size);

// What sharpen and its reference share: the views they take and the box radius.
namespace sharpen_detail {

inline bool views_fit(const ImageView& src, const ImageView& dst) {
  if (!src.data || !dst.data || src.width <= 0 || src.height <= 0) return false;
  if (src.width != dst.width || src.height != dst.height || src.channels != dst.channels) return false;
  return src.channels == 3 || src.channels == 4;
}

inline int32_t box_radius(int32_t size) { return std::max((size - 1) / 6, 1); }

}  // namespace sharpen_detail

}  // namespace cvl::imaging

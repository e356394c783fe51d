// Resampling and channel reduction of interleaved 8-bit images.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// Bilinear resize of `src` into `dst` (same channel count, any sizes).
void resize_bilinear(const ImageView& src, const ImageView& dst);
// Shrinks by averaging the source area under each destination pixel.
void decimate_area(const ImageView& src, const ImageView& dst);
// RGBA32 (or RGB24) to one grey byte per pixel; dst has channels == 1.
void to_grey8(const ImageView& src, const ImageView& dst);

}  // namespace cvl::imaging

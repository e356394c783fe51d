// Resampling and channel reduction of interleaved images.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// Bilinear resize of `src` into `dst` (same channel count, any sizes). Sample centres
// are aligned, so a same-size resize copies and edges are clamped.
void resize_bilinear(const ImageView& src, const ImageView& dst);
void resize_bilinear(const ImageView16& src, const ImageView16& dst);
// Shrinks by averaging the source pixels under each destination pixel (rounded). Growing
// falls back to repeating pixels.
void decimate_area(const ImageView& src, const ImageView& dst);
void decimate_area(const ImageView16& src, const ImageView16& dst);
// RGBA32 (or RGB24) to one grey byte per pixel, (77 R + 150 G + 29 B + 128) >> 8;
// alpha is ignored; a one-channel source is copied. dst has channels == 1.
void to_grey8(const ImageView& src, const ImageView& dst);

}  // namespace cvl::imaging

// Byte-exact rectangle copies between interleaved images of any pixel size.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Copies width x height pixels of `bytes_per_pixel` bytes from src to dst; strides in bytes.
// Both pointers address the rectangle's first pixel.
void copy_rect(uint8_t* dst, int32_t dst_stride, const uint8_t* src, int32_t src_stride, int32_t width,
               int32_t height, int32_t bytes_per_pixel);

// Places a whole source image into a destination at (x, y), clipped to the destination.
void overlay_image(uint8_t* dst, int32_t dst_width, int32_t dst_height, int32_t dst_stride, const uint8_t* src,
                   int32_t src_width, int32_t src_height, int32_t src_stride, int32_t x, int32_t y,
                   int32_t bytes_per_pixel);

// Cuts the rectangle [left, right) x [top, bottom) out of `src` into `dst`, which
// must be (right - left) x (bottom - top) with the same channel count. Returns
// false, writing nothing, for an empty rectangle or one that leaves the source.
bool crop_image(const ImageView& src, int32_t left, int32_t top, int32_t right, int32_t bottom, const ImageView& dst);

// Lays an RGBA32 source over an RGBA32 destination at (x, y), clipped: straight
// alpha "over", so transparent source pixels leave the destination as it was.
void overlay_image_over(const ImageView& dst, const ImageView& src, int32_t x, int32_t y);

}  // namespace cvl::imaging

// Rotation by any angle about the image centre, by inverse mapping.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class RotateFilter { Nearest, Bilinear };

// Maps every pixel of dst back onto src by a turn about the two images' centres:
// the source point is (c * dx - s * dy, s * dx + c * dy) * scale from the source
// centre, for a destination pixel (dx, dy) from the destination centre. Positive
// sines turn the picture counter-clockwise on screen. Bilinear taps are weighted
// by their alpha so that transparent pixels lend no colour; pixels that map
// outside the source become transparent. RGBA32 views only; src and dst must not overlap.
void rotate_into(const ImageView& src, const ImageView& dst, double c, double s, double scale, RotateFilter filter);

// The size of the box that holds a w x h image turned by `radians`; 0 x 0 for an
// empty image.
void rotated_pixel_size(float radians, int32_t width, int32_t height, int32_t& out_width, int32_t& out_height);

// Turns src by `radians` into dst (normally of rotated_pixel_size), centred.
void rotate_image(const ImageView& src, const ImageView& dst, float radians, RotateFilter filter);

}  // namespace cvl::imaging

// The mask applied to, or standing in for, the alpha of caller RGBA32 images.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Weights the alpha of an RGBA32 image holding canvas rectangle x0..x1 by
// y0..y1 (inclusive, first pixel at (x0, y0), rows `pitch` bytes apart) by the
// mask's high byte at the same canvas position. Parts of the rectangle off the
// canvas are left alone.
void apply_mask_to_alpha_rect(const Engine& e, uint8_t* rgba, int32_t pitch, int32_t x0, int32_t y0, int32_t x1,
                              int32_t y1);
void apply_mask_to_alpha(const Engine& e, uint8_t* rgba);

// In a canvas-sized RGBA32 image, every pixel whose alpha lies within the
// tolerance of `alpha` becomes (r, g, b, a). The mask is not touched.
void replace_from_rgba_alpha_range(const Engine& e, uint8_t* rgba, int32_t alpha, int32_t tol_percent, int32_t r,
                                   int32_t g, int32_t b, int32_t a);

}  // namespace cvl

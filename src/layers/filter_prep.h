// Preparing caller images for filters and for compositing: premultiply and back
// (so that transparent pixels do not bleed colour into their neighbours),
// weighting alpha by the selection, and recolouring transparent pixels.
// Buffers are packed rows.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

void adjust_rgba32_pre_filter(uint8_t* image, int32_t width, int32_t height);
void adjust_rgba32_post_filter(uint8_t* image, int32_t width, int32_t height);
void adjust_rgba64_pre_filter(uint16_t* image, int32_t width, int32_t height);
void adjust_rgba64_post_filter(uint16_t* image, int32_t width, int32_t height);
// Un-premultiplies every pixel with alpha above 0 of a canvas-sized image when flag is set.
void adjust_rgba32_for_alpha_comp(const Engine& e, int32_t flag, uint8_t* image);

// Scales alpha by the selection weight (mask and texture map of `e`) at each pixel's
// canvas position: the image's first pixel sits at canvas (x, y); parts off the canvas
// are left alone.
void adjust_rgba32_rect_by_mask_and_texture(const Engine& e, uint8_t* image, int32_t x, int32_t y, int32_t width,
                                            int32_t height);
// The same for an image placed at the canvas origin.
void adjust_rgba32_by_mask_and_texture(const Engine& e, uint8_t* image, int32_t width, int32_t height);

// In the current layer, every pixel with alpha below 256 becomes (r, g, b) x 257 with alpha 0.
void set_colour_alpha(const Engine& e, uint8_t r, uint8_t g, uint8_t b);
// Every pixel with alpha 0 takes the colour.
void set_colour_alpha_rgba_buf(uint8_t* image, int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b);
// Every pixel takes the colour; alpha kept.
void set_colour_rgba_buf(uint8_t* image, int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b);

}  // namespace cvl

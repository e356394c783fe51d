// Conversions between caller buffers; no canvas state is involved except where
// a function is defined over a canvas-sized area.
#pragma once

#include <cstdint>

namespace cvl {

void rgb_to_rgba(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);
void rgba_to_rgb(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);
void rgb_alpha_to_rgb(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);
void rgb_to_rgb_alpha(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);

// Narrows width x height RGBA64 pixels into 8-bit pixels of `channels` bytes (3 or 4).
// Strides are in bytes; both pointers address the rectangle's first pixel.
void narrow_rgba64_rect(uint8_t* dst, int32_t dst_stride, const uint16_t* src, int32_t src_stride,
                        int32_t width, int32_t height, int channels);

// How widen_rgba32_row treats alpha: `ClearTransparent` writes all four words
// but clears a pixel of alpha 0 whole, so no colour hides under transparency;
// `KeepAlpha` writes the colour over the alpha already there; `AllWords` writes
// all four words as they come.
enum class Widen { ClearTransparent, KeepAlpha, AllWords };

// Widens `width` RGBA32 pixels into RGBA64 words, each byte the high byte of its word.
void widen_rgba32_row(uint16_t* dst, const uint8_t* src, int32_t width, Widen mode);

// Widens `width` RGB24 pixels into the colour words of RGBA64 pixels, keeping their alpha.
void widen_rgb24_row(uint16_t* dst, const uint8_t* src, int32_t width);

void clear_rgba64(uint16_t* buffer, int32_t stride, int32_t width, int32_t height, uint16_t r, uint16_t g,
                  uint16_t b, uint16_t a);
void clear_rgba32(uint8_t* buffer, int32_t stride, int32_t width, int32_t height, uint8_t r, uint8_t g,
                  uint8_t b, uint8_t a);
void invert_alpha_rgba32(uint8_t* buffer, int32_t width, int32_t height);

}  // namespace cvl

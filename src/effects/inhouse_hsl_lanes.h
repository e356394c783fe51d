// HSL conversions of whole rows, four pixels at a time in double lanes on
// processors with AVX2, operation for operation as RgbToHsl and HslToRgb
// (core/colour_models) do them, so the bytes are theirs.
#pragma once

#include <cstdint>

namespace cvl::inhouse_hsl {

// True when this processor runs the lanes and tests have not turned them off.
bool hsl_lanes_available();
void use_portable_hsl(bool on);

// h, s, l of the n RGBA pixels at `rgba`, as RgbToHsl gives them.
void rgb_row_to_hsl(const uint8_t* rgba, int32_t n, double* h, double* s, double* l);

// Bas relief of n pixels: saturation and lightness moved away from the
// neighbour's (ns, nl, at the same index) by `amount` of the room left, then
// back to RGB with the alpha of `alpha_from`, written as RGBA to `out`.
void relieve_row(const double* h, const double* s, const double* l, const double* ns, const double* nl, int32_t n,
                 double amount, const uint8_t* alpha_from, uint8_t* out);

// Hyper Contrast of n RGBA pixels: each colour channel v becomes
// darkened[v] * (1 - l) + brightened[v] * l by the pixel's HSL lightness l,
// truncated and held to 0..255; alpha stays.
void hyper_contrast_row(const uint8_t* in, int32_t n, const double* darkened, const double* brightened, uint8_t* out);

}  // namespace cvl::inhouse_hsl

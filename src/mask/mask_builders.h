// Selections built from a canvas-sized caller image: every pixel that matches
// the test gets the strength's mask word (see mask_value_for_strength); all
// other mask words stay as they are, so builders add to a selection and the
// host clears or inverts first to replace one. Each returns the number of
// pixels matched; nothing is done without a canvas.
//
// RGBA32 images are W * H pixels of 4 bytes, RGB24 of 3, packed; channel bytes
// 0, 1, 2 are compared with the key values c0, c1, c2 and byte 3 is alpha.
// Tolerances in percent become trunc(tol * 2.56) on the byte scale.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

int32_t mask_from_rgba_colour(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2, int32_t strength);
int32_t mask_from_rgb24_colour(Engine& e, const uint8_t* rgb, int32_t c0, int32_t c1, int32_t c2, int32_t strength);
// Every channel within the tolerance of the key.
int32_t mask_from_rgba_colour_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2,
                                    int32_t tol_percent, int32_t strength);
int32_t mask_from_rgba_alpha_range(Engine& e, const uint8_t* rgba, int32_t alpha, int32_t tol_percent,
                                   int32_t strength);
// Mean of the pixel's channels against the mean of the key's.
int32_t mask_from_rgba_luminance_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2,
                                       int32_t tol_percent, int32_t strength);
// HSV hue within trunc(tol * 1.8) degrees of the key's, around the circle.
int32_t mask_from_rgba_hue_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2,
                                 int32_t tol_percent, int32_t strength);
// HSL: hue within hue_tol * 180 degrees, saturation and lightness within their
// tolerances; all three tolerances are fractions 0..1.
int32_t mask_from_rgba_hsl_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2, double hue_tol,
                                 double sat_tol, double light_tol, int32_t strength);
// Canvas-sized byte map; bytes equal to 1 mark the region.
int32_t mask_from_flood_map(Engine& e, const uint8_t* flood, int32_t strength);
// Pixels where any of the four bytes of a and b differ get the mask word
// `value` (its low 16 bits) rather than a strength.
int32_t mask_from_diff_rgba32(Engine& e, const uint8_t* a, const uint8_t* b, int32_t value);

}  // namespace cvl

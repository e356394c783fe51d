// The magic wand: adds the pixels a click selects to the mask.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Modes: "Connected", "Non-connected", "Color Range", "Luminance Range",
// "Hue Range", "HSL Range", "Alpha Connected", "Alpha Non-connected".
// `tolerance` is a percentage * 500; the selected pixels get the mask word of
// strength trunc(strength % * 2.559). A click off the canvas does nothing; an
// unknown mode still refills and frees the IPL source.
void mask_wand(Engine& e, int32_t x, int32_t y, int32_t tolerance, int32_t strength_percent, const char* mode);

}  // namespace cvl

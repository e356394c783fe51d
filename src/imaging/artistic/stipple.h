// Stipple: the picture drawn as scattered single dots of ink, dense where it is dark.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class StippleInk : uint8_t {
  Black,   // black dots on white paper
  Colour,  // dots in the picture's own colour on white paper
  White,   // white dots on black, dense where the picture is light
};
StippleInk stipple_ink_from_code(int32_t code);

// src -> dst, RGB24 views of one size that do not overlap. Each pixel is a dot
// with chance darkness x density / 50 (density 50: as dark as the picture, 0: no
// dots), drawn from a generator seeded with `seed`. False for unusable views.
bool stipple_image(const ImageView& src, const ImageView& dst, int32_t density, StippleInk ink, uint32_t seed);

// The same one draw after another on one thread: the twin stipple_image is held to.
bool stipple_image_reference(const ImageView& src, const ImageView& dst, int32_t density, StippleInk ink,
                             uint32_t seed);

}  // namespace cvl::imaging

// Scribble: the picture redrawn as pen hatching, wavering diagonal strokes that
// thicken where it is dark, crossed by a second set in the darkest parts.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class ScribbleInk : uint8_t {
  Black,   // black strokes on white paper
  Colour,  // strokes in the picture's own colour, darkened, on white paper
  Over,    // black strokes drawn over the picture itself
};
ScribbleInk scribble_ink_from_code(int32_t code);

// src -> dst, RGB24 views of one size that do not overlap. `cross` adds the
// second set of strokes; `amount` (0..100) mixes the drawing over the picture
// (0 leaves it, 100 is the drawing alone). False for unusable views.
bool scribble_image(const ImageView& src, const ImageView& dst, ScribbleInk ink, bool cross, int32_t amount);

// The same one pixel after another: the reference scribble_image is checked
// against.
bool scribble_image_reference(const ImageView& src, const ImageView& dst, ScribbleInk ink, bool cross, int32_t amount);

}  // namespace cvl::imaging

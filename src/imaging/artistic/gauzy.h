// Gauzy: a soft-focus glow, the picture seen through fine gauze: its own blur,
// brightened, laid over it.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class GauzyBlend : uint8_t {
  Lighten,  // the lighter of picture and glow
  Screen,   // light added as two projected slides
  Darken,   // the darker of the two: a misty shadow instead
};
GauzyBlend gauzy_blend_from_code(int32_t code);

// src -> dst, RGB24 views of one size that do not overlap. The glow is a
// Gaussian blur of `sigma`, brightened by `lift` (0 none, 1 doubled), blended by
// `blend` and mixed in by `strength` (0 none .. 1 fully). False for unusable views.
bool gauzy_image(const ImageView& src, const ImageView& dst, float sigma, float strength, float lift, GauzyBlend blend);

// The same a byte at a time over the plain blur: the twin gauzy_image is held to.
bool gauzy_image_reference(const ImageView& src, const ImageView& dst, float sigma, float strength, float lift,
                           GauzyBlend blend);

}  // namespace cvl::imaging

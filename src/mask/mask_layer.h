// Moving selections between the mask and the current layer: the layer's grey
// level or alpha becomes the mask, or the mask becomes the layer's grey image
// or alpha. Each does nothing without a current layer with pixels.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Mean of R, G, B: black opens (65535), white protects (0), greys between.
void create_mask_from_image(Engine& e);
// The layer shows the mask as an opaque grey image, protected parts light.
void create_image_from_mask(Engine& e);
void create_alpha_from_mask(Engine& e);
void create_mask_from_alpha(Engine& e);

}  // namespace cvl

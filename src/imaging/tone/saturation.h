// Scaling the colourfulness of 8-bit images.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// Scales each pixel's distance from its grey, the HSL lightness
// (max + min) / 2, by `factor`: 0 gives the grey, 1 leaves the pixel, above 1
// saturates and a negative factor turns the colour toward its complement.
// Results are rounded and clamped to 0..255, which keeps hue and lightness
// until a channel clips. Works on 3- and 4-channel images (the fourth is left
// alone); false for others.
bool modify_saturation(const ImageView& image, double factor);
// The same pixel by pixel, each channel rounded afresh (small pictures go this way).
bool modify_saturation_reference(const ImageView& image, double factor);

}  // namespace cvl::imaging

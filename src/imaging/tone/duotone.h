// Duotone: the picture's grey printed in one coloured ink.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// Each pixel's luma becomes the lightness of a colour of hue `hue_degrees` and
// HSL saturation `saturation` (0..1); the result is mixed over the original by
// `amount` (0 keeps it, 1 is the pure duotone). Alpha is left alone.
bool duotone(const ImageView& image, double hue_degrees, double saturation, double amount);

}  // namespace cvl::imaging

// The contrast mask: a blurred negative of the picture laid over it in soft
// light, which opens the shadows and holds back the highlights.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// In place on a 3- or 4-channel image (the fourth channel is kept): the mask is
// 255 minus the brightness (77 R + 150 G + 29 B) / 256, or 255 minus each channel
// itself when `per_channel`, blurred by a Gaussian of `sigma`; every colour value
// a (0..1) becomes the soft-light blend (1 - 2m) a^2 + 2 m a with its mask m.
// A mid-grey mask leaves the value as it is.
bool contrast_mask(const ImageView& image, bool per_channel, double sigma);

}  // namespace cvl::imaging

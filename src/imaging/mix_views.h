// Blending a filtered image back toward its original.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// into = original + weight x (into - original), rounded, on views of the same
// shape; weight 1 keeps `into`, 0 restores the original. Weights outside 0..1
// are clamped.
void mix_toward(const ImageView& original, const ImageView& into, double weight);

}  // namespace cvl::imaging

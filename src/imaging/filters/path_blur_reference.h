// Plain twins of the spin and zoom blurs: one thread, every tap sampled pixel by
// pixel through its own turn and scale. The differential tests hold the faster
// versions in path_blur.cpp to the same bytes.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

bool spin_blur_reference(const ImageView& src, const ImageView& dst, double cx, double cy, double angle_radians);
bool zoom_blur_reference(const ImageView& src, const ImageView& dst, double cx, double cy, double spread);

}  // namespace cvl::imaging

// Blurs along circles and rays about a centre: the spin and the zoom blur.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = the mean of src turned about (cx, cy) through angles spread evenly over
// `angle_radians`, centred on no turn (a spin blur).
bool spin_blur(const ImageView& src, const ImageView& dst, double cx, double cy, double angle_radians);

// dst = the mean of src scaled about (cx, cy) by factors from 1 + spread / 2 down
// to 1 - spread / 2 (a zoom blur); spread in 0..1.
bool zoom_blur(const ImageView& src, const ImageView& dst, double cx, double cy, double spread);

// Both: 4-channel views of the same shape, not overlapping; samples outside the
// image repeat its border. The mean over N positions is built by log2(N) passes
// that each average two copies (the second one turned or scaled by twice the
// previous pass's step), so a long path costs a few passes rather than one sample
// per pixel of its length. N is enough for samples about a pixel apart at the
// farthest corner, at most 1024.
}  // namespace cvl::imaging

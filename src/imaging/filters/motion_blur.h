// Motion blur: every pixel averaged along a straight streak at a given angle.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = src averaged over a streak `length` pixels long through each pixel, at
// `angle_degrees` (0 is to the right, 90 straight up). `lead` in 0..1 places the
// streak: 0 trails behind the pixel, 0.5 is centred on it, 1 runs ahead. Where
// the streak leaves the image only the samples inside count, so a uniform image
// stays uniform. 1-, 3- and 4-channel views of the same shape, not overlapping.
// The streak follows digital lines and a running sum, so the cost per pixel does
// not grow with the length. A length below 1 copies.
bool motion_blur(const ImageView& src, const ImageView& dst, double length, double angle_degrees, double lead);

// The same one line and one sample at a time on one thread: the twin motion_blur is held to.
bool motion_blur_reference(const ImageView& src, const ImageView& dst, double length, double angle_degrees,
                           double lead);

}  // namespace cvl::imaging

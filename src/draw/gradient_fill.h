// Gradient fills of 4-channel images from a table of colour stops.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// One stop: four channel bytes (what the fourth means is the caller's: opacity
// or transparency) at a position in percent along the gradient. Stops are in
// ascending position order.
struct GradientStop {
  uint8_t channels[4];
  int32_t position;
};

// Every pixel takes the stops' colour at its parameter along the line from
// (x0, y0) to (x1, y1): its projection onto the line, 0 at the start and 100 %
// at the end, clamped. False (image untouched) for a zero-length line, no stops
// or an image that is not 4-channel.
bool fill_linear_gradient(const ImageView& image, double x0, double y0, double x1, double y1,
                          const GradientStop* stops, int32_t count);

// The parameter is the distance from (cx, cy) as a share of the radius, clamped.
// False for a radius below 1, no stops or an image that is not 4-channel.
bool fill_radial_gradient(const ImageView& image, double radius, double cx, double cy, const GradientStop* stops,
                          int32_t count);

}  // namespace cvl::imaging

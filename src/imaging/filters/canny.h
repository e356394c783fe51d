// Canny edge detection on an 8-bit plane.
#pragma once

#include <cstdint>

namespace cvl::imaging {

struct CannySettings {
  double sigma = 1;  // smoothing before the gradients, pixels (below 0.5: none)
  // Hysteresis thresholds as the height of a sharp step in grey levels (whose
  // gradient is 4 x the height; smoothing spreads a step and lowers it): edges
  // start where the gradient reaches `high` and continue along `low`.
  double low = 10;
  double high = 30;
};

// Writes 255 on edge pixels and 0 elsewhere into `out` (`out_stride` bytes a
// row): the gradient is thinned to its ridge (one pixel across a straight step)
// and kept where it is strong or connected to strong parts. `grey` and `out`
// may not overlap. False for unusable arguments.
bool canny_edges(const uint8_t* grey, int32_t grey_stride, int32_t width, int32_t height,
                 const CannySettings& settings, uint8_t* out, int32_t out_stride);

}  // namespace cvl::imaging

// Sampled curves for the host's curved strokes.
#pragma once

#include <cstdint>

namespace cvl::imaging {

// Samples `count` points of the smooth curve through three control points
// (x, y, z arrays of 3): a quadratic that starts at the first point, passes the
// second at its middle and ends at the last. Writes count values into each of
// the output arrays. False when count is below 2.
bool spline_points_3(int32_t count, const double* cx, const double* cy, const double* cz, double* px, double* py,
                     double* pz);

}  // namespace cvl::imaging

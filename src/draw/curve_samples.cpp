#include "draw/curve_samples.h"

namespace cvl::imaging {

bool spline_points_3(int32_t count, const double* cx, const double* cy, const double* cz, double* px, double* py,
                     double* pz) {
  if (count < 2) return false;
  const double* in[3] = {cx, cy, cz};
  double* out[3] = {px, py, pz};
  for (int axis = 0; axis < 3; ++axis) {
    const double p0 = in[axis][0], p1 = in[axis][1], p2 = in[axis][2];
    // The Bezier handle that makes the curve meet p1 at t = 1/2.
    const double handle = 2 * p1 - (p0 + p2) / 2;
    for (int32_t i = 0; i < count; ++i) {
      const double t = double(i) / (count - 1), u = 1 - t;
      out[axis][i] = u * u * p0 + 2 * u * t * handle + t * t * p2;
    }
  }
  return true;
}

}  // namespace cvl::imaging

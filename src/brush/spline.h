// Curved strokes and the point warp: the three-point curve the host walks to
// place dabs, and the push of the image from one point to another.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

constexpr int32_t kSplinePoints = 100;

// Samples the curve through the three points (read as unsigned 32-bit values);
// afterwards the point count is 100. Returns 1.
int32_t calc_spline3(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint32_t x2, uint32_t y2);
int32_t spline_point_count();
// Point i's coordinate; any i at or past the count gives the last point (0 before any curve).
double spline_point_x(uint32_t i);
double spline_point_y(uint32_t i);

// Pushes the IPL source's image from (x1, y1) to (x2, y2) into the IPL
// destination and loads it into the current layer through the selection.
// Nothing without both 32-bit IPL buffers.
void warp_point_to_point(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

}  // namespace cvl

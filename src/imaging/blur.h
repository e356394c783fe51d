// Separable box-approximated Gaussian blur of single planes.
#pragma once

#include <cstdint>

namespace cvl::imaging {

// Blurs a plane in place with `passes` box passes of radius `radius` in each direction
// (three passes approximate a Gaussian). Edges are clamped. Strides are in elements.
void blur_plane8(uint8_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes = 3);
void blur_plane16(uint16_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius,
                  int32_t passes = 3);

}  // namespace cvl::imaging

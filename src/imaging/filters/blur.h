// Separable box-approximated Gaussian blur of single planes.
#pragma once

#include <cstdint>

namespace cvl::imaging {

// Blurs a plane in place with `passes` box passes of radius `radius` in each direction
// (three passes approximate a Gaussian). Edges are clamped. Strides are in elements.
void blur_plane8(uint8_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes = 3);
void blur_plane16(uint16_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes = 3);

// Every channel of an interleaved 8-bit image (`channels` bytes a pixel, stride
// in bytes) blurred exactly as blur_plane8 would blur it alone, all channels in
// each pass together.
void blur_interleaved8(uint8_t* image, int32_t width, int32_t height, int32_t stride, int32_t channels, int32_t radius,
                       int32_t passes = 3);

// The same passes one line at a time, the reference the passes above are
// checked against.
void blur_plane8_reference(uint8_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius,
                           int32_t passes = 3);
void blur_plane16_reference(uint16_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius,
                            int32_t passes = 3);

// The box radius whose three passes have the variance of a Gaussian of `sigma`
// (three passes of radius r give r * (r + 1)); 0 when sigma is too small to blur.
int32_t box_radius_for_sigma(double sigma);

// A Gaussian blur of a plane into another of the same size (strides in bytes),
// approximated by three box passes. A sigma too small to blur copies the plane.
void gaussian_blur_plane8(const uint8_t* src, int32_t src_stride, uint8_t* dst, int32_t dst_stride, int32_t width,
                          int32_t height, double sigma);

}  // namespace cvl::imaging

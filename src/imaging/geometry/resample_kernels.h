// The resampling methods of the filtered resizer and the weights each one
// gives to source pixels along one axis.
#pragma once

#include <cstdint>
#include <vector>

namespace cvl::imaging {

enum class ResampleMethod : uint8_t {
  // Filters: widened by the shrink factor when shrinking, so every source
  // pixel contributes.
  Box,
  Triangle,
  Hamming,
  Gaussian,
  Bell,
  BSpline,
  Cubic1,
  Cubic2,
  Lanczos3,
  Mitchell,
  Sinc,
  Hermite,
  Hanning,
  Catrom,
  // Interpolators and decimation.
  AreaAverage,  // each source pixel weighted by how much of it the output pixel covers
  Nearest,
  Bilinear,  // interpolation between the two nearest pixels, never widened
  Bicubic,   // cubic convolution over the four nearest pixels, never widened
};

// Source pixels feeding each destination pixel of one axis: destination i reads
// count[i] pixels from first[i] on, with weights[i * stride + k] summing to 1.
struct AxisTaps {
  int32_t stride = 0;
  std::vector<int32_t> first;
  std::vector<int32_t> count;
  std::vector<float> weights;
};

// The kernel's value at distance x (in source pixels at scale 1) and its reach.
double kernel_weight(ResampleMethod method, double x);
double kernel_support(ResampleMethod method);

// Taps mapping a source axis of src_size pixels onto dst_size pixels, with
// pixel centres aligned (a same-size axis keeps its pixels for the
// interpolators). Taps that would fall outside the source are dropped and the
// rest renormalised. Not for Nearest.
AxisTaps axis_taps(ResampleMethod method, int32_t src_size, int32_t dst_size);

}  // namespace cvl::imaging

#include "imaging/geometry/resample_kernels.h"

#include <algorithm>
#include <cmath>

namespace cvl::imaging {
namespace {

constexpr double kPi = 3.14159265358979323846;

double sinc(double x) {
  if (x == 0.0) return 1.0;
  x *= kPi;
  return std::sin(x) / x;
}

// Keys' cubic convolution with free parameter a (a = -0.5 is Catmull-Rom).
double keys_cubic(double x, double a) {
  x = std::fabs(x);
  if (x < 1.0) return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
  if (x < 2.0) return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
  return 0.0;
}

// The Mitchell-Netravali family of cubics with parameters B and C.
double bc_cubic(double x, double b, double c) {
  x = std::fabs(x);
  if (x < 1.0)
    return ((12.0 - 9.0 * b - 6.0 * c) * x * x * x + (-18.0 + 12.0 * b + 6.0 * c) * x * x + (6.0 - 2.0 * b)) / 6.0;
  if (x < 2.0)
    return ((-b - 6.0 * c) * x * x * x + (6.0 * b + 30.0 * c) * x * x + (-12.0 * b - 48.0 * c) * x +
            (8.0 * b + 24.0 * c)) /
           6.0;
  return 0.0;
}

bool widens(ResampleMethod m) {
  return m != ResampleMethod::Bilinear && m != ResampleMethod::Bicubic && m != ResampleMethod::Nearest;
}

// Area coverage: destination pixel i covers source [i / scale, (i + 1) / scale).
AxisTaps area_taps(int32_t src, int32_t dst) {
  AxisTaps t;
  const double step = double(src) / dst;
  t.stride = static_cast<int32_t>(std::ceil(step)) + 1;
  t.first.resize(size_t(dst));
  t.count.resize(size_t(dst));
  t.weights.assign(size_t(dst) * size_t(t.stride), 0.0f);
  for (int32_t i = 0; i < dst; ++i) {
    const double a = i * step, b = std::min((i + 1) * step, double(src));
    const int32_t x0 = std::min(static_cast<int32_t>(a), src - 1);
    const int32_t x1 = std::clamp(static_cast<int32_t>(std::ceil(b)), x0 + 1, std::min(src, x0 + t.stride));
    float* w = &t.weights[size_t(i) * size_t(t.stride)];
    double total = 0.0;
    for (int32_t x = x0; x < x1; ++x) {
      const double cover = std::min(b, x + 1.0) - std::max(a, double(x));
      w[x - x0] = static_cast<float>(std::max(cover, 0.0));
      total += std::max(cover, 0.0);
    }
    if (total <= 0.0) w[0] = 1.0f, total = 1.0;
    for (int32_t k = 0; k < x1 - x0; ++k) w[k] = static_cast<float>(w[k] / total);
    t.first[size_t(i)] = x0;
    t.count[size_t(i)] = x1 - x0;
  }
  return t;
}

}  // namespace

double kernel_support(ResampleMethod m) {
  switch (m) {
    case ResampleMethod::Box: return 0.5;
    case ResampleMethod::Triangle: return 1.0;
    case ResampleMethod::Hamming: return 1.0;
    case ResampleMethod::Gaussian: return 2.0;
    case ResampleMethod::Bell: return 1.5;
    case ResampleMethod::BSpline: return 2.0;
    case ResampleMethod::Cubic1: return 2.0;
    case ResampleMethod::Cubic2: return 2.0;
    case ResampleMethod::Lanczos3: return 3.0;
    case ResampleMethod::Mitchell: return 2.0;
    case ResampleMethod::Sinc: return 4.0;
    case ResampleMethod::Hermite: return 1.0;
    case ResampleMethod::Hanning: return 1.0;
    case ResampleMethod::Catrom: return 2.0;
    case ResampleMethod::AreaAverage: return 0.5;
    case ResampleMethod::Nearest: return 0.5;
    case ResampleMethod::Bilinear: return 1.0;
    case ResampleMethod::Bicubic: return 2.0;
  }
  return 1.0;
}

double kernel_weight(ResampleMethod m, double x) {
  const double ax = std::fabs(x);
  switch (m) {
    case ResampleMethod::Box:
    case ResampleMethod::AreaAverage:
    case ResampleMethod::Nearest: return (x >= -0.5 && x < 0.5) ? 1.0 : 0.0;
    case ResampleMethod::Triangle:
    case ResampleMethod::Bilinear: return ax < 1.0 ? 1.0 - ax : 0.0;
    // Sinc over its central lobe under a raised-cosine window.
    case ResampleMethod::Hamming: return ax < 1.0 ? sinc(x) * (0.54 + 0.46 * std::cos(kPi * x)) : 0.0;
    case ResampleMethod::Hanning: return ax < 1.0 ? sinc(x) * (0.5 + 0.5 * std::cos(kPi * x)) : 0.0;
    // Sigma one half.
    case ResampleMethod::Gaussian: return ax < 2.0 ? std::exp(-2.0 * x * x) : 0.0;
    // The quadratic B-spline.
    case ResampleMethod::Bell:
      if (ax < 0.5) return 0.75 - ax * ax;
      if (ax < 1.5) return 0.5 * (ax - 1.5) * (ax - 1.5);
      return 0.0;
    case ResampleMethod::BSpline: return bc_cubic(x, 1.0, 0.0);
    case ResampleMethod::Cubic1: return keys_cubic(x, -1.0);
    case ResampleMethod::Cubic2: return keys_cubic(x, -0.75);
    case ResampleMethod::Catrom:
    case ResampleMethod::Bicubic: return keys_cubic(x, -0.5);
    case ResampleMethod::Mitchell: return bc_cubic(x, 1.0 / 3.0, 1.0 / 3.0);
    case ResampleMethod::Lanczos3: return ax < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0;
    case ResampleMethod::Sinc: return ax < 4.0 ? sinc(x) : 0.0;
    case ResampleMethod::Hermite: return ax < 1.0 ? (2.0 * ax - 3.0) * ax * ax + 1.0 : 0.0;
  }
  return 0.0;
}

AxisTaps axis_taps(ResampleMethod m, int32_t src, int32_t dst) {
  if (m == ResampleMethod::AreaAverage) return area_taps(src, dst);
  const double scale = double(dst) / src;
  const double widen = (widens(m) && scale < 1.0) ? 1.0 / scale : 1.0;
  const double support = kernel_support(m) * widen;
  AxisTaps t;
  t.stride = static_cast<int32_t>(std::ceil(support)) * 2 + 1;
  t.first.resize(size_t(dst));
  t.count.resize(size_t(dst));
  t.weights.assign(size_t(dst) * size_t(t.stride), 0.0f);
  std::vector<double> w(size_t(t.stride));
  for (int32_t i = 0; i < dst; ++i) {
    const double centre = (i + 0.5) / scale;  // in source coordinates, pixel edges at integers
    int32_t x0 = std::max(static_cast<int32_t>(std::floor(centre - support + 0.5)), 0);
    int32_t x1 = std::min(static_cast<int32_t>(std::floor(centre + support + 0.5)), src);
    x1 = std::min(x1, x0 + t.stride);
    double total = 0.0;
    for (int32_t x = x0; x < x1; ++x) total += (w[size_t(x - x0)] = kernel_weight(m, (x + 0.5 - centre) / widen));
    if (x1 <= x0 || std::fabs(total) < 1e-12) {
      // Nothing reached (an edge, or a kernel that is zero there): take the nearest pixel.
      x0 = std::clamp(static_cast<int32_t>(centre), 0, src - 1);
      x1 = x0 + 1;
      w[0] = total = 1.0;
    }
    float* out = &t.weights[size_t(i) * size_t(t.stride)];
    for (int32_t k = 0; k < x1 - x0; ++k) out[k] = static_cast<float>(w[size_t(k)] / total);
    t.first[size_t(i)] = x0;
    t.count[size_t(i)] = x1 - x0;
  }
  return t;
}

}  // namespace cvl::imaging

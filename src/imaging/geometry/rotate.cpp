#include "imaging/geometry/rotate.h"

#include <cmath>
#include <cstring>

#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

void sample_nearest(const ImageView& src, double sx, double sy, uint8_t* out) {
  const double fx = std::floor(sx + 0.5), fy = std::floor(sy + 0.5);
  if (fx < 0 || fy < 0 || fx >= src.width || fy >= src.height) {
    std::memset(out, 0, 4);
    return;
  }
  std::memcpy(out, src.row(static_cast<int32_t>(fy)) + static_cast<ptrdiff_t>(fx) * 4, 4);
}

void sample_bilinear(const ImageView& src, double sx, double sy, uint8_t* out) {
  const double fx = std::floor(sx), fy = std::floor(sy);
  if (fx < -1 || fy < -1 || fx >= src.width || fy >= src.height) {
    std::memset(out, 0, 4);
    return;
  }
  const int32_t x0 = static_cast<int32_t>(fx), y0 = static_cast<int32_t>(fy);
  const double ax = sx - fx, ay = sy - fy;
  double acc[4] = {0, 0, 0, 0};
  for (int t = 0; t < 4; ++t) {
    const int32_t x = x0 + (t & 1), y = y0 + (t >> 1);
    if (x < 0 || y < 0 || x >= src.width || y >= src.height) continue;
    const double weight = ((t & 1) ? ax : 1 - ax) * ((t >> 1) ? ay : 1 - ay);
    const uint8_t* p = src.row(y) + static_cast<ptrdiff_t>(x) * 4;
    const double a = p[3] * weight;
    acc[0] += p[0] * a, acc[1] += p[1] * a, acc[2] += p[2] * a, acc[3] += a;
  }
  if (acc[3] <= 0) {
    std::memset(out, 0, 4);
    return;
  }
  for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(std::fmin(255.0, acc[c] / acc[3] + 0.5));
  out[3] = static_cast<uint8_t>(std::fmin(255.0, acc[3] + 0.5));
}

}  // namespace

void rotate_into(const ImageView& src, const ImageView& dst, double c, double s, double scale, RotateFilter filter) {
  if (!src.data || !dst.data || src.channels != 4 || dst.channels != 4) return;
  const double scx = src.width / 2.0, scy = src.height / 2.0;
  const double dcx = dst.width / 2.0, dcy = dst.height / 2.0;
  for_each_band(dst.height, int64_t(dst.width) * 4, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const double dy = y + 0.5 - dcy;
      uint8_t* out = dst.row(y);
      for (int32_t x = 0; x < dst.width; ++x, out += 4) {
        const double dx = x + 0.5 - dcx;
        const double sx = (c * dx - s * dy) * scale + scx - 0.5;
        const double sy = (s * dx + c * dy) * scale + scy - 0.5;
        if (filter == RotateFilter::Nearest)
          sample_nearest(src, sx, sy, out);
        else
          sample_bilinear(src, sx, sy, out);
      }
    }
  });
}

void rotated_pixel_size(float radians, int32_t width, int32_t height, int32_t& out_width, int32_t& out_height) {
  out_width = out_height = 0;
  if (width <= 0 || height <= 0) return;
  const double c = std::fabs(std::cos(double(radians))), s = std::fabs(std::sin(double(radians)));
  // A whisker below the exact box so that quarter turns, whose single-precision
  // angle leaves a cosine of about 1e-8, keep their size.
  const double w = width * c + height * s, h = width * s + height * c;
  out_width = static_cast<int32_t>(std::ceil(w - 1e-4));
  out_height = static_cast<int32_t>(std::ceil(h - 1e-4));
  if (out_width < 1) out_width = 1;
  if (out_height < 1) out_height = 1;
}

void rotate_image(const ImageView& src, const ImageView& dst, float radians, RotateFilter filter) {
  rotate_into(src, dst, std::cos(double(radians)), std::sin(double(radians)), 1.0, filter);
}

}  // namespace cvl::imaging
